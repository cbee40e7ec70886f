#pragma once

#include "host/MAPIFolder.h"

#include <QByteArray>

#include <memory>

namespace lumora {

class ImapAccount;

// A mailbox of an account; INBOX stands for the account and holds the other mailboxes. The
// calendar, contacts, tasks and notes folders exist only to create drafts of their kind.
class ImapFolder : public host::MAPIFolder
{
    Q_OBJECT
public:
    ImapFolder(std::shared_ptr<ImapAccount> account, const QByteArray &mailbox, int itemType = host::MailItemType,
               QObject *parent = nullptr);
    ~ImapFolder() override;

    QString EntryID() const override;
    QString StoreID() const override;
    QString Name() const override;
    int DefaultItemType() const override { return m_itemType; }
    // The account's address with the mailbox's decoded path ("imaps://anna@host:993/Work/Reports").
    QString FolderPath() const override;
    host::ItemsPtr items() override;
    host::FoldersPtr folders() override;
    int UnReadItemCount() const override;

    QByteArray mailbox() const { return m_mailbox; }

private:
    std::shared_ptr<ImapAccount> m_account;
    QByteArray m_mailbox;
    int m_itemType;
};

} // namespace lumora
