#include "host/common/FolderList.h"

namespace lumora {

FolderList::FolderList(const QList<host::FolderPtr> &folders, QObject *parent)
    : host::Folders(parent)
    , m_folders(folders)
{
}

FolderList::~FolderList() = default;

host::FolderPtr FolderList::Item(int index)
{
    if (index < 1 || index > m_folders.size())
        return nullptr;
    return m_folders.at(index - 1);
}

} // namespace lumora
