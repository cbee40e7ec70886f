#include "host/imap/ImapSource.h"

#include "host/common/VirtualFolder.h"
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapFolder.h"
#include "host/imap/ImapItem.h"
#include "host/imap/ImapWatcher.h"

namespace lumora {

ImapSource::ImapSource(const ImapAccountConfig &config, QObject *parent)
    : MailSource(parent)
    , m_account(std::make_shared<ImapAccount>(config))
{
    connect(m_account.get(), &ImapAccount::problemChanged, this, &MailSource::problemsChanged);
    m_watcher = new ImapWatcher({m_account}, this);
    connect(m_watcher, &ImapWatcher::newMail, this, &MailSource::newMail);
    connect(m_account.get(), &ImapAccount::unseenChanged, this, &MailSource::unreadChanged);
    // Folders made, deleted or renamed elsewhere change what is counted.
    connect(m_account.get(), &ImapAccount::mailboxesChanged, this, &MailSource::unreadChanged);
}

ImapSource::~ImapSource()
{
    // The sessions go before the account they belong to.
    delete m_watcher;
}

QString ImapSource::storeId() const
{
    return m_account->storeId();
}

QString ImapSource::description() const
{
    return QStringLiteral("IMAP account %1").arg(m_account->config().key());
}

host::FolderPtr ImapSource::topFolder()
{
    return std::make_shared<ImapFolder>(m_account, "INBOX");
}

host::FolderPtr ImapSource::defaultFolder(int kind)
{
    switch (kind) {
    case host::FolderInbox:
        return topFolder();
    case host::FolderDeletedItems:
    case host::FolderDrafts: {
        const QByteArray mailbox =
            kind == host::FolderDrafts ? m_account->draftsMailbox() : m_account->trashMailbox(false);
        return mailbox.isEmpty() ? nullptr : std::make_shared<ImapFolder>(m_account, mailbox);
    }
    case host::FolderCalendar:
        return std::make_shared<ImapFolder>(m_account, "INBOX", host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<ImapFolder>(m_account, "INBOX", host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<ImapFolder>(m_account, "INBOX", host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<ImapFolder>(m_account, "INBOX", host::TaskItemType);
    default:
        return nullptr;
    }
}

host::FolderPtr ImapSource::folderFromId(const QString &entryId)
{
    const int virtualType = VirtualFolder::parseEntryId(entryId);
    if (virtualType >= 0)
        return std::make_shared<ImapFolder>(m_account, "INBOX", virtualType);
    QString key;
    QByteArray mailbox;
    if (!ImapAccount::parseFolderEntryId(entryId, &key, &mailbox) || key != m_account->config().key())
        return nullptr;
    // INBOX always exists; other mailboxes are checked against the server's list, so a
    // mailbox deleted on the server gives no folder. When the server cannot be asked the
    // folder is still handed out: its searches then find nothing.
    if (mailbox != "INBOX" && m_account->refreshMailboxes()) {
        const auto found = m_account->mailbox(mailbox);
        if (!found || !found->selectable())
            return nullptr;
    }
    return std::make_shared<ImapFolder>(m_account, mailbox);
}

host::ItemPtr ImapSource::itemFromId(const QString &entryId)
{
    QString key;
    QByteArray mailbox;
    quint32 validity = 0;
    quint32 uid = 0;
    if (!ImapAccount::parseItemEntryId(entryId, &key, &mailbox, &validity, &uid) || key != m_account->config().key())
        return nullptr;
    if (!m_account->message(mailbox, validity, uid, true))
        return nullptr;
    return std::make_shared<ImapItem>(m_account, mailbox, validity, uid);
}

int ImapSource::knownUnread(const QString &entryId)
{
    QString key;
    QByteArray mailbox;
    quint32 validity = 0;
    quint32 uid = 0;
    if (!ImapAccount::parseItemEntryId(entryId, &key, &mailbox, &validity, &uid) || key != m_account->config().key())
        return -1;
    const std::optional<bool> unread = m_account->knownUnread(mailbox, validity, uid);
    return unread ? (*unread ? 1 : 0) : -1;
}

void ImapSource::start()
{
    if (m_started)
        return;
    m_started = true;
    m_watcher->start();
}

void ImapSource::checkNow()
{
    if (m_started)
        m_watcher->resume();
}

bool ImapSource::holdsWaitingMail() const
{
    return m_account->problem().isEmpty();
}

QString ImapSource::problems() const
{
    return m_account->problem();
}

void ImapSource::setDisplayCommand(const QString &command)
{
    m_account->setDisplayCommand(command);
}

} // namespace lumora
