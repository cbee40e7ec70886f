#pragma once

#include "host/Items.h"

#include <QString>

namespace lumora::host {

class Folders;
using FoldersPtr = std::shared_ptr<Folders>;

// One folder of a store. Ids are opaque upper-case hexadecimal strings.
class LUMORA_HOST_EXPORT MAPIFolder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString EntryID READ EntryID)
    Q_PROPERTY(QString StoreID READ StoreID)
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(int DefaultItemType READ DefaultItemType)
    Q_PROPERTY(QString FolderPath READ FolderPath)
public:
    using QObject::QObject;
    ~MAPIFolder() override;

    virtual QString EntryID() const = 0;
    virtual QString StoreID() const = 0;
    virtual QString Name() const = 0;
    // OlItemType of the items the folder holds (0 for mail folders).
    virtual int DefaultItemType() const = 0;
    // Where the folder lives, as its host names it for a person (for a Maildir, the
    // directory); empty when the host has no such name.
    virtual QString FolderPath() const { return QString(); }
    virtual ItemsPtr items() = 0;
    virtual FoldersPtr folders() = 0;
    // Unread messages in the folder, from what the host already keeps of it (never by
    // opening messages); -1 when the host cannot tell.
    virtual int UnReadItemCount() const { return -1; }
};

using FolderPtr = std::shared_ptr<MAPIFolder>;

// A folder collection: the top folders of the namespace (one per store) or sub-folders.
class LUMORA_HOST_EXPORT Folders : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Folders() override;

    virtual int Count() const = 0;
    // 1-based, as the object model counts; null when out of range.
    virtual FolderPtr Item(int index) = 0;
};

} // namespace lumora::host
