#pragma once

#include "host/memory/MemoryFolder.h"
#include "host/memory/MemoryItem.h"

#include "host/Application.h"

#include <QList>
#include <QStringList>

namespace lumora {

class MemoryExplorer;
class MemoryExplorers;
class MemoryInspector;
class MemoryInspectors;
class MemoryNameSpace;
class MemoryPropertyPages;

// A mail application held entirely in memory, scripted by tests and by the demo run:
// stores and folders, delivered items, windows, add-in entries and the events between them.
class MemoryApplication : public host::Application
{
    Q_OBJECT
public:
    explicit MemoryApplication(QObject *parent = nullptr);
    ~MemoryApplication() override;

    host::NameSpace *GetNamespace(const QString &type) override;
    host::NameSpace *session() override;
    host::Explorer *ActiveExplorer() override;
    host::Explorers *explorers() override;
    host::Inspectors *inspectors() override;
    host::ItemPtr CreateItem(int type) override;
    host::COMAddIns *comAddIns() override;
    QString version() const override { return m_version; }

    void setVersion(const QString &version) { m_version = version; }

    // Stores and folders. A store's top folder is its Inbox and carries the store's name;
    // the first store added is the default store.
    MemoryFolderPtr addStore(const QString &displayName);
    MemoryFolderPtr addFolder(const MemoryFolderPtr &parent, const QString &name,
                              int defaultItemType = host::MailItemType);
    const QList<MemoryFolderPtr> &stores() const { return m_stores; }
    // The store's default folder of a kind (host::DefaultFolder), created on first use;
    // null for a kind the store has none of.
    MemoryFolderPtr defaultFolder(const MemoryFolderPtr &store, int kind);

    // Appends an item to the folder, then raises NewMail when asked to.
    MemoryItemPtr deliver(const MemoryFolderPtr &folder, const MemoryItemData &data, bool raiseNewMail = true);
    void setUnread(const MemoryItemPtr &item, bool unread);
    void raiseNewMail();
    // Raises OptionsPagesAdd with a fresh page list (owned by the application) and returns it.
    MemoryPropertyPages *raiseOptionsPagesAdd();

    // Windows.
    MemoryExplorer *openExplorer();
    MemoryInspector *openInspector(const host::ItemPtr &item = {});
    void closeInspector(MemoryInspector *inspector);
    MemoryExplorers *memoryExplorers() const { return m_explorers; }
    MemoryInspectors *memoryInspectors() const { return m_inspectors; }

    // What the add-in did: entry ids of displayed and deleted items (in call order) and the
    // item types of unsaved items that were displayed (new items being composed).
    QStringList displayedIds() const { return m_displayed; }
    QStringList deletedIds() const { return m_deleted; }
    QList<int> composedTypes() const { return m_composed; }
    void clearRecords();

    // Failure injection: GetNamespace yields null.
    void setNamespaceFails(bool fail) { m_namespaceFails = fail; }

    // Used by the folders and items of this application.
    MemoryFolderPtr findFolder(const QString &entryId, const QString &storeId) const;
    MemoryItemPtr findItem(const QString &entryId, const QString &storeId) const;
    MemoryItemPtr createUnsavedItem(int type, const MemoryFolderPtr &folder);
    void recordDisplay(const MemoryItem &item);
    bool deleteItem(MemoryItem &item);

private:
    QString nextId(const char *prefix);
    MemoryFolderPtr storeById(const QString &storeId) const;
    // The stores a look-up by store id searches.
    QList<MemoryFolderPtr> rootsFor(const QString &storeId) const;

    MemoryNameSpace *m_namespace = nullptr;
    MemoryExplorers *m_explorers = nullptr;
    MemoryInspectors *m_inspectors = nullptr;
    host::COMAddIns *m_comAddIns = nullptr;
    QList<MemoryFolderPtr> m_stores;
    QString m_version = QStringLiteral("10.0.0.0");
    quint64 m_nextId = 1;
    bool m_namespaceFails = false;
    QStringList m_displayed;
    QStringList m_deleted;
    QList<int> m_composed;
};

} // namespace lumora
