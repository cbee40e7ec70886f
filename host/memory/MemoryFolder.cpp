#include "host/memory/MemoryFolder.h"

#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryFolders.h"
#include "host/memory/MemoryItems.h"

namespace lumora {

MemoryFolder::MemoryFolder(MemoryApplication *app, const QString &entryId, const QString &storeId, const QString &name,
                           int defaultItemType, const std::weak_ptr<MemoryFolder> &parentFolder)
    : m_app(app)
    , m_entryId(entryId)
    , m_storeId(storeId)
    , m_name(name)
    , m_defaultItemType(defaultItemType)
    , m_parent(parentFolder)
{
}

MemoryFolder::~MemoryFolder() = default;

host::ItemsPtr MemoryFolder::items()
{
    return std::make_shared<MemoryItems>(shared_from_this());
}

host::FoldersPtr MemoryFolder::folders()
{
    QList<host::FolderPtr> list;
    for (const MemoryFolderPtr &child : std::as_const(m_children))
        list.append(child);
    return std::make_shared<MemoryFolders>(list);
}

MemoryFolderPtr MemoryFolder::root()
{
    MemoryFolderPtr folder = shared_from_this();
    while (MemoryFolderPtr up = folder->parentFolder())
        folder = up;
    return folder;
}

int MemoryFolder::UnReadItemCount() const
{
    if (m_defaultItemType != host::MailItemType)
        return -1;
    int n = 0;
    for (const MemoryItemPtr &item : m_items)
        n += item->data().unread && item->data().itemType == host::MailItemType ? 1 : 0;
    return n;
}

void MemoryFolder::appendItem(const MemoryItemPtr &item)
{
    // The sequence lets a running Find carry on correctly when items come and go meanwhile.
    item->setSequence(m_nextSequence++);
    m_items.append(item);
}

bool MemoryFolder::removeItem(const MemoryItem *item)
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).get() == item) {
            m_items.removeAt(i);
            return true;
        }
    }
    return false;
}

} // namespace lumora
