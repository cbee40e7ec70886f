#include "host/maildir/MaildirItems.h"

#include "host/common/UnreadFilter.h"

#include "host/common/DraftItem.h"
#include "host/maildir/MaildirItem.h"
#include "host/maildir/MaildirStore.h"

#include <QFile>

namespace lumora {

MaildirItems::MaildirItems(std::shared_ptr<MaildirStore> store, const QString &dir, int itemType, QObject *parent)
    : host::Items(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_itemType(itemType)
{
}

MaildirItems::~MaildirItems() = default;

int MaildirItems::Count() const
{
    if (m_itemType != host::MailItemType)
        return 0;
    MaildirFolderIndex *index = m_store->index(m_dir);
    return index ? index->count() : 0;
}

host::ItemPtr MaildirItems::Find(const QString &filter)
{
    m_matches.clear();
    m_next = 0;
    if (m_itemType != host::MailItemType || !UnreadFilter::matches(filter))
        return nullptr;
    MaildirFolderIndex *index = m_store->index(m_dir);
    if (!index)
        return nullptr;
    m_matches = index->unreadNamesOldestFirst();
    return FindNext();
}

host::ItemPtr MaildirItems::FindNext()
{
    MaildirFolderIndex *index = m_store->index(m_dir);
    while (index && m_next < m_matches.size()) {
        const qsizetype end = m_matches.indexOf('\0', m_next);
        const QString name = QFile::decodeName(m_matches.mid(m_next, end - m_next));
        m_next = end + 1;
        // Skip what was read or removed since Find.
        const std::optional<MaildirFolderIndex::Entry> entry = index->find(name);
        if (entry && !entry->seen)
            return std::make_shared<MaildirItem>(m_store, m_dir, name);
    }
    return nullptr;
}

host::ItemPtr MaildirItems::Add()
{
    return std::make_shared<DraftItem>(m_itemType);
}

} // namespace lumora
