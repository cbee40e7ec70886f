#include "host/memory/MemoryApplication.h"

#include "host/memory/MemoryExplorer.h"
#include "host/memory/MemoryExplorers.h"
#include "host/memory/MemoryInspector.h"
#include "host/memory/MemoryInspectors.h"
#include "host/memory/MemoryNameSpace.h"
#include "host/memory/MemoryPropertyPages.h"

#include "platform/core/Clock.h"

namespace lumora {

namespace {

struct DefaultFolderInfo
{
    int kind;
    const char *name;
    int itemType;
};

constexpr DefaultFolderInfo kDefaultFolders[] = {
    {host::FolderDeletedItems, "Deleted Items", host::MailItemType},
    {host::FolderCalendar, "Calendar", host::AppointmentItemType},
    {host::FolderContacts, "Contacts", host::ContactItemType},
    {host::FolderNotes, "Notes", host::NoteItemType},
    {host::FolderTasks, "Tasks", host::TaskItemType},
    {host::FolderDrafts, "Drafts", host::MailItemType},
};

bool isCreatableType(int type)
{
    return type == host::MailItemType || type == host::AppointmentItemType || type == host::ContactItemType
        || type == host::TaskItemType || type == host::NoteItemType;
}

MemoryFolderPtr findFolderIn(const MemoryFolderPtr &folder, const QString &entryId)
{
    if (folder->EntryID() == entryId)
        return folder;
    for (const MemoryFolderPtr &child : folder->children()) {
        if (MemoryFolderPtr found = findFolderIn(child, entryId))
            return found;
    }
    return {};
}

MemoryItemPtr findItemIn(const MemoryFolderPtr &folder, const QString &entryId)
{
    // Items of a folder that cannot be opened cannot be reached either.
    if (folder->openFails())
        return {};
    for (const MemoryItemPtr &item : folder->heldItems()) {
        if (item->storedId() == entryId)
            return item;
    }
    for (const MemoryFolderPtr &child : folder->children()) {
        if (MemoryItemPtr found = findItemIn(child, entryId))
            return found;
    }
    return {};
}

} // namespace

MemoryApplication::MemoryApplication(QObject *parent)
    : host::Application(parent)
    , m_namespace(new MemoryNameSpace(this))
    , m_explorers(new MemoryExplorers(this))
    , m_inspectors(new MemoryInspectors(this))
    , m_comAddIns(new host::COMAddIns(this))
{
}

MemoryApplication::~MemoryApplication() = default;

host::NameSpace *MemoryApplication::GetNamespace(const QString &type)
{
    if (m_namespaceFails || type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) != 0)
        return nullptr;
    return m_namespace;
}

host::NameSpace *MemoryApplication::session()
{
    return m_namespaceFails ? nullptr : m_namespace;
}

host::Explorer *MemoryApplication::ActiveExplorer()
{
    return m_explorers->front();
}

host::Explorers *MemoryApplication::explorers()
{
    return m_explorers;
}

host::Inspectors *MemoryApplication::inspectors()
{
    return m_inspectors;
}

host::ItemPtr MemoryApplication::CreateItem(int type)
{
    return createUnsavedItem(type, {});
}

host::COMAddIns *MemoryApplication::comAddIns()
{
    return m_comAddIns;
}

QString MemoryApplication::nextId(const char *prefix)
{
    // Deterministic, so that ids a demo run stored (watched folders) still match next time.
    return (QLatin1String(prefix) + QStringLiteral("%1").arg(m_nextId++, 24, 16, QLatin1Char('0'))).toUpper();
}

MemoryFolderPtr MemoryApplication::addStore(const QString &displayName)
{
    const QString storeId = nextId("0000000038A1BB10");
    auto root = std::make_shared<MemoryFolder>(this, nextId("00000000"), storeId, displayName, host::MailItemType,
                                               std::weak_ptr<MemoryFolder>());
    root->setDefaultKind(host::FolderInbox);
    m_stores.append(root);
    return root;
}

MemoryFolderPtr MemoryApplication::addFolder(const MemoryFolderPtr &parent, const QString &name, int defaultItemType)
{
    if (!parent)
        return {};
    auto folder =
        std::make_shared<MemoryFolder>(this, nextId("00000000"), parent->StoreID(), name, defaultItemType, parent);
    parent->appendChild(folder);
    return folder;
}

MemoryFolderPtr MemoryApplication::defaultFolder(const MemoryFolderPtr &store, int kind)
{
    if (!store)
        return {};
    MemoryFolderPtr root = store->root();
    if (kind == host::FolderInbox)
        return root;
    for (const DefaultFolderInfo &info : kDefaultFolders) {
        if (info.kind != kind)
            continue;
        for (const MemoryFolderPtr &child : root->children()) {
            if (child->defaultKind() == kind)
                return child;
        }
        MemoryFolderPtr folder = addFolder(root, QString::fromLatin1(info.name), info.itemType);
        folder->setDefaultKind(kind);
        return folder;
    }
    return {};
}

