#include "host/mbox/MboxItem.h"

#include "host/common/MessageOpener.h"
#include "host/mbox/MboxStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumora {

MboxItem::MboxItem(std::shared_ptr<MboxStore> store, quint64 identity, quint16 occurrence, QObject *parent)
    : host::Item(parent)
    , m_store(std::move(store))
    , m_identity(identity)
    , m_occurrence(occurrence)
{
}

MboxItem::~MboxItem() = default;

QString MboxItem::EntryID() const
{
    return MboxStore::itemEntryId(m_identity, m_occurrence);
}

qsizetype MboxItem::index() const
{
    m_hint = m_store->file().find(m_identity, m_occurrence, m_hint);
    return m_hint;
}

const MailHeaders &MboxItem::headers() const
{
    if (!m_headers) {
        const QByteArray bytes = m_store->file().message(index(), MboxFile::HeadBytes);
        m_headers = MailHeaderReader::parse(bytes);
    }
    return *m_headers;
}

QString MboxItem::Subject() const
{
    return headers().subject;
}

QString MboxItem::SenderName() const
{
    return headers().senderName;
}

int MboxItem::Importance() const
{
    return headers().importance;
}

QDateTime MboxItem::ReceivedTime() const
{
    const qsizetype i = index();
    if (i < 0)
        return {};
    const quint32 secs = m_store->file().entries()[size_t(i)].received;
    if (secs > 0)
        return QDateTime::fromSecsSinceEpoch(secs, Qt::LocalTime);
    // Neither a From_ date nor a Date header: the file's last change is the best guess.
    return QFileInfo(m_store->path()).lastModified();
}

bool MboxItem::UnRead() const
{
    const qsizetype i = index();
    return i >= 0 && !(m_store->file().entries()[size_t(i)].flags & MboxFile::Seen);
}

QString MboxItem::displayFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/lumora-messages");
}

bool MboxItem::Display()
{
    m_error.clear();
    const QByteArray message = m_store->file().message(index(), MaxMessageBytes);
    if (message.isEmpty()) {
        m_error = QCoreApplication::translate("MboxItem", "The message is no longer in %1 (the mailbox was changed)")
                      .arg(m_store->path());
        return false;
    }
    const QString folder = displayFolder();
    if (!QDir().mkpath(folder)
        || !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        m_error = QCoreApplication::translate("MboxItem", "The folder %1 cannot be created or written").arg(folder);
        return false;
    }
    // Named by store and id, so opening the same message twice reuses its copy.
    const QByteArray name =
        QCryptographicHash::hash((m_store->storeId() + EntryID()).toLatin1(), QCryptographicHash::Sha1).toHex();
    const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".eml");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size() || !file.commit()) {
        m_error = QCoreApplication::translate("MboxItem", "The message could not be saved to %1 to open it").arg(path);
        return false;
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return MessageOpener::open(m_store->displayCommand(), path, &m_error);
}

bool MboxItem::Delete()
{
    m_error = QCoreApplication::translate("MboxItem",
                                          "Lumora does not delete messages from the mbox file %1: that would mean "
                                          "rewriting the mailbox. Delete it in your mail client.")
                  .arg(m_store->path());
    return false;
}

bool MboxItem::MarkRead()
{
    if (!UnRead())
        return true;
    m_error = QCoreApplication::translate("MboxItem",
                                          "Lumora does not mark messages as read in the mbox file %1: that would mean "
                                          "rewriting the mailbox. Read it in your mail client.")
                  .arg(m_store->path());
    return false;
}

} // namespace lumora
