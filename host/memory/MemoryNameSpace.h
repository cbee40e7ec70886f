#pragma once

#include "host/NameSpace.h"

#include <QPointer>

namespace lumora {

class MemoryApplication;

// The namespace of the in-memory host; the stores themselves live in the application.
class MemoryNameSpace : public host::NameSpace
{
    Q_OBJECT
public:
    explicit MemoryNameSpace(MemoryApplication *app);
    ~MemoryNameSpace() override;

    host::FolderPtr GetDefaultFolder(int kind) override;
    host::FolderPtr GetFolderFromID(const QString &entryId, const QString &storeId) override;
    host::ItemPtr GetItemFromID(const QString &entryId, const QString &storeId) override;
    host::FoldersPtr folders() override;

private:
    QPointer<MemoryApplication> m_app;
};

} // namespace lumora
