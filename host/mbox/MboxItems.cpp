#include "host/mbox/MboxItems.h"

#include "host/common/DraftItem.h"
#include "host/common/UnreadFilter.h"
#include "host/mbox/MboxItem.h"
#include "host/mbox/MboxStore.h"

namespace lumora {

MboxItems::MboxItems(std::shared_ptr<MboxStore> store, int itemType, QObject *parent)
    : host::Items(parent)
    , m_store(std::move(store))
    , m_itemType(itemType)
{
}

MboxItems::~MboxItems() = default;

int MboxItems::Count() const
{
    return m_itemType == host::MailItemType ? int(m_store->file().entries().size()) : 0;
}

host::ItemPtr MboxItems::Find(const QString &filter)
{
    m_matches.clear();
    m_next = 0;
    if (m_itemType != host::MailItemType || !UnreadFilter::matches(filter))
        return nullptr;
    // The file is in arrival order, so its order is oldest first.
    const std::vector<MboxFile::Entry> &entries = m_store->file().entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!(entries[i].flags & MboxFile::Seen))
            m_matches.append({entries[i].identity, entries[i].occurrence, qsizetype(i)});
    }
    return FindNext();
}

host::ItemPtr MboxItems::FindNext()
{
    while (m_next < m_matches.size()) {
        const Match match = m_matches.at(m_next++);
        const qsizetype index = m_store->file().find(match.identity, match.occurrence, match.hint);
        // Skip what was read or rewritten away since Find.
        if (index >= 0 && !(m_store->file().entries()[size_t(index)].flags & MboxFile::Seen))
            return std::make_shared<MboxItem>(m_store, match.identity, match.occurrence);
    }
    return nullptr;
}

host::ItemPtr MboxItems::Add()
{
    return std::make_shared<DraftItem>(m_itemType);
}

} // namespace lumora
