#include "addin/AnnouncedMessages.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace lumora {

namespace {

const QByteArray kHeader = "lumora-announced 1\n";
// Far beyond what capacity lines take: a larger file is not ours, or damaged.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

} // namespace

AnnouncedMessages::AnnouncedMessages(const QString &path, int capacity)
    : m_path(path)
    , m_capacity(qMax(1, capacity))
{
}

quint64 AnnouncedMessages::hashOf(const QString &key)
{
    const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    quint64 h = 0;
    std::memcpy(&h, digest.constData(), sizeof h);
    return h;
}

bool AnnouncedMessages::contains(const QString &key) const
{
    return !key.isEmpty() && m_known.contains(hashOf(key));
}

void AnnouncedMessages::add(const QString &key)
{
    if (key.isEmpty())
        return;
    const quint64 h = hashOf(key);
    if (m_known.contains(h))
        return;
    m_order.push_back(h);
    m_known.insert(h);
    while (int(m_order.size()) > m_capacity) {
        m_known.remove(m_order.front());
        m_order.pop_front();
    }
    m_dirty = true;
}

bool AnnouncedMessages::load(QString *error)
{
    m_order.clear();
    m_known.clear();
    m_dirty = false;
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (QFileInfo(m_path).size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("AnnouncedMessages", "%1 cannot be read: %2")
                         .arg(m_path,
                              file.isOpen() ? QCoreApplication::translate("AnnouncedMessages", "it is too large")
                                            : file.errorString());
        return false;
    }
    const QByteArray text = file.readAll();
    for (const QByteArray &line : text.split('\n')) {
        if (line.size() != 16)
            continue;
        bool ok = false;
        const quint64 h = line.toULongLong(&ok, 16);
        if (!ok || m_known.contains(h))
            continue;
        m_order.push_back(h);
        m_known.insert(h);
    }
    while (int(m_order.size()) > m_capacity) {
        m_known.remove(m_order.front());
        m_order.pop_front();
    }
    return true;
}

bool AnnouncedMessages::save(QString *error)
{
    if (!m_dirty)
        return true;
    QByteArray text = kHeader;
    text.reserve(kHeader.size() + qsizetype(m_order.size()) * 17);
    for (quint64 h : m_order) {
        text.append(QByteArray::number(h, 16).rightJustified(16, '0'));
        text.append('\n');
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = QCoreApplication::translate("AnnouncedMessages", "%1 cannot be written: %2")
                         .arg(m_path, file.errorString());
        return false;
    }
    m_dirty = false;
    return true;
}

} // namespace lumora
