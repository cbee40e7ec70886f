#include "host/maildir/MaildirItem.h"

#include "host/common/MessageOpener.h"

#include "host/maildir/MaildirStore.h"
#include "platform/core/ProcessLauncher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <sys/stat.h>

namespace lumora {

namespace {

bool isMessageFileInside(const QString &path, const QString &root)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return true; // gone meanwhile: the watcher drops it
    return S_ISREG(st.st_mode) && QFileInfo(path).canonicalFilePath().startsWith(root + QLatin1Char('/'));
}

} // namespace

MaildirItem::MaildirItem(std::shared_ptr<MaildirStore> store, const QString &dir, const QString &uniqueName,
                         QObject *parent)
    : host::Item(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_uniqueName(uniqueName)
{
}

MaildirItem::~MaildirItem() = default;

QString MaildirItem::EntryID() const
{
    return MaildirStore::itemEntryId(m_dir, m_uniqueName);
}

QString MaildirItem::StoreID() const
{
    return m_store->storeId();
}

QString MaildirItem::filePath() const
{
    MaildirFolderIndex *index = m_store->index(m_dir);
    if (!index)
        return {};
    QString path = index->pathOf(m_uniqueName);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        // The watcher may not have caught up with a synchroniser yet.
        index->refreshAll();
        path = index->pathOf(m_uniqueName);
    }
    return path;
}

const MailHeaders &MaildirItem::headers() const
{
    if (!m_headers) {
        const QString path = filePath();
        QString why;
        m_headers = path.isEmpty() ? MailHeaders() : MailHeaderReader::parseFile(path, m_store->realRoot(), &why);
        if (!why.isEmpty()) {
            m_store->warnOnce(path, QCoreApplication::translate("MaildirItem", "a message is skipped: %1").arg(why));
            // What is no message file at all leaves the index, so that later scans skip it too;
            // a listing made afterwards looks at it afresh. A failed read of a real message
            // (too many open files, say) keeps it, or it would count as new mail again later.
            if (!isMessageFileInside(path, m_store->realRoot())) {
                if (MaildirFolderIndex *index = m_store->index(m_dir))
                    index->remove(m_uniqueName);
            }
        }
    }
    return *m_headers;
}

QString MaildirItem::Subject() const
{
    return headers().subject;
}

QString MaildirItem::SenderName() const
{
    return headers().senderName;
}

QString MaildirItem::MessageKey() const
{
    const MailHeaders &h = headers();
    if (!h.messageId.isEmpty())
        return QStringLiteral("<%1>").arg(QString::fromLatin1(h.messageId));
    // Some synchronisers give a local delivery a name of their own; sender, subject and the
    // second it was written still tell the message apart from any other.
    if (h.date.isValid())
        return QStringLiteral("headers:%1\n%2\n%3").arg(h.date.toSecsSinceEpoch()).arg(h.senderName, h.subject);
    return QStringLiteral("maildir:") + m_uniqueName;
}

QDateTime MaildirItem::OriginTime() const
{
    return headers().received;
}

int MaildirItem::Importance() const
{
    return headers().importance;
}

QDateTime MaildirItem::ReceivedTime() const
{
    MaildirFolderIndex *index = m_store->index(m_dir);
    const std::optional<MaildirFolderIndex::Entry> entry = index ? index->find(m_uniqueName) : std::nullopt;
    qint64 ns = entry ? entry->mtimeNs : 0;
    if (ns == 0 && entry)
        ns = MaildirFolderIndex::fileTimeNs(index->pathOf(m_uniqueName));
    if (ns == 0)
        ns = MaildirFolderIndex::deliveryTimeNs(m_uniqueName);
    if (ns == 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(ns / 1000000, Qt::LocalTime);
}

bool MaildirItem::UnRead() const
{
    MaildirFolderIndex *index = m_store->index(m_dir);
    const std::optional<MaildirFolderIndex::Entry> entry = index ? index->find(m_uniqueName) : std::nullopt;
    return entry && !entry->seen;
}

bool MaildirItem::Display()
{
    m_error.clear();
    const QString path = filePath();
    if (path.isEmpty()) {
        m_error =
            QCoreApplication::translate("MaildirItem", "The message file is gone (moved or deleted since it arrived)");
        return false;
    }
    return MessageOpener::open(m_store->displayCommand(), path, &m_error);
}

bool MaildirItem::Delete()
{
    m_error.clear();
    if (m_store->moveToTrash(m_dir, m_uniqueName, &m_error))
        return true;
    if (m_error.isEmpty())
        m_error = QCoreApplication::translate("MaildirItem", "The message could not be moved to Trash");
    return false;
}

bool MaildirItem::MarkRead()
{
    m_error.clear();
    if (m_store->markSeen(m_dir, m_uniqueName, &m_error))
        return true;
    if (m_error.isEmpty())
        m_error = QCoreApplication::translate("MaildirItem", "The message could not be marked as read");
    return false;
}

} // namespace lumora
