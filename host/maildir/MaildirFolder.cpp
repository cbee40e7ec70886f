#include "host/maildir/MaildirFolder.h"

#include "host/maildir/MaildirFolders.h"
#include "host/maildir/MaildirItems.h"
#include "host/maildir/MaildirStore.h"

namespace lumora {

MaildirFolder::MaildirFolder(std::shared_ptr<MaildirStore> store, const QString &dir, int itemType, QObject *parent)
    : host::MAPIFolder(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_itemType(itemType)
{
}

MaildirFolder::~MaildirFolder() = default;

QString MaildirFolder::virtualFolderId(int itemType)
{
    return QStringLiteral("56") + QString::number(itemType, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

int MaildirFolder::parseVirtualFolderId(const QString &id)
{
    for (int type : {host::AppointmentItemType, host::ContactItemType, host::TaskItemType, host::NoteItemType}) {
        if (id == virtualFolderId(type))
            return type;
    }
    return -1;
}

QString MaildirFolder::EntryID() const
{
    return m_itemType == host::MailItemType ? MaildirStore::folderEntryId(m_dir) : virtualFolderId(m_itemType);
}

QString MaildirFolder::StoreID() const
{
    return m_store->storeId();
}

QString MaildirFolder::Name() const
{
    switch (m_itemType) {
    case host::AppointmentItemType:
        return QStringLiteral("Calendar");
    case host::ContactItemType:
        return QStringLiteral("Contacts");
    case host::TaskItemType:
        return QStringLiteral("Tasks");
    case host::NoteItemType:
        return QStringLiteral("Notes");
    default:
        return m_store->displayName(m_dir);
    }
}

QString MaildirFolder::FolderPath() const
{
    return m_itemType == host::MailItemType ? m_store->folderPath(m_dir) : QString();
}

host::ItemsPtr MaildirFolder::items()
{
    return std::make_shared<MaildirItems>(m_store, m_dir, m_itemType);
}

host::FoldersPtr MaildirFolder::folders()
{
    QList<host::FolderPtr> children;
    if (m_itemType == host::MailItemType) {
        for (const QString &child : m_store->childDirs(m_dir))
            children.append(std::make_shared<MaildirFolder>(m_store, child));
    }
    return std::make_shared<MaildirFolders>(children);
}

} // namespace lumora
