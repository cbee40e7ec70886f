#include "host/maildir/MaildirWatcher.h"

#include "host/maildir/ArrivalBurst.h"
#include "host/maildir/MaildirStore.h"

#include <QDir>

namespace lumora {

MaildirWatcher::MaildirWatcher(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent)
    : QObject(parent)
    , m_burst(new ArrivalBurst(QuietMs, MaxDelayMs, this))
{
    connect(m_burst, &ArrivalBurst::burst, this, &MaildirWatcher::newMail);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &MaildirWatcher::directoryChanged);
    for (const auto &store : stores) {
        if (!store || !store->isValid())
            continue;
        m_stores.append(store);
        m_watcher.addPath(store->rootPath());
        for (const QString &dir : store->folderDirs())
            watchFolder(store, dir, false);
        rootChanged(store); // picks up dot directories still being created
    }
}

MaildirWatcher::~MaildirWatcher() = default;

int MaildirWatcher::watchedCount() const
{
    return int(m_watcher.directories().size());
}

void MaildirWatcher::watchFolder(const std::shared_ptr<MaildirStore> &store, const QString &dir, bool countNewMail)
{
    MaildirFolderIndex *index = store->index(dir);
    if (!index)
        return;
    const QString path = store->folderPath(dir);
    m_folders.insert(path, {store, dir});
    m_watcher.addPaths({path + QStringLiteral("/new"), path + QStringLiteral("/cur")});
    if (countNewMail) {
        // Mail delivered into a folder created after start-up is new mail too.
        int arrived = 0;
        for (const QString &name : index->unreadOldestFirst()) {
            const MaildirFolderIndex::Entry *entry = index->find(name);
            if (entry && entry->sub == MaildirFolderIndex::New)
                ++arrived;
        }
        noteArrivals(arrived);
    }
}

void MaildirWatcher::rootChanged(const std::shared_ptr<MaildirStore> &store)
{
    const QStringList added = store->refreshFolders();
    for (const QString &dir : store->folderDirs()) {
        // Folders the host made itself (Trash, Drafts) are not "added" but need a watch too.
        if (!m_folders.contains(store->folderPath(dir)))
            watchFolder(store, dir, added.contains(dir));
    }
    // Forget folders that were removed; the watcher drops their paths by itself.
    const QString prefix = store->rootPath() + QLatin1Char('/');
    for (auto it = m_folders.begin(); it != m_folders.end();) {
        if (it->store == store && !store->hasFolder(it->dir))
            it = m_folders.erase(it);
        else
            ++it;
    }
    const QStringList dotDirs = QDir(store->rootPath()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : dotDirs) {
        const QString path = prefix + name;
        if (MaildirStore::isFolderDirName(name) && !store->hasFolder(name) && !m_pending.contains(path)) {
            m_pending.insert(path);
            m_watcher.addPath(path);
        }
    }
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const QString name = it->mid(prefix.size());
        if (it->startsWith(prefix) && (store->hasFolder(name) || !dotDirs.contains(name))) {
            m_watcher.removePath(*it);
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

void MaildirWatcher::directoryChanged(const QString &path)
{
    for (const auto &store : m_stores) {
        if (path == store->rootPath()) {
            rootChanged(store);
            return;
        }
        if (m_pending.contains(path) && path.startsWith(store->rootPath() + QLatin1Char('/'))) {
            rootChanged(store);
            return;
        }
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return;
    const auto place = m_folders.constFind(path.left(slash));
    if (place == m_folders.cend())
        return;
    MaildirFolderIndex *index = place->store->index(place->dir);
    if (!index)
        return;
    const QStringView sub = QStringView(path).mid(slash + 1);
    if (sub == QLatin1String("new"))
        noteArrivals(int(index->refresh(MaildirFolderIndex::New).size()));
    else if (sub == QLatin1String("cur"))
        index->refresh(MaildirFolderIndex::Cur);
}

void MaildirWatcher::noteArrivals(int count)
{
    if (count > 0)
        m_burst->note();
}

void MaildirWatcher::checkNow()
{
    for (const auto &store : m_stores)
        rootChanged(store);
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        if (MaildirFolderIndex *index = it->store->index(it->dir)) {
            index->refresh(MaildirFolderIndex::Cur);
            noteArrivals(int(index->refresh(MaildirFolderIndex::New).size()));
        }
    }
}

} // namespace lumora
