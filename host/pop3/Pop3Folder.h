#pragma once

#include "host/MAPIFolder.h"

#include <memory>

namespace lumora {

class Pop3Account;

// The account's one mailbox, which POP3 offers as its Inbox. The calendar, contacts, tasks
// and notes folders exist only to create drafts of their kind.
class Pop3Folder : public host::MAPIFolder
{
    Q_OBJECT
public:
    Pop3Folder(std::shared_ptr<Pop3Account> account, int itemType = host::MailItemType, QObject *parent = nullptr);
    ~Pop3Folder() override;

    QString EntryID() const override;
    QString StoreID() const override;
    QString Name() const override;
    int DefaultItemType() const override { return m_itemType; }
    // The account's address ("pop3s://anna@host:995").
    QString FolderPath() const override;
    host::ItemsPtr items() override;
    host::FoldersPtr folders() override;
    int UnReadItemCount() const override;

private:
    std::shared_ptr<Pop3Account> m_account;
    int m_itemType;
};

} // namespace lumora
