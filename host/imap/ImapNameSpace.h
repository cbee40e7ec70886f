#pragma once

#include "host/NameSpace.h"

#include <QList>

#include <memory>

namespace lumora {

class ImapAccount;

// The namespace over the configured accounts; the first account is the default store.
class ImapNameSpace : public host::NameSpace
{
    Q_OBJECT
public:
    explicit ImapNameSpace(const QList<std::shared_ptr<ImapAccount>> &accounts, QObject *parent = nullptr);
    ~ImapNameSpace() override;

    host::FolderPtr GetDefaultFolder(int kind) override;
    host::FolderPtr GetFolderFromID(const QString &entryId, const QString &storeId) override;
    host::ItemPtr GetItemFromID(const QString &entryId, const QString &storeId) override;
    host::FoldersPtr folders() override;

private:
    std::shared_ptr<ImapAccount> accountById(const QString &storeId) const;

    QList<std::shared_ptr<ImapAccount>> m_accounts;
};

} // namespace lumora
