#include "host/maildir/MaildirSource.h"

#include "host/common/VirtualFolder.h"
#include "host/maildir/MaildirFolder.h"
#include "host/maildir/MaildirItem.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"

#include <QDirIterator>
#include <QFileInfo>

namespace lumora {

MaildirSource::MaildirSource(const QString &rootPath, QObject *parent)
    : MailSource(parent)
    , m_store(std::make_shared<MaildirStore>(rootPath))
{
    if (!m_store->isValid())
        return;
    m_watcher = new MaildirWatcher({m_store}, this);
    connect(m_watcher, &MaildirWatcher::newMail, this, &MailSource::newMail);
    connect(m_watcher, &MaildirWatcher::problemsChanged, this, &MailSource::problemsChanged);
    connect(m_watcher, &MaildirWatcher::indexesChanged, this, &MailSource::unreadChanged);
}

MaildirSource::~MaildirSource() = default;

QString MaildirSource::storeId() const
{
    return m_store->storeId();
}

QString MaildirSource::description() const
{
    return QStringLiteral("Maildir store %1").arg(m_store->rootPath());
}

bool MaildirSource::isValid() const
{
    return m_store->isValid();
}

host::FolderPtr MaildirSource::topFolder()
{
    return std::make_shared<MaildirFolder>(m_store, QString());
}

host::FolderPtr MaildirSource::defaultFolder(int kind)
{
    switch (kind) {
    case host::FolderInbox:
        return topFolder();
    case host::FolderDrafts:
    case host::FolderDeletedItems: {
        const QString dir = kind == host::FolderDrafts ? MaildirStore::draftsDir() : MaildirStore::trashDir();
        if (!m_store->ensureFolder(dir))
            return nullptr;
        return std::make_shared<MaildirFolder>(m_store, dir);
    }
    case host::FolderCalendar:
        return std::make_shared<MaildirFolder>(m_store, QString(), host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<MaildirFolder>(m_store, QString(), host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<MaildirFolder>(m_store, QString(), host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<MaildirFolder>(m_store, QString(), host::TaskItemType);
    default:
        return nullptr;
    }
}

host::FolderPtr MaildirSource::folderFromId(const QString &entryId)
{
    const int virtualType = VirtualFolder::parseEntryId(entryId);
    if (virtualType >= 0)
        return std::make_shared<MaildirFolder>(m_store, QString(), virtualType);
    QString dir;
    if (!MaildirStore::parseFolderEntryId(entryId, &dir))
        return nullptr;
    // The watcher may not have seen a folder appear or go yet.
    if (!m_store->hasFolder(dir) || !QFileInfo(m_store->folderPath(dir) + QStringLiteral("/cur")).isDir())
        m_store->refreshFolders();
    if (!m_store->hasFolder(dir))
        return nullptr;
    return std::make_shared<MaildirFolder>(m_store, dir);
}

host::ItemPtr MaildirSource::itemFromId(const QString &entryId)
{
    QString dir;
    QString uniqueName;
    if (!MaildirStore::parseItemEntryId(entryId, &dir, &uniqueName))
        return nullptr;
    MaildirFolderIndex *index = m_store->index(dir);
    if (!index)
        return nullptr;
    if (!index->contains(uniqueName))
        index->refreshAll();
    if (!index->contains(uniqueName))
        return nullptr;
    return std::make_shared<MaildirItem>(m_store, dir, uniqueName);
}

void MaildirSource::checkNow()
{
    if (m_watcher)
        m_watcher->checkNow();
}

bool MaildirSource::holdsWaitingMail() const
{
    for (const QString &dir : m_store->folderDirs()) {
        QDirIterator it(m_store->folderPath(dir) + QStringLiteral("/new"), QDir::Files | QDir::Hidden);
        if (it.hasNext())
            return true;
    }
    return false;
}

QString MaildirSource::problems() const
{
    return m_watcher ? m_watcher->problems() : QString();
}

void MaildirSource::setDisplayCommand(const QString &command)
{
    m_store->setDisplayCommand(command);
}

} // namespace lumora
