#include "host/common/MailNameSpace.h"

#include "host/common/FolderList.h"
#include "host/common/MailSource.h"

namespace lumora {

MailSource::~MailSource() = default;

int MailSource::knownUnread(const QString &entryId)
{
    const host::ItemPtr item = itemFromId(entryId);
    return item ? (item->UnRead() ? 1 : 0) : -1;
}

MailNameSpace::~MailNameSpace() = default;

void MailNameSpace::setSources(const QList<MailSource *> &sources)
{
    m_sources.clear();
    for (MailSource *source : sources)
        m_sources.append(source);
}

MailSource *MailNameSpace::sourceById(const QString &storeId) const
{
    for (const auto &source : m_sources) {
        if (source && source->storeId() == storeId)
            return source;
    }
    return nullptr;
}

host::FolderPtr MailNameSpace::GetDefaultFolder(int kind)
{
    for (const auto &source : m_sources) {
        if (source)
            return source->defaultFolder(kind);
    }
    return nullptr;
}

host::FolderPtr MailNameSpace::GetFolderFromID(const QString &entryId, const QString &storeId)
{
    MailSource *source = sourceById(storeId);
    return source ? source->folderFromId(entryId) : nullptr;
}

host::ItemPtr MailNameSpace::GetItemFromID(const QString &entryId, const QString &storeId)
{
    MailSource *source = sourceById(storeId);
    return source ? source->itemFromId(entryId) : nullptr;
}

int MailNameSpace::KnownUnread(const QString &entryId, const QString &storeId)
{
    MailSource *source = sourceById(storeId);
    return source ? source->knownUnread(entryId) : -1;
}

host::FoldersPtr MailNameSpace::folders()
{
    QList<host::FolderPtr> tops;
    for (const auto &source : m_sources) {
        if (!source)
            continue;
        if (host::FolderPtr top = source->topFolder())
            tops.append(top);
    }
    return std::make_shared<FolderList>(tops);
}

} // namespace lumora
