#include "host/maildir/MaildirWatcher.h"

#include "host/common/ArrivalBurst.h"
#include "host/maildir/MaildirStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

// new/ and cur/: every way a message file appears or goes, their permissions changing, and
// the directory itself going away.
constexpr quint32 kFolderMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// The store root: folders (and the Inbox's new/ and cur/) appearing or going (files there,
// such as index files, are ignored), their permissions changing, and the root going away.
constexpr quint32 kRootMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// A dot directory being made into a folder: waits for its cur/. A folder that lost its new/
// or cur/ waits the same way for it to come back.
constexpr quint32 kPendingMask = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;
// The directory holding a store root that is gone or a link: names there appearing or going.
// Added to whatever else watches that directory, never replacing it.
constexpr quint32 kParentMask = IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR | IN_MASK_ADD;

constexpr size_t kReadBufferSize = 64 * 1024;

// One read of the event queue, retried when a signal interrupts it; 0 once it is empty.
ssize_t readQueue(int fd, char *buffer, size_t size)
{
    while (true) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 ? n : 0;
    }
}

bool isAccessError(int error)
{
    return error == EACCES || error == EPERM;
}

bool isMissing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool directoryId(const QString &path, quint64 *device, quint64 *inode)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    *device = st.st_dev;
    *inode = st.st_ino;
    return true;
}

} // namespace

MaildirWatcher::MaildirWatcher(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent)
    : QObject(parent)
    , m_retry(Clock::instance().createTimer())
    , m_burst(new ArrivalBurst(QuietMs, MaxDelayMs, this))
{
    connect(m_burst, &ArrivalBurst::burst, this, &MaildirWatcher::newMail);
    connect(m_retry.get(), &Timer::tick, this, [this] {
        retryUnreadable();
        updateProblems();
    });
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) {
        m_noInotify =
            QCoreApplication::translate(
                "MaildirWatcher", "The mail folders cannot be watched (inotify: %1); new mail will not be noticed.")
                .arg(systemError(errno));
    } else {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &MaildirWatcher::readEvents);
    }
    for (const auto &store : stores) {
        if (!store || !store->isValid())
            continue;
        m_stores.append(store);
        Root root;
        int error = 0;
        root.wd = addWatch(store->rootPath(), kRootMask, {store, QString(), Kind::Root}, &error);
        root.watchError = isAccessError(error) ? error : 0;
        directoryId(store->rootPath(), &root.device, &root.inode);
        m_roots.insert(store.get(), root);
        for (const QString &dir : store->folderDirs())
            watchFolder(store, dir, false);
        rootChanged(store); // picks up dot directories still being created
    }
    syncParentWatches();
    updateProblems();
}

MaildirWatcher::~MaildirWatcher()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

int MaildirWatcher::watchedCount() const
{
    return int(m_watches.size());
}

QString MaildirWatcher::problems() const
{
    QStringList lines;
    if (!m_noInotify.isEmpty())
        lines.append(m_noInotify);
    if (!m_watchLimit.isEmpty())
        lines.append(m_watchLimit);
    lines.append(m_problems.values());
    return lines.join(QLatin1Char('\n'));
}

int MaildirWatcher::addWatch(const QString &path, quint32 mask, const Watch &watch, int *failure)
{
    if (failure)
        *failure = 0;
    if (m_fd < 0)
        return -1;
    const int wd = inotify_add_watch(m_fd, QFile::encodeName(path).constData(), mask);
    if (wd < 0) {
        const int error = errno;
        if (failure)
            *failure = error;
        if ((error == ENOSPC || error == ENOMEM) && m_watchLimit.isEmpty()) {
            m_watchLimit = QStringLiteral("%1 cannot be watched: the limit of inotify watches is reached (raise "
                                          "fs.inotify.max_user_watches); new mail there will not be noticed.")
                               .arg(path);
            m_problemsStale = true;
        }
        return -1;
    }
    m_watches.insert(wd, watch);
    return wd;
}

void MaildirWatcher::removeWatch(int wd, const QString &dir)
{
    const auto it = m_watches.constFind(wd);
    // Two folder names may lead to one directory and share its watch: only its owner drops it.
    if (wd < 0 || it == m_watches.cend() || it->dir != dir)
        return;
    inotify_rm_watch(m_fd, wd);
    m_watches.erase(it);
}

