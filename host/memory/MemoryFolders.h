#pragma once

#include "host/MAPIFolder.h"

#include <QList>

namespace lumora {

// A folder collection as it stood when it was asked for.
class MemoryFolders : public host::Folders
{
    Q_OBJECT
public:
    explicit MemoryFolders(const QList<host::FolderPtr> &folders);
    ~MemoryFolders() override;

    int Count() const override;
    host::FolderPtr Item(int index) override;

private:
    QList<host::FolderPtr> m_folders;
};

} // namespace lumora
