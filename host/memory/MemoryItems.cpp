#include "host/memory/MemoryItems.h"

#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryFolder.h"

namespace lumora {

namespace {

// The only filter the store understands; spacing and case are free as in the object model.
bool isUnreadFilter(const QString &filter)
{
    QString compact;
    for (QChar c : filter) {
        if (!c.isSpace())
            compact.append(c.toLower());
    }
    return compact == QLatin1String("[unread]=true");
}

} // namespace

MemoryItems::MemoryItems(const std::shared_ptr<MemoryFolder> &folder)
    : m_folder(folder)
{
}

MemoryItems::~MemoryItems() = default;

int MemoryItems::Count() const
{
    return int(m_folder->heldItems().size());
}

host::ItemPtr MemoryItems::Find(const QString &filter)
{
    m_searching = isUnreadFilter(filter);
    m_lastSequence = 0;
    return m_searching ? nextMatch() : host::ItemPtr();
}

host::ItemPtr MemoryItems::FindNext()
{
    return m_searching ? nextMatch() : host::ItemPtr();
}

host::ItemPtr MemoryItems::nextMatch()
{
    // Matches on the stored flag: a store finds an item even when its properties cannot be read.
    for (const MemoryItemPtr &item : m_folder->heldItems()) {
        if (item->sequence() > m_lastSequence && item->data().unread) {
            m_lastSequence = item->sequence();
            return item;
        }
    }
    m_searching = false;
    return {};
}

host::ItemPtr MemoryItems::Add()
{
    MemoryApplication *app = m_folder->application();
    if (!app)
        return {};
    return app->createUnsavedItem(m_folder->DefaultItemType(), m_folder);
}

} // namespace lumora