void MaildirWatcher::watchFolder(const std::shared_ptr<MaildirStore> &store, const QString &dir, bool countNewMail)
{
    const QString path = store->folderPath(dir);
    if (!store->hasFolder(dir) || m_roots.value(store.get()).gone)
        return;
    // Watch first, then list: a delivery in between shows up in the listing, the event, or both.
    Folder folder;
    folder.store = store;
    folder.dir = dir;
    int newError = 0;
    int curError = 0;
    folder.wdNew = addWatch(path + QStringLiteral("/new"), kFolderMask, {store, dir, Kind::New}, &newError);
    folder.wdCur = addWatch(path + QStringLiteral("/cur"), kFolderMask, {store, dir, Kind::Cur}, &curError);
    folder.watchError = isAccessError(newError) ? newError : (isAccessError(curError) ? curError : 0);
    if (isMissing(newError) || isMissing(curError)) {
        folder.missing = isMissing(newError) ? QStringLiteral("new") : QStringLiteral("cur");
        // The Inbox's new/ and cur/ lie in the root, whose watch sees them come back.
        if (!dir.isEmpty())
            folder.wdDir = addWatch(path, kPendingMask, {store, dir, Kind::FolderDir});
    }
    m_folders.insert(path, folder);

    MaildirFolderIndex *index = store->loadedIndex(dir);
    if (index)
        index->refreshAll(); // listed before its watch began: catch up
    else
        index = store->index(dir);
    if (!index)
        return;
    int arrived = index->takeArrivals();
    if (countNewMail)
        arrived = index->countIn(MaildirFolderIndex::New); // a folder made after start-up: all of new/ is new
    noteArrivals(arrived);
}

void MaildirWatcher::forgetFolder(const QString &path)
{
    const Folder folder = m_folders.take(path);
    removeWatch(folder.wdNew, folder.dir);
    removeWatch(folder.wdCur, folder.dir);
    removeWatch(folder.wdDir, folder.dir);
}

void MaildirWatcher::rewatchFolder(const QString &path)
{
    const auto it = m_folders.constFind(path);
    if (it == m_folders.cend() || m_roots.value(it->store.get()).gone)
        return;
    const std::shared_ptr<MaildirStore> store = it->store;
    const QString dir = it->dir;
    forgetFolder(path);
    watchFolder(store, dir, false);
}

void MaildirWatcher::retryUnreadable()
{
    for (const auto &store : std::as_const(m_stores)) {
        if (!m_roots.value(store.get()).gone && !sameRoot(store))
            storeLost(store);
        Root &root = m_roots[store.get()];
        if (root.gone) {
            storeBack(store);
            continue;
        }
        if (root.wd < 0 && root.watchError) {
            int error = 0;
            root.wd = addWatch(store->rootPath(), kRootMask, {store, QString(), Kind::Root}, &error);
            root.watchError = isAccessError(error) ? error : 0;
        }
        rootChanged(store);
    }
    QStringList unreadable;
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        const MaildirFolderIndex *index = it->store->loadedIndex(it->dir);
        if (it->watchError || !it->missing.isEmpty() || (index && isAccessError(index->listError())))
            unreadable.append(it.key());
    }
    for (const QString &path : std::as_const(unreadable))
        rewatchFolder(path);
    syncParentWatches();
}

bool MaildirWatcher::sameRoot(const std::shared_ptr<MaildirStore> &store) const
{
    const Root root = m_roots.value(store.get());
    quint64 device = 0;
    quint64 inode = 0;
    return directoryId(store->rootPath(), &device, &inode) && device == root.device && inode == root.inode;
}

void MaildirWatcher::storeLost(const std::shared_ptr<MaildirStore> &store)
{
    Root &root = m_roots[store.get()];
    if (root.gone)
        return;
    root.gone = true;
    removeWatch(root.wd, QString());
    root.wd = -1;
    root.watchError = 0;
    // The folders stay known, with what their indexes hold, so that the mail still there
    // when the store comes back is not announced again; only their watches go, as a
    // store moved away would go on reporting from where it went.
    for (auto it = m_folders.begin(); it != m_folders.end(); ++it) {
        if (it->store != store)
            continue;
        removeWatch(it->wdNew, it->dir);
        removeWatch(it->wdCur, it->dir);
        removeWatch(it->wdDir, it->dir);
        it->wdNew = it->wdCur = it->wdDir = -1;
        it->watchError = 0;
        it->missing.clear();
    }
    const QString prefix = store->rootPath() + QLatin1Char('/');
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it.key().startsWith(prefix)) {
            removeWatch(it.value(), it.key());
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
    Verbose::line(QStringLiteral("the mail store %1 is gone; waiting for it to come back").arg(store->rootPath()));
    m_problemsStale = true;
    syncParentWatches();
}

