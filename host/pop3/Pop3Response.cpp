#include "host/pop3/Pop3Response.h"

#include <QSet>

#include <algorithm>

namespace lumora {

void Pop3ResponseReader::feed(QByteArrayView bytes)
{
    if (m_failed)
        return;
    // What was taken goes before the buffer grows, so it holds about one line plus the new bytes.
    if (m_pos > 0 && m_pos >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    m_buffer.append(bytes);
}

bool Pop3ResponseReader::takeLine(QByteArray *line)
{
    const qsizetype end = m_buffer.indexOf('\n', m_pos);
    if (end < 0) {
        if (m_buffer.size() - m_pos > MaxLineBytes)
            m_failed = true;
        return false;
    }
    qsizetype length = end - m_pos;
    if (length > MaxLineBytes) {
        m_failed = true;
        return false;
    }
    if (length > 0 && m_buffer.at(end - 1) == '\r')
        --length;
    *line = m_buffer.mid(m_pos, length);
    m_pos = end + 1;
    return true;
}

bool Pop3ResponseReader::next(bool multiLine, Pop3Response *out)
{
    QByteArray line;
    while (!m_failed) {
        if (!takeLine(&line))
            return false;
        if (!m_inBody) {
            if (line.startsWith("+OK")) {
                m_partial.ok = true;
                m_partial.text = line.mid(3).trimmed();
            } else if (line.startsWith("-ERR")) {
                m_partial.ok = false;
                m_partial.text = line.mid(4).trimmed();
            } else {
                m_failed = true;
                return false;
            }
            if (!m_partial.ok || !multiLine) {
                *out = std::move(m_partial);
                m_partial = Pop3Response();
                return true;
            }
            m_inBody = true;
            continue;
        }
        if (line == ".") {
            m_inBody = false;
            *out = std::move(m_partial);
            m_partial = Pop3Response();
            return true;
        }
        const QByteArrayView content = line.startsWith('.') ? QByteArrayView(line).sliced(1) : QByteArrayView(line);
        if (m_partial.body.size() + content.size() + 2 > MaxBodyBytes) {
            m_failed = true;
            return false;
        }
        m_partial.body.append(content);
        m_partial.body.append("\r\n");
    }
    return false;
}

bool Pop3ResponseReader::isValidUidl(QByteArrayView uidl)
{
    if (uidl.isEmpty() || uidl.size() > 70)
        return false;
    for (char c : uidl) {
        if (uchar(c) < 0x21 || uchar(c) > 0x7e)
            return false;
    }
    return true;
}

QList<std::pair<quint32, QByteArray>> Pop3ResponseReader::parseUidl(QByteArrayView body)
{
    QList<std::pair<quint32, QByteArray>> out;
    QSet<quint32> numbers;
    QSet<QByteArray> ids;
    qsizetype from = 0;
    while (from < body.size()) {
        qsizetype end = body.indexOf('\n', from);
        if (end < 0)
            end = body.size();
        QByteArrayView line = body.sliced(from, end - from);
        from = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype space = line.indexOf(' ');
        if (space <= 0)
            continue;
        const QByteArrayView digits = line.first(space);
        bool ok = digits.size() <= 10
            && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
        const quint32 number = ok ? digits.toByteArray().toUInt(&ok) : 0;
        const QByteArrayView uidl = line.sliced(space + 1);
        if (!ok || number == 0 || !isValidUidl(uidl))
            continue;
        const QByteArray id = uidl.toByteArray();
        if (numbers.contains(number) || ids.contains(id))
            continue;
        numbers.insert(number);
        ids.insert(id);
        out.append({number, id});
    }
    return out;
}

} // namespace lumora
