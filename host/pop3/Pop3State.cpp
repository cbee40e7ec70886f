#include "host/pop3/Pop3State.h"

#include "host/pop3/Pop3Response.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace lumora {

namespace {

constexpr int FormatVersion = 1;

QString stamp(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime unstamp(const QString &text)
{
    const QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime() : QDateTime();
}

} // namespace

Pop3State::Pop3State(const QString &path)
    : m_path(path)
{
}

const Pop3State::Message *Pop3State::find(const QByteArray &uidl) const
{
    const auto it = m_index.constFind(uidl);
    return it == m_index.constEnd() ? nullptr : &m_messages.at(*it);
}

Pop3State::Message *Pop3State::find(const QByteArray &uidl)
{
    const auto it = m_index.constFind(uidl);
    return it == m_index.constEnd() ? nullptr : &m_messages[*it];
}

void Pop3State::append(const Message &message)
{
    if (find(message.uidl))
        return;
    m_index.insert(message.uidl, m_messages.size());
    m_messages.append(message);
}

bool Pop3State::retain(const QSet<QByteArray> &keep)
{
    const qsizetype before = m_messages.size();
    m_messages.removeIf([&keep](const Message &m) { return !keep.contains(m.uidl); });
    if (m_messages.size() == before)
        return false;
    reindex();
    return true;
}

bool Pop3State::remove(const QByteArray &uidl)
{
    const qsizetype before = m_messages.size();
    m_messages.removeIf([&uidl](const Message &m) { return m.uidl == uidl; });
    if (m_messages.size() == before)
        return false;
    reindex();
    return true;
}

void Pop3State::reindex()
{
    m_index.clear();
    for (qsizetype i = 0; i < m_messages.size(); ++i)
        m_index.insert(m_messages.at(i).uidl, i);
}

bool Pop3State::load(QString *error)
{
    m_messages.clear();
    m_index.clear();
    if (!QFileInfo::exists(m_path))
        return true;
    QByteArray data;
    QString why;
    if (!RegularFile::readFile(m_path, MaxFileBytes, &data, &why)) {
        *error = QCoreApplication::translate(
                     "Pop3State",
                     "The POP3 state %1 cannot be read (%2); it is left as it is, and mail on the server counts as "
                     "new.")
                     .arg(m_path, why);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    const QJsonObject root = doc.object();
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()
        || root.value(QStringLiteral("version")).toInt() != FormatVersion) {
        const QString aside = m_path + QStringLiteral(".unreadable-")
            + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddhhmmss"));
        QFile::rename(m_path, aside);
        *error = QCoreApplication::translate(
                     "Pop3State",
                     "The POP3 state %1 could not be understood; it was moved to %2, and mail on the server counts as "
                     "new.")
                     .arg(m_path, aside);
        return false;
    }
    for (const QJsonValue &v : root.value(QStringLiteral("messages")).toArray()) {
        const QJsonObject o = v.toObject();
        Message m;
        m.uidl = o.value(QStringLiteral("uidl")).toString().toLatin1();
        if (!Pop3ResponseReader::isValidUidl(m.uidl))
            continue;
        m.received = unstamp(o.value(QStringLiteral("received")).toString());
        m.read = o.value(QStringLiteral("read")).toBool();
        m.headers.subject = o.value(QStringLiteral("subject")).toString().left(MailHeaderReader::MaxFieldChars);
        m.headers.senderName = o.value(QStringLiteral("sender")).toString().left(MailHeaderReader::MaxFieldChars);
        m.headers.importance = qBound(0, o.value(QStringLiteral("importance")).toInt(1), 2);
        m.headers.date = unstamp(o.value(QStringLiteral("date")).toString());
        append(m);
    }
    return true;
}

bool Pop3State::save(QString *error) const
{
    QJsonArray list;
    for (const Message &m : m_messages) {
        QJsonObject o;
        o.insert(QStringLiteral("uidl"), QString::fromLatin1(m.uidl));
        o.insert(QStringLiteral("received"), stamp(m.received));
        o.insert(QStringLiteral("read"), m.read);
        o.insert(QStringLiteral("subject"), m.headers.subject);
        o.insert(QStringLiteral("sender"), m.headers.senderName);
        o.insert(QStringLiteral("importance"), m.headers.importance);
        if (m.headers.date.isValid())
            o.insert(QStringLiteral("date"), stamp(m.headers.date));
        list.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("version"), FormatVersion);
    root.insert(QStringLiteral("messages"), list);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const AtomicFile::Result result = AtomicFile::write(m_path, QJsonDocument(root).toJson(QJsonDocument::Compact));
    if (!result) {
        *error = QCoreApplication::translate("Pop3State", "The POP3 state cannot be saved to %1: %2.")
                     .arg(m_path, result.error);
        return false;
    }
    return true;
}

} // namespace lumora