bool MaildirWatcher::storeBack(const std::shared_ptr<MaildirStore> &store)
{
    if (!store->reopen())
        return false;
    Root &root = m_roots[store.get()];
    root.gone = false;
    int error = 0;
    root.wd = addWatch(store->rootPath(), kRootMask, {store, QString(), Kind::Root}, &error);
    root.watchError = isAccessError(error) ? error : 0;
    directoryId(store->rootPath(), &root.device, &root.inode);
    Verbose::line(QStringLiteral("the mail store %1 is back; watching it again").arg(store->rootPath()));

    QStringList known;
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        if (it->store == store)
            known.append(it.key());
    }
    // Folders that appeared meanwhile are new (all their new/ is new mail), those that went
    // are dropped; the others are listed again, and only what is new in them is announced.
    rootChanged(store);
    for (const QString &path : std::as_const(known)) {
        if (m_folders.contains(path))
            rewatchFolder(path);
    }
    m_problemsStale = true;
    syncParentWatches();
    return true;
}

void MaildirWatcher::syncParentWatches()
{
    QSet<QString> wanted;
    for (const auto &store : std::as_const(m_stores)) {
        const QFileInfo root(store->rootPath());
        if (m_roots.value(store.get()).gone || root.isSymLink())
            wanted.insert(root.absolutePath());
    }
    for (auto it = m_parents.begin(); it != m_parents.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        // A directory watched for another reason too shares the descriptor: that watch stays.
        if (!m_watches.contains(it.value()))
            inotify_rm_watch(m_fd, it.value());
        m_parentPaths.remove(it.value());
        it = m_parents.erase(it);
    }
    if (m_fd < 0)
        return;
    for (const QString &path : std::as_const(wanted)) {
        if (m_parents.contains(path))
            continue;
        const int wd = inotify_add_watch(m_fd, QFile::encodeName(path).constData(), kParentMask);
        if (wd < 0)
            continue; // the retry looks again meanwhile
        m_parents.insert(path, wd);
        m_parentPaths.insert(wd, path);
    }
}

void MaildirWatcher::updateProblems()
{
    QMap<QString, QString> now;
    const auto note = [&now](const QString &path, int error) {
        if (isAccessError(error) && !now.contains(path))
            now.insert(path,
                       QCoreApplication::translate("MaildirWatcher",
                                                   "The mail folder %1 cannot be read: %2. Its new mail "
                                                   "is announced once it can be read.")
                           .arg(path, systemError(error)));
    };
    for (const auto &store : std::as_const(m_stores)) {
        if (m_roots.value(store.get()).gone) {
            now.insert(store->rootPath(),
                       QCoreApplication::translate("MaildirWatcher",
                                                   "The mail store %1 is gone (deleted, moved away or no directory any "
                                                   "more). It is watched again as soon as it is back, and the mail "
                                                   "waiting in it is announced then.")
                           .arg(store->rootPath()));
            continue;
        }
        note(store->rootPath(), m_roots.value(store.get()).watchError);
        note(store->rootPath(), store->listError());
    }
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        if (m_roots.value(it->store.get()).gone)
            continue;
        note(it.key(), it->watchError);
        if (const MaildirFolderIndex *index = it->store->loadedIndex(it->dir))
            note(it.key(), index->listError());
        if (!it->missing.isEmpty() && !now.contains(it.key()))
            now.insert(it.key(),
                       QCoreApplication::translate("MaildirWatcher",
                                                   "The mail folder %1 has no %2/ directory (deleted or "
                                                   "moved away). It is watched again as soon as %2/ is "
                                                   "back.")
                           .arg(it.key(), it->missing));
    }
    m_problemsStale = false;
    if (now.isEmpty())
        m_retry->setEnabled(false);
    else if (!m_retry->isEnabled())
        m_retry->restart(RetryMs);
    m_problems = now;
    const QString text = problems();
    if (text == m_told)
        return;
    m_told = text;
    Q_EMIT problemsChanged(text);
}

