#pragma once

#include "host/MAPIFolder.h"

#include <QList>

namespace lumora {

// A fixed list of folders: a folder's sub-folders, or the stores' top folders.
class FolderList : public host::Folders
{
    Q_OBJECT
public:
    explicit FolderList(const QList<host::FolderPtr> &folders, QObject *parent = nullptr);
    ~FolderList() override;

    int Count() const override { return int(m_folders.size()); }
    host::FolderPtr Item(int index) override;

private:
    QList<host::FolderPtr> m_folders;
};

} // namespace lumora
