#include "host/pop3/Pop3Items.h"

#include "host/common/DraftItem.h"
#include "host/common/UnreadFilter.h"
#include "host/pop3/Pop3Account.h"
#include "host/pop3/Pop3Item.h"

namespace lumora {

Pop3Items::Pop3Items(std::shared_ptr<Pop3Account> account, int itemType, QObject *parent)
    : host::Items(parent)
    , m_account(std::move(account))
    , m_itemType(itemType)
{
}

Pop3Items::~Pop3Items() = default;

int Pop3Items::Count() const
{
    return m_itemType == host::MailItemType ? m_account->messageCount() : 0;
}

host::ItemPtr Pop3Items::Find(const QString &filter)
{
    m_matches.clear();
    m_next = 0;
    if (m_itemType != host::MailItemType || !UnreadFilter::matches(filter))
        return nullptr;
    for (const Pop3Account::Message *m : m_account->unreadOldestFirst())
        m_matches.append(m->uidl);
    return FindNext();
}

host::ItemPtr Pop3Items::FindNext()
{
    while (m_next < m_matches.size()) {
        const QByteArray uidl = m_matches.at(m_next++);
        const Pop3Account::Message *m = m_account->message(uidl);
        if (m && !m->read)
            return std::make_shared<Pop3Item>(m_account, uidl);
    }
    return nullptr;
}

host::ItemPtr Pop3Items::Add()
{
    return std::make_shared<DraftItem>(m_itemType);
}

} // namespace lumora