void MaildirWatcher::rootChanged(const std::shared_ptr<MaildirStore> &store)
{
    if (m_roots.value(store.get()).gone)
        return;
    const bool wasUnreadable = isAccessError(store->listError());
    const QStringList added = store->refreshFolders();
    if (wasUnreadable && !store->listError()) {
        // While the root was closed its folders' files could not be looked at, though their
        // watches went on: list them all again.
        QStringList known;
        for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
            if (it->store == store)
                known.append(it.key());
        }
        for (const QString &path : std::as_const(known))
            rewatchFolder(path);
    }
    for (const QString &dir : store->folderDirs()) {
        // Folders the host made itself (Trash, Drafts) are not "added" but need a watch too.
        if (!m_folders.contains(store->folderPath(dir)))
            watchFolder(store, dir, added.contains(dir));
    }
    QStringList removed;
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        if (it->store == store && !store->hasFolder(it->dir))
            removed.append(it.key());
    }
    for (const QString &path : std::as_const(removed))
        forgetFolder(path);

    const QString prefix = store->rootPath() + QLatin1Char('/');
    const QStringList dotDirs = QDir(store->rootPath()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : dotDirs) {
        const QString path = prefix + name;
        if (MaildirStore::isFolderDirName(name) && !store->hasFolder(name) && !m_pending.contains(path)) {
            const int wd = addWatch(path, kPendingMask, {store, path, Kind::Pending});
            if (wd >= 0)
                m_pending.insert(path, wd);
        }
    }
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const QString name = it.key().mid(prefix.size());
        if (it.key().startsWith(prefix) && (store->hasFolder(name) || !dotDirs.contains(name))) {
            removeWatch(it.value(), it.key());
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

void MaildirWatcher::handleEvent(quint32 wd, quint32 mask, quint32 cookie, const char *name, Batch &batch)
{
    const auto it = m_watches.constFind(int(wd));
    if (it == m_watches.cend())
        return;
    const Watch watch = *it;
    if (mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
        // The directory is gone, or moved where its events mean nothing to us.
        if (mask & IN_IGNORED)
            m_watches.remove(int(wd));
        switch (watch.kind) {
        case Kind::Pending:
            if (mask & IN_IGNORED)
                m_pending.remove(watch.dir);
            break;
        case Kind::Root:
            batch.lostRoots.insert(watch.store.get());
            break;
        case Kind::New:
        case Kind::Cur:
        case Kind::FolderDir:
            // Watched afresh: a folder that is gone as a whole goes with the root's change.
            batch.permissions.insert(watch.store->folderPath(watch.dir));
            break;
        }
        return;
    }
    const QByteArrayView fileName(name, qsizetype(std::strlen(name)));
    if (mask & IN_ATTRIB) {
        // Permissions (or other attributes) of a folder, the Inbox's new/ or cur/, or the
        // root itself changed: the folder may have become readable, or unreadable.
        const QString root = watch.store->rootPath();
        if (watch.kind == Kind::New || watch.kind == Kind::Cur) {
            if (fileName.isEmpty())
                batch.permissions.insert(watch.store->folderPath(watch.dir));
        } else if (watch.kind == Kind::Root) {
            const QString entry = QFile::decodeName(fileName.toByteArray());
            if (entry.isEmpty() || entry == QLatin1String("new") || entry == QLatin1String("cur"))
                batch.permissions.insert(root);
            if (entry.isEmpty() || MaildirStore::isFolderDirName(entry)) {
                batch.roots.insert(watch.store.get());
                if (!entry.isEmpty())
                    batch.permissions.insert(root + QLatin1Char('/') + entry);
            }
        }
        return;
    }
    switch (watch.kind) {
    case Kind::Root:
        if ((mask & IN_ISDIR) && (fileName == "new" || fileName == "cur"))
            batch.permissions.insert(watch.store->rootPath());
        if ((mask & IN_ISDIR) && MaildirStore::isFolderDirName(QFile::decodeName(fileName.toByteArray())))
            batch.roots.insert(watch.store.get());
        return;
    case Kind::FolderDir:
        if ((mask & IN_ISDIR) && (fileName == "new" || fileName == "cur"))
            batch.permissions.insert(watch.store->folderPath(watch.dir));
        return;
    case Kind::Pending:
        if ((mask & IN_ISDIR) && fileName == "cur")
            batch.roots.insert(watch.store.get());
        return;
    case Kind::New:
    case Kind::Cur:
        break;
    }
    if (mask & IN_ISDIR)
        return;
    MaildirFolderIndex *index = watch.store->loadedIndex(watch.dir);
    if (!index)
        return;
    const auto sub = watch.kind == Kind::New ? MaildirFolderIndex::New : MaildirFolderIndex::Cur;
    const QString folderPath = index->folderPath();
    if (mask & (IN_DELETE | IN_MOVED_FROM)) {
        index->fileRemoved(sub, fileName);
        if (mask & IN_MOVED_FROM)
            batch.movedFrom.insert(cookie, folderPath);
    } else if (mask & (IN_CREATE | IN_MOVED_TO)) {
        // A message moved between this folder's new/ and cur/ (either way) is not new mail.
        const bool withinFolder = (mask & IN_MOVED_TO) && batch.movedFrom.value(cookie) == folderPath;
        index->fileAdded(sub, fileName, withinFolder);
    }
    batch.folders.insert(folderPath);
}

void MaildirWatcher::readEvents()
{
    Batch batch;
    alignas(inotify_event) char buffer[kReadBufferSize];
    while (const ssize_t n = readQueue(m_fd, buffer, sizeof buffer)) {
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            if (at + ssize_t(sizeof event) + ssize_t(event.len) > n)
                break; // the kernel never splits an event; this is only a guard
            const char *name = buffer + at + sizeof event;
            at += ssize_t(sizeof event) + ssize_t(event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                batch.overflowed = true;
                continue;
            }
            const auto parent = m_parentPaths.constFind(event.wd);
            if (parent != m_parentPaths.cend()) {
                if (event.mask & IN_IGNORED) {
                    m_parents.remove(*parent);
                    m_parentPaths.erase(parent);
                } else if (event.len) {
                    batch.parentNames.insert(*parent + QLatin1Char('/') + QFile::decodeName(QByteArray(name)));
                }
            }
            // The kernel pads names with NULs; an event without a name is about the directory itself.
            handleEvent(quint32(event.wd), event.mask, event.cookie, event.len ? name : "", batch);
        }
    }
    if (batch.overflowed) {
        recoverFromOverflow();
        return;
    }
    finishBatch(batch);
}

