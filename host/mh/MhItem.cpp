#include "host/mh/MhItem.h"

#include "host/common/MessageOpener.h"
#include "host/mh/MhStore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace lumora {

MhItem::MhItem(std::shared_ptr<MhStore> store, const QString &dir, int number, QObject *parent)
    : host::Item(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_number(number)
{
}

MhItem::~MhItem() = default;

QString MhItem::EntryID() const
{
    return MhStore::itemEntryId(m_dir, m_number);
}

QString MhItem::filePath() const
{
    return m_store->folderPath(m_dir) + QLatin1Char('/') + QString::number(m_number);
}

const MailHeaders &MhItem::headers() const
{
    if (!m_headers)
        m_headers = MailHeaderReader::parseFile(filePath(), m_store->realRoot());
    return *m_headers;
}

QString MhItem::Subject() const
{
    return headers().subject;
}

QString MhItem::SenderName() const
{
    return headers().senderName;
}

int MhItem::Importance() const
{
    return headers().importance;
}

QDateTime MhItem::ReceivedTime() const
{
    // inc writes the file when the message arrives; MH keeps no other arrival time.
    const QFileInfo info(filePath());
    return info.exists() ? info.lastModified() : QDateTime();
}

bool MhItem::UnRead() const
{
    return m_store->isUnread(m_dir, m_number);
}

bool MhItem::Display()
{
    m_error.clear();
    const QString path = filePath();
    if (!QFileInfo(path).isFile()) {
        m_error =
            QCoreApplication::translate("MhItem", "The message file %1 is gone (moved or deleted since it arrived)")
                .arg(path);
        return false;
    }
    return MessageOpener::open(m_store->displayCommand(), path, &m_error);
}

bool MhItem::Delete()
{
    m_error.clear();
    if (m_store->moveToTrash(m_dir, m_number, &m_error))
        return true;
    if (m_error.isEmpty())
        m_error = QCoreApplication::translate("MhItem", "The message could not be moved to Trash");
    return false;
}

bool MhItem::MarkRead()
{
    m_error.clear();
    return m_store->markRead(m_dir, m_number, &m_error);
}

} // namespace lumora
