#include "host/mh/MhItems.h"

#include "host/common/DraftItem.h"
#include "host/common/UnreadFilter.h"
#include "host/mh/MhItem.h"
#include "host/mh/MhStore.h"

namespace lumora {

MhItems::MhItems(std::shared_ptr<MhStore> store, const QString &dir, int itemType, QObject *parent)
    : host::Items(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_itemType(itemType)
{
}

MhItems::~MhItems() = default;

int MhItems::Count() const
{
    return m_itemType == host::MailItemType ? int(m_store->numbers(m_dir).size()) : 0;
}

host::ItemPtr MhItems::Find(const QString &filter)
{
    m_matches.clear();
    m_next = 0;
    if (m_itemType != host::MailItemType || !UnreadFilter::matches(filter))
        return nullptr;
    for (const int number : m_store->numbers(m_dir)) {
        if (m_store->isUnread(m_dir, number))
            m_matches.append(number);
    }
    return FindNext();
}

host::ItemPtr MhItems::FindNext()
{
    while (m_next < m_matches.size()) {
        const int number = m_matches.at(m_next++);
        if (m_store->isUnread(m_dir, number)) // not read or removed since Find
            return std::make_shared<MhItem>(m_store, m_dir, number);
    }
    return nullptr;
}

host::ItemPtr MhItems::Add()
{
    return std::make_shared<DraftItem>(m_itemType);
}

} // namespace lumora
