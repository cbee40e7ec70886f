#pragma once

#include "host/HostExport.h"

#include <QDateTime>
#include <QObject>

#include <memory>

namespace lumora::host {

// Item kinds as the mail application numbers them (CreateItem, DefaultItemType, Item::ItemType).
enum OlItemType {
    MailItemType = 0,
    AppointmentItemType = 1,
    ContactItemType = 2,
    TaskItemType = 3,
    NoteItemType = 5
};

// One item of a folder: a mail message, or an appointment, contact, task or note.
// Every read returns empty text, a null date or 0 when the item cannot supply it.
class LUMORA_HOST_EXPORT Item : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Class READ ItemType)
    Q_PROPERTY(QString EntryID READ EntryID)
    Q_PROPERTY(QString Subject READ Subject)
    Q_PROPERTY(QDateTime ReceivedTime READ ReceivedTime)
    Q_PROPERTY(int Importance READ Importance)
    Q_PROPERTY(bool UnRead READ UnRead)
    Q_PROPERTY(QString SenderName READ SenderName)
public:
    using QObject::QObject;
    ~Item() override;

    // The OlItemType of this item; only MailItemType has mail properties.
    virtual int ItemType() const = 0;
    // Opaque upper-case hexadecimal id; empty for an unsaved item.
    virtual QString EntryID() const = 0;
    virtual QString Subject() const = 0;
    // When the item arrived, with sub-second precision; null for unsaved items.
    virtual QDateTime ReceivedTime() const = 0;
    // 0 low, 1 normal, 2 high.
    virtual int Importance() const = 0;
    virtual bool UnRead() const = 0;
    // The sender's display name (or address when it has none).
    virtual QString SenderName() const = 0;
    // Names the message itself rather than where it lies, so that it is known again after a
    // move to another folder or a synchroniser's new copy: its Message-ID, or what else of
    // it the store keeps across such changes. Empty when the item has none.
    virtual QString MessageKey() const;
    // When the mail system took the message in, from the message or its server rather than
    // from the copy at hand (a first sync writes old mail with new file times). Null when
    // unknown.
    virtual QDateTime OriginTime() const;

    // Opens the item in its own window (not modal). False when nothing could be opened.
    Q_INVOKABLE virtual bool Display() = 0;
    // Deletes the item (for mail: moves it to the store's deleted-items folder).
    Q_INVOKABLE virtual bool Delete() = 0;
    // Marks the item read in its store (for mail: the store's seen flag). False when it could
    // not be done; an item already read succeeds.
    Q_INVOKABLE virtual bool MarkRead();
    // Why the last Display, Delete or MarkRead gave false, for the user: what was tried and what
    // went wrong. Empty when nothing failed or the item cannot tell.
    virtual QString ErrorText() const;
};

using ItemPtr = std::shared_ptr<Item>;

} // namespace lumora::host
