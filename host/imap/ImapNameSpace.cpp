#include "host/imap/ImapNameSpace.h"

#include "host/imap/ImapAccount.h"
#include "host/imap/ImapFolder.h"
#include "host/imap/ImapItem.h"
#include "host/maildir/MaildirFolder.h"
#include "host/maildir/MaildirFolders.h"

namespace lumora {

ImapNameSpace::ImapNameSpace(const QList<std::shared_ptr<ImapAccount>> &accounts, QObject *parent)
    : host::NameSpace(parent)
    , m_accounts(accounts)
{
}

ImapNameSpace::~ImapNameSpace() = default;

std::shared_ptr<ImapAccount> ImapNameSpace::accountById(const QString &storeId) const
{
    for (const auto &account : m_accounts) {
        if (account->storeId() == storeId)
            return account;
    }
    return nullptr;
}

host::FolderPtr ImapNameSpace::GetDefaultFolder(int kind)
{
    if (m_accounts.isEmpty())
        return nullptr;
    const auto &account = m_accounts.first();
    switch (kind) {
    case host::FolderInbox:
        return std::make_shared<ImapFolder>(account, "INBOX");
    case host::FolderDeletedItems:
    case host::FolderDrafts: {
        const QByteArray mailbox = kind == host::FolderDrafts ? account->draftsMailbox() : account->trashMailbox(false);
        return mailbox.isEmpty() ? nullptr : std::make_shared<ImapFolder>(account, mailbox);
    }
    case host::FolderCalendar:
        return std::make_shared<ImapFolder>(account, "INBOX", host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<ImapFolder>(account, "INBOX", host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<ImapFolder>(account, "INBOX", host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<ImapFolder>(account, "INBOX", host::TaskItemType);
    default:
        return nullptr;
    }
}

host::FolderPtr ImapNameSpace::GetFolderFromID(const QString &entryId, const QString &storeId)
{
    const auto account = accountById(storeId);
    if (!account)
        return nullptr;
    const int virtualType = MaildirFolder::parseVirtualFolderId(entryId);
    if (virtualType >= 0)
        return std::make_shared<ImapFolder>(account, "INBOX", virtualType);
    QString key;
    QByteArray mailbox;
    if (!ImapAccount::parseFolderEntryId(entryId, &key, &mailbox) || key != account->config().key())
        return nullptr;
    // INBOX always exists; other mailboxes are checked against the server's list, so a
    // mailbox deleted on the server gives no folder. When the server cannot be asked the
    // folder is still handed out: its searches then find nothing.
    if (mailbox != "INBOX" && account->refreshMailboxes()) {
        const auto found = account->mailbox(mailbox);
        if (!found || !found->selectable())
            return nullptr;
    }
    return std::make_shared<ImapFolder>(account, mailbox);
}

host::ItemPtr ImapNameSpace::GetItemFromID(const QString &entryId, const QString &storeId)
{
    const auto account = accountById(storeId);
    QString key;
    QByteArray mailbox;
    quint32 validity = 0;
    quint32 uid = 0;
    if (!account || !ImapAccount::parseItemEntryId(entryId, &key, &mailbox, &validity, &uid)
        || key != account->config().key())
        return nullptr;
    if (!account->message(mailbox, validity, uid, true))
        return nullptr;
    return std::make_shared<ImapItem>(account, mailbox, validity, uid);
}

host::FoldersPtr ImapNameSpace::folders()
{
    QList<host::FolderPtr> tops;
    for (const auto &account : m_accounts)
        tops.append(std::make_shared<ImapFolder>(account, "INBOX"));
    return std::make_shared<MaildirFolders>(tops);
}

} // namespace lumora
