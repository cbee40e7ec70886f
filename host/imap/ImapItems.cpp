#include "host/imap/ImapItems.h"

#include "host/common/DraftItem.h"
#include "host/common/UnreadFilter.h"
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapItem.h"

namespace lumora {

ImapItems::ImapItems(std::shared_ptr<ImapAccount> account, const QByteArray &mailbox, int itemType, QObject *parent)
    : host::Items(parent)
    , m_account(std::move(account))
    , m_mailbox(mailbox)
    , m_itemType(itemType)
{
}

ImapItems::~ImapItems() = default;

int ImapItems::Count() const
{
    return m_itemType == host::MailItemType ? int(qMin<qint64>(m_account->messageCount(m_mailbox), INT_MAX)) : 0;
}

host::ItemPtr ImapItems::Find(const QString &filter)
{
    m_matches.clear();
    m_next = 0;
    if (m_itemType != host::MailItemType || !UnreadFilter::matches(filter))
        return nullptr;
    m_matches = m_account->unreadOldestFirst(m_mailbox, &m_uidValidity);
    return FindNext();
}

host::ItemPtr ImapItems::FindNext()
{
    while (m_next < m_matches.size()) {
        const quint32 uid = m_matches.at(m_next++);
        const ImapAccount::Message *m = m_account->message(m_mailbox, m_uidValidity, uid);
        if (m && !m->seen)
            return std::make_shared<ImapItem>(m_account, m_mailbox, m_uidValidity, uid);
    }
    return nullptr;
}

host::ItemPtr ImapItems::Add()
{
    return std::make_shared<DraftItem>(m_itemType);
}

} // namespace lumora
