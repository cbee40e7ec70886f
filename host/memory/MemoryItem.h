#pragma once

#include "host/Item.h"

#include <QPointer>

#include <memory>

namespace lumora {

class MemoryApplication;
class MemoryFolder;

// What a test or the demo delivers into a folder.
struct MemoryItemData
{
    QString subject;
    QString senderName;
    // Null means "now" on the clock in force.
    QDateTime receivedTime;
    int importance = 1;
    bool unread = true;
    int itemType = host::MailItemType;
    // Every property read yields an empty value and Display/Delete fail, as for an item
    // the mail store cannot open.
    bool readsFail = false;
    // What MessageKey and OriginTime give; empty and null stand for a store without them.
    QString messageKey;
    QDateTime originTime;
};

// An item held in memory. Saved items live in a folder and carry an id; unsaved ones come
// from CreateItem or Items.Add and only record their Display.
class MemoryItem : public host::Item
{
    Q_OBJECT
public:
    MemoryItem(MemoryApplication *app, const std::weak_ptr<MemoryFolder> &folder, const QString &entryId,
               const MemoryItemData &data);
    ~MemoryItem() override;

    int ItemType() const override;
    QString EntryID() const override;
    QString Subject() const override;
    QDateTime ReceivedTime() const override;
    int Importance() const override;
    bool UnRead() const override;
    QString SenderName() const override;
    QString MessageKey() const override;
    QDateTime OriginTime() const override;
    bool Display() override;
    bool Delete() override;
    bool MarkRead() override;
    QString ErrorText() const override;

    // Scripting surface for tests and the demo.
    void setUnread(bool unread) { m_data.unread = unread; }
    void setReadsFail(bool fail) { m_data.readsFail = fail; }
    // A null time stands for a store that cannot tell when the item arrived.
    void setReceivedTime(const QDateTime &time) { m_data.receivedTime = time; }
    void setMessageKey(const QString &key) { m_data.messageKey = key; }
    void setOriginTime(const QDateTime &time) { m_data.originTime = time; }
    // True once the item was deleted or moved away; the object then stands for nothing.
    bool isGone() const { return m_gone; }
    std::shared_ptr<MemoryFolder> folder() const { return m_folder.lock(); }

    // The stored state, unaffected by read failures (the store filters on it).
    const MemoryItemData &data() const { return m_data; }
    QString storedId() const { return m_entryId; }
    qint64 sequence() const { return m_sequence; }
    void setSequence(qint64 sequence) { m_sequence = sequence; }
    void markGone() { m_gone = true; }

private:
    bool readable() const { return !m_data.readsFail && !m_gone; }
    bool isMail() const { return m_data.itemType == host::MailItemType; }

    QPointer<MemoryApplication> m_app;
    std::weak_ptr<MemoryFolder> m_folder;
    QString m_entryId;
    MemoryItemData m_data;
    qint64 m_sequence = 0;
    bool m_gone = false;
};

using MemoryItemPtr = std::shared_ptr<MemoryItem>;

} // namespace lumora
