#include "host/pop3/Pop3Folder.h"

#include "host/common/FolderList.h"
#include "host/common/VirtualFolder.h"
#include "host/pop3/Pop3Account.h"
#include "host/pop3/Pop3Items.h"

namespace lumora {

Pop3Folder::Pop3Folder(std::shared_ptr<Pop3Account> account, int itemType, QObject *parent)
    : host::MAPIFolder(parent)
    , m_account(std::move(account))
    , m_itemType(itemType)
{
}

Pop3Folder::~Pop3Folder() = default;

QString Pop3Folder::EntryID() const
{
    return m_itemType == host::MailItemType ? Pop3Account::folderEntryId(m_account->config().key())
                                            : VirtualFolder::entryId(m_itemType);
}

QString Pop3Folder::StoreID() const
{
    return m_account->storeId();
}

QString Pop3Folder::Name() const
{
    return m_itemType == host::MailItemType ? QStringLiteral("Inbox") : VirtualFolder::name(m_itemType);
}

QString Pop3Folder::FolderPath() const
{
    return m_itemType == host::MailItemType ? m_account->config().toUrl() : QString();
}

int Pop3Folder::UnReadItemCount() const
{
    return m_itemType == host::MailItemType ? m_account->unreadCount() : -1;
}

host::ItemsPtr Pop3Folder::items()
{
    return std::make_shared<Pop3Items>(m_account, m_itemType);
}

host::FoldersPtr Pop3Folder::folders()
{
    return std::make_shared<FolderList>(QList<host::FolderPtr>{});
}

} // namespace lumora
