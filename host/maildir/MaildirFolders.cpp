#include "host/maildir/MaildirFolders.h"

namespace lumora {

MaildirFolders::MaildirFolders(const QList<host::FolderPtr> &folders, QObject *parent)
    : host::Folders(parent)
    , m_folders(folders)
{
}

MaildirFolders::~MaildirFolders() = default;

host::FolderPtr MaildirFolders::Item(int index)
{
    if (index < 1 || index > m_folders.size())
        return nullptr;
    return m_folders.at(index - 1);
}

} // namespace lumora
