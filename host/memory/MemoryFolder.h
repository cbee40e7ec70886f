#pragma once

#include "host/memory/MemoryItem.h"

#include "host/MAPIFolder.h"

#include <QList>
#include <QPointer>

namespace lumora {

class MemoryApplication;
class MemoryFolder;
using MemoryFolderPtr = std::shared_ptr<MemoryFolder>;

// A folder held in memory: its items in the order they were added, and its sub-folders.
class MemoryFolder : public host::MAPIFolder, public std::enable_shared_from_this<MemoryFolder>
{
    Q_OBJECT
public:
    MemoryFolder(MemoryApplication *app, const QString &entryId, const QString &storeId, const QString &name,
                 int defaultItemType, const std::weak_ptr<MemoryFolder> &parentFolder);
    ~MemoryFolder() override;

    QString EntryID() const override { return m_entryId; }
    QString StoreID() const override { return m_storeId; }
    QString Name() const override { return m_name; }
    int DefaultItemType() const override { return m_defaultItemType; }
    host::ItemsPtr items() override;
    host::FoldersPtr folders() override;
    int UnReadItemCount() const override;

    MemoryApplication *application() const { return m_app; }
    MemoryFolderPtr parentFolder() const { return m_parent.lock(); }
    // The store's top folder (the Inbox).
    MemoryFolderPtr root();
    const QList<MemoryFolderPtr> &children() const { return m_children; }
    const QList<MemoryItemPtr> &heldItems() const { return m_items; }
    // The default-folder kind this folder serves (0 for an ordinary folder).
    int defaultKind() const { return m_defaultKind; }
    void setDefaultKind(int kind) { m_defaultKind = kind; }

    // A folder that cannot be opened is not found by id, and neither are its items.
    void setOpenFails(bool fail) { m_openFails = fail; }
    bool openFails() const { return m_openFails; }

    void appendChild(const MemoryFolderPtr &child) { m_children.append(child); }
    void appendItem(const MemoryItemPtr &item);
    // Takes the item out of the folder; false when it is not held here.
    bool removeItem(const MemoryItem *item);

private:
    QPointer<MemoryApplication> m_app;
    QString m_entryId;
    QString m_storeId;
    QString m_name;
    int m_defaultItemType = 0;
    int m_defaultKind = 0;
    bool m_openFails = false;
    std::weak_ptr<MemoryFolder> m_parent;
    QList<MemoryFolderPtr> m_children;
    QList<MemoryItemPtr> m_items;
    qint64 m_nextSequence = 1;
};

} // namespace lumora
