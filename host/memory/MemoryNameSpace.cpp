#include "host/memory/MemoryNameSpace.h"

#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryFolders.h"

namespace lumora {

MemoryNameSpace::MemoryNameSpace(MemoryApplication *app)
    : host::NameSpace(app)
    , m_app(app)
{
}

MemoryNameSpace::~MemoryNameSpace() = default;

host::FolderPtr MemoryNameSpace::GetDefaultFolder(int kind)
{
    if (!m_app || m_app->stores().isEmpty())
        return {};
    MemoryFolderPtr folder = m_app->defaultFolder(m_app->stores().first(), kind);
    if (!folder || folder->openFails())
        return {};
    return folder;
}

host::FolderPtr MemoryNameSpace::GetFolderFromID(const QString &entryId, const QString &storeId)
{
    return m_app ? m_app->findFolder(entryId, storeId) : host::FolderPtr();
}

host::ItemPtr MemoryNameSpace::GetItemFromID(const QString &entryId, const QString &storeId)
{
    return m_app ? m_app->findItem(entryId, storeId) : host::ItemPtr();
}

host::FoldersPtr MemoryNameSpace::folders()
{
    QList<host::FolderPtr> roots;
    if (m_app) {
        for (const MemoryFolderPtr &root : m_app->stores())
            roots.append(root);
    }
    return std::make_shared<MemoryFolders>(roots);
}

} // namespace lumora
