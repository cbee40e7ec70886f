#include "host/memory/MemoryItem.h"

#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryFolder.h"

#include <QCoreApplication>

namespace lumora {

MemoryItem::MemoryItem(MemoryApplication *app, const std::weak_ptr<MemoryFolder> &folder, const QString &entryId,
                       const MemoryItemData &data)
    : m_app(app)
    , m_folder(folder)
    , m_entryId(entryId)
    , m_data(data)
{
}

MemoryItem::~MemoryItem() = default;

int MemoryItem::ItemType() const
{
    return readable() ? m_data.itemType : 0;
}

QString MemoryItem::EntryID() const
{
    return readable() ? m_entryId : QString();
}

QString MemoryItem::Subject() const
{
    return readable() ? m_data.subject : QString();
}

// Received time, importance and sender belong to mail items only.
QDateTime MemoryItem::ReceivedTime() const
{
    return readable() && isMail() && !m_entryId.isEmpty() ? m_data.receivedTime : QDateTime();
}

QString MemoryItem::MessageKey() const
{
    return readable() && isMail() ? m_data.messageKey : QString();
}

QDateTime MemoryItem::OriginTime() const
{
    return readable() && isMail() ? m_data.originTime : QDateTime();
}

int MemoryItem::Importance() const
{
    return readable() && isMail() ? m_data.importance : 0;
}

bool MemoryItem::UnRead() const
{
    return readable() && m_data.unread;
}

QString MemoryItem::SenderName() const
{
    return readable() && isMail() ? m_data.senderName : QString();
}

bool MemoryItem::Display()
{
    if (!readable() || !m_app)
        return false;
    m_app->recordDisplay(*this);
    return true;
}

QString MemoryItem::ErrorText() const
{
    if (m_gone)
        return QCoreApplication::translate("MemoryItem", "The message no longer exists");
    if (m_data.readsFail)
        return QCoreApplication::translate("MemoryItem", "The message cannot be read");
    return {};
}

bool MemoryItem::Delete()
{
    if (!readable() || !m_app || m_entryId.isEmpty())
        return false;
    return m_app->deleteItem(*this);
}

bool MemoryItem::MarkRead()
{
    if (!readable() || !m_app || m_entryId.isEmpty())
        return false;
    if (m_data.unread) {
        m_data.unread = false;
        Q_EMIT m_app->UnreadChanged();
    }
    return true;
}

} // namespace lumora
