#include "host/memory/MemoryFolders.h"

namespace lumora {

MemoryFolders::MemoryFolders(const QList<host::FolderPtr> &folders)
    : m_folders(folders)
{
}

MemoryFolders::~MemoryFolders() = default;

int MemoryFolders::Count() const
{
    return int(m_folders.size());
}

host::FolderPtr MemoryFolders::Item(int index)
{
    if (index < 1 || index > m_folders.size())
        return {};
    return m_folders.at(index - 1);
}

} // namespace lumora