void MaildirWatcher::finishBatch(const Batch &batch)
{
    bool storesChanged = false;
    for (const auto &store : std::as_const(m_stores)) {
        const bool beside = batch.parentNames.contains(store->rootPath());
        // A link beside the root replaced, or the root itself gone: watched afresh where it
        // leads now, if anywhere.
        if (batch.lostRoots.contains(store.get()) || (beside && !sameRoot(store))) {
            storeLost(store);
            storesChanged = true;
        }
        if (m_roots.value(store.get()).gone && (beside || batch.lostRoots.contains(store.get())))
            storesChanged = storeBack(store) || storesChanged;
    }
    for (const auto &store : std::as_const(m_stores)) {
        if (batch.roots.contains(store.get()))
            rootChanged(store);
    }
    for (const QString &path : batch.permissions)
        rewatchFolder(path);
    if (storesChanged || m_problemsStale || !batch.permissions.isEmpty() || !batch.roots.isEmpty())
        updateProblems();
    int arrived = 0;
    for (const QString &path : batch.folders) {
        const auto folder = m_folders.constFind(path);
        if (folder == m_folders.cend())
            continue;
        if (MaildirFolderIndex *index = folder->store->loadedIndex(folder->dir))
            arrived += index->takeArrivals();
    }
    noteArrivals(arrived);
    if (!batch.folders.isEmpty() || storesChanged || !batch.permissions.isEmpty() || !batch.roots.isEmpty())
        Q_EMIT indexesChanged();
}

void MaildirWatcher::drainEvents()
{
    char buffer[4096];
    while (m_fd >= 0 && readQueue(m_fd, buffer, sizeof buffer) > 0) {
    }
}

void MaildirWatcher::recoverFromOverflow()
{
    // The relisting below sees every change the dropped events described, and later events
    // for names already listed change nothing.
    drainEvents();
    Verbose::line(QStringLiteral("mail folder events were lost; relisting the watched folders"));
    checkNow();
}

void MaildirWatcher::noteArrivals(int count)
{
    if (count > 0)
        m_burst->note();
}

void MaildirWatcher::checkNow()
{
    retryUnreadable();
    int arrived = 0;
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        if (MaildirFolderIndex *index = it->store->index(it->dir)) {
            index->refreshAll();
            arrived += index->takeArrivals();
        }
    }
    noteArrivals(arrived);
    updateProblems();
    Q_EMIT indexesChanged();
}

} // namespace lumora