MemoryItemPtr MemoryApplication::deliver(const MemoryFolderPtr &folder, const MemoryItemData &data, bool raise)
{
    if (!folder)
        return {};
    MemoryItemData stored = data;
    if (!stored.receivedTime.isValid())
        stored.receivedTime = Clock::instance().now();
    auto item = std::make_shared<MemoryItem>(this, folder, nextId("00000000"), stored);
    folder->appendItem(item);
    if (raise)
        raiseNewMail();
    return item;
}

void MemoryApplication::setUnread(const MemoryItemPtr &item, bool unread)
{
    if (!item)
        return;
    // As another mail client reading or unmarking it: the counts change, nothing arrives.
    item->setUnread(unread);
    Q_EMIT UnreadChanged();
}

void MemoryApplication::raiseNewMail()
{
    Q_EMIT NewMail();
}

MemoryPropertyPages *MemoryApplication::raiseOptionsPagesAdd()
{
    auto *pages = new MemoryPropertyPages(this);
    Q_EMIT OptionsPagesAdd(pages);
    return pages;
}

MemoryExplorer *MemoryApplication::openExplorer()
{
    return m_explorers->open();
}

MemoryInspector *MemoryApplication::openInspector(const host::ItemPtr &item)
{
    return m_inspectors->open(item);
}

void MemoryApplication::closeInspector(MemoryInspector *inspector)
{
    if (inspector && inspector->isOpen())
        m_inspectors->close(inspector);
}

void MemoryApplication::clearRecords()
{
    m_displayed.clear();
    m_deleted.clear();
    m_composed.clear();
}

MemoryFolderPtr MemoryApplication::storeById(const QString &storeId) const
{
    for (const MemoryFolderPtr &root : m_stores) {
        if (root->StoreID() == storeId)
            return root;
    }
    return {};
}

QList<MemoryFolderPtr> MemoryApplication::rootsFor(const QString &storeId) const
{
    // Without a store id every store is searched, as the object model allows.
    if (storeId.isEmpty())
        return m_stores;
    MemoryFolderPtr root = storeById(storeId);
    return root ? QList<MemoryFolderPtr>{root} : QList<MemoryFolderPtr>{};
}

MemoryFolderPtr MemoryApplication::findFolder(const QString &entryId, const QString &storeId) const
{
    if (entryId.isEmpty())
        return {};
    const QList<MemoryFolderPtr> roots = rootsFor(storeId);
    for (const MemoryFolderPtr &root : std::as_const(roots)) {
        if (MemoryFolderPtr found = findFolderIn(root, entryId))
            return found->openFails() ? MemoryFolderPtr() : found;
    }
    return {};
}

MemoryItemPtr MemoryApplication::findItem(const QString &entryId, const QString &storeId) const
{
    if (entryId.isEmpty())
        return {};
    const QList<MemoryFolderPtr> roots = rootsFor(storeId);
    for (const MemoryFolderPtr &root : std::as_const(roots)) {
        if (MemoryItemPtr found = findItemIn(root, entryId))
            return found;
    }
    return {};
}

MemoryItemPtr MemoryApplication::createUnsavedItem(int type, const MemoryFolderPtr &folder)
{
    if (!isCreatableType(type))
        return {};
    MemoryItemData data;
    data.itemType = type;
    data.unread = false;
    return std::make_shared<MemoryItem>(this, folder, QString(), data);
}

void MemoryApplication::recordDisplay(const MemoryItem &item)
{
    if (item.EntryID().isEmpty())
        m_composed.append(item.ItemType());
    else
        m_displayed.append(item.EntryID());
}

bool MemoryApplication::deleteItem(MemoryItem &item)
{
    MemoryFolderPtr folder = item.folder();
    if (!folder)
        return false;
    const QString oldId = item.storedId();
    MemoryFolderPtr trash = defaultFolder(folder->root(), host::FolderDeletedItems);
    // Keep the item alive while it changes hands: the folder may hold its last reference.
    MemoryItemPtr keep;
    for (const MemoryItemPtr &held : folder->heldItems()) {
        if (held.get() == &item)
            keep = held;
    }
    if (!keep || !folder->removeItem(&item))
        return false;
    item.markGone();
    // Moving gives the item a new id, so the old one goes stale; deleting from the
    // deleted-items folder removes it for good.
    if (folder != trash && trash) {
        auto moved = std::make_shared<MemoryItem>(this, trash, nextId("00000000"), item.data());
        trash->appendItem(moved);
    }
    m_deleted.append(oldId);
    return true;
}

} // namespace lumora
