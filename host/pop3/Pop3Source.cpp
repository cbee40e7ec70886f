#include "host/pop3/Pop3Source.h"

#include "host/common/VirtualFolder.h"
#include "host/pop3/Pop3Account.h"
#include "host/pop3/Pop3Folder.h"
#include "host/pop3/Pop3Item.h"

namespace lumora {

Pop3Source::Pop3Source(const Pop3AccountConfig &config, const QString &statePath, QObject *parent)
    : MailSource(parent)
    , m_account(std::make_shared<Pop3Account>(config, statePath))
{
    connect(m_account.get(), &Pop3Account::problemChanged, this, &MailSource::problemsChanged);
    connect(m_account.get(), &Pop3Account::unreadChanged, this, &MailSource::unreadChanged);
    connect(m_account.get(), &Pop3Account::arrived, this, &MailSource::newMail);
}

Pop3Source::~Pop3Source() = default;

QString Pop3Source::storeId() const
{
    return m_account->storeId();
}

QString Pop3Source::description() const
{
    return tr("POP3 account %1").arg(m_account->config().key());
}

host::FolderPtr Pop3Source::topFolder()
{
    return std::make_shared<Pop3Folder>(m_account);
}

host::FolderPtr Pop3Source::defaultFolder(int kind)
{
    switch (kind) {
    case host::FolderInbox:
        return topFolder();
    case host::FolderCalendar:
        return std::make_shared<Pop3Folder>(m_account, host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<Pop3Folder>(m_account, host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<Pop3Folder>(m_account, host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<Pop3Folder>(m_account, host::TaskItemType);
    default:
        // POP3 has no Trash or Drafts of its own.
        return nullptr;
    }
}

host::FolderPtr Pop3Source::folderFromId(const QString &entryId)
{
    const int virtualType = VirtualFolder::parseEntryId(entryId);
    if (virtualType >= 0)
        return std::make_shared<Pop3Folder>(m_account, virtualType);
    QString key;
    if (!Pop3Account::parseFolderEntryId(entryId, &key) || key != m_account->config().key())
        return nullptr;
    return topFolder();
}

host::ItemPtr Pop3Source::itemFromId(const QString &entryId)
{
    QString key;
    QByteArray uidl;
    if (!Pop3Account::parseItemEntryId(entryId, &key, &uidl) || key != m_account->config().key()
        || !m_account->message(uidl))
        return nullptr;
    return std::make_shared<Pop3Item>(m_account, uidl);
}

void Pop3Source::start()
{
    m_account->start();
}

void Pop3Source::checkNow()
{
    m_account->checkNow();
}

bool Pop3Source::holdsWaitingMail() const
{
    return m_account->unreadCount() > 0;
}

QString Pop3Source::problems() const
{
    return m_account->problem();
}

void Pop3Source::setDisplayCommand(const QString &command)
{
    m_account->setDisplayCommand(command);
}

} // namespace lumora
