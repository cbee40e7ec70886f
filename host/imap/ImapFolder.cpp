#include "host/imap/ImapFolder.h"

#include "host/common/FolderList.h"
#include "host/common/VirtualFolder.h"
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapItems.h"

namespace lumora {

ImapFolder::ImapFolder(std::shared_ptr<ImapAccount> account, const QByteArray &mailbox, int itemType, QObject *parent)
    : host::MAPIFolder(parent)
    , m_account(std::move(account))
    , m_mailbox(mailbox)
    , m_itemType(itemType)
{
}

ImapFolder::~ImapFolder() = default;

QString ImapFolder::EntryID() const
{
    return m_itemType == host::MailItemType ? ImapAccount::folderEntryId(m_account->config().key(), m_mailbox)
                                            : VirtualFolder::entryId(m_itemType);
}

QString ImapFolder::StoreID() const
{
    return m_account->storeId();
}

QString ImapFolder::Name() const
{
    return m_itemType == host::MailItemType ? m_account->displayName(m_mailbox) : VirtualFolder::name(m_itemType);
}

QString ImapFolder::FolderPath() const
{
    if (m_itemType != host::MailItemType)
        return QString();
    const std::optional<ImapAccount::Mailbox> m = m_account->mailbox(m_mailbox);
    QString path = m ? m->name : QString::fromUtf8(m_mailbox);
    if (m && !m->delimiter.isNull())
        path.replace(m->delimiter, QLatin1Char('/'));
    return m_account->config().toUrl() + QLatin1Char('/') + path;
}

int ImapFolder::UnReadItemCount() const
{
    if (m_itemType != host::MailItemType)
        return -1;
    // The watching sessions keep the count; asking the server here would block the caller.
    const bool inbox = m_mailbox.compare("INBOX", Qt::CaseInsensitive) == 0;
    return m_account->unseenCount(inbox ? QByteArray("INBOX") : m_mailbox);
}

host::ItemsPtr ImapFolder::items()
{
    return std::make_shared<ImapItems>(m_account, m_mailbox, m_itemType);
}

host::FoldersPtr ImapFolder::folders()
{
    QList<host::FolderPtr> children;
    if (m_itemType == host::MailItemType) {
        for (const QByteArray &child : m_account->childMailboxes(m_mailbox))
            children.append(std::make_shared<ImapFolder>(m_account, child));
    }
    return std::make_shared<FolderList>(children);
}

} // namespace lumora
