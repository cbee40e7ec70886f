#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>

#include <memory>

class QSocketNotifier;

namespace lumora {

class ArrivalBurst;
class MaildirStore;
class Timer;

// Keeps the stores' indexes current from inotify and reports new mail: a file that appears
// in new/ of any folder, including folders created later. A burst of deliveries gives one
// newMail; moves from new/ to cur/ and files that vanish give none. Each event carries the
// file's name, so a delivery costs the same in a folder of ten messages or of a hundred
// thousand; folders are relisted only when the kernel's event queue overflowed. Idle, it
// sleeps.
//
// A folder (or a whole store) that may not be read is a problem the user is told of: it
// is retried when its permissions change and every RetryMs while any problem stands, and
// once it can be read its messages in new/ count as new mail, so nothing is lost. A store
// (or a folder's new/ or cur/) that is deleted, moved away or replaced by a link is told
// of the same way and watched again once it is back; mail that came meanwhile is announced
// then, once.
class MaildirWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MaildirWatcher(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent = nullptr);
    ~MaildirWatcher() override;

    // Relists every watched directory now, as if each had changed, and retries the folders
    // that could not be read.
    void checkNow();
    // What happens when the kernel dropped events: whatever is still queued is discarded,
    // every folder is relisted, and what arrived meanwhile is reported once.
    void recoverFromOverflow();
    // Number of directories under watch.
    int watchedCount() const;
    // One line for each thing that keeps new mail from being noticed (a folder that cannot be
    // read or is gone, no inotify, too few watches); empty when all is well.
    QString problems() const;

    // Quiet time that ends a burst, and the longest a burst may hold newMail back.
    static constexpr int QuietMs = 300;
    static constexpr int MaxDelayMs = 2000;
    // How often folders that cannot be read are tried again (a permission change seen by
    // a watch retries at once).
    static constexpr int RetryMs = 30000;

Q_SIGNALS:
    void newMail();
    // The indexes changed (a message came, went, or had its flags changed, by whichever
    // client), so unread counts may have.
    void indexesChanged();
    // The folders that cannot be read changed (see problems()).
    void problemsChanged(const QString &text);

private:
    enum class Kind {
        Root,
        Pending,
        New,
        Cur,
        FolderDir, // a folder whose new/ or cur/ is missing: waits for it to come back
    };

    struct Watch
    {
        std::shared_ptr<MaildirStore> store;
        QString dir; // folder directory name, or the pending directory's path
        Kind kind = Kind::Root;
    };

    struct Folder
    {
        std::shared_ptr<MaildirStore> store;
        QString dir;
        int wdNew = -1;
        int wdCur = -1;
        int wdDir = -1;
        int watchError = 0; // errno of a watch refused for lack of permission
        QString missing; // "new" or "cur" when that sub-directory is not there
    };

    struct Root
    {
        int wd = -1;
        int watchError = 0;
        bool gone = false; // deleted, moved away or no directory any more
        // The directory watched, so that another one put in its place is told apart.
        quint64 device = 0;
        quint64 inode = 0;
    };

    // Events of one read, gathered so each folder and root is dealt with once.
    struct Batch
    {
        QSet<QString> folders; // paths of folders whose files changed
        QSet<MaildirStore *> roots; // stores whose folder list may have changed
        QHash<quint32, QString> movedFrom; // rename cookie -> folder path
        QSet<QString> permissions; // folders whose permissions or sub-directories may have changed
        QSet<MaildirStore *> lostRoots; // stores whose root directory went away
        QSet<QString> parentNames; // paths appearing or going beside a store root
        bool overflowed = false;
    };

    // The watch descriptor, or -1 with *failure (when given) set to the errno.
    int addWatch(const QString &path, quint32 mask, const Watch &watch, int *failure = nullptr);
    void removeWatch(int wd, const QString &dir);
    void readEvents();
    void drainEvents();
    void handleEvent(quint32 wd, quint32 mask, quint32 cookie, const char *name, Batch &batch);
    void finishBatch(const Batch &batch);
    void rootChanged(const std::shared_ptr<MaildirStore> &store);
    void watchFolder(const std::shared_ptr<MaildirStore> &store, const QString &dir, bool countNewMail);
    void forgetFolder(const QString &path);
    void noteArrivals(int count);
    // Watches and lists the folder afresh; for one whose permissions changed.
    void rewatchFolder(const QString &path);
    // Tries again every root and folder that could not be read.
    void retryUnreadable();
    // Recomputes problems() and says when it changed.
    void updateProblems();
    // The store's root went away: its watches go, and the directory holding it is watched
    // for its return.
    void storeLost(const std::shared_ptr<MaildirStore> &store);
    // Watches the store again when its root is back; false while it is not.
    bool storeBack(const std::shared_ptr<MaildirStore> &store);
    // Whether the root path still leads to the directory under watch.
    bool sameRoot(const std::shared_ptr<MaildirStore> &store) const;
    // The directories beside store roots are watched while a root is gone or is a link
    // (removing a link tells its target nothing).
    void syncParentWatches();

    QList<std::shared_ptr<MaildirStore>> m_stores;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    // Lines of problems() that no retry mends: inotify missing, the watch limit reached.
    QString m_noInotify;
    QString m_watchLimit;
    bool m_problemsStale = false;
    // problems() as last told.
    QString m_told;
    // Directories beside store roots under watch: path -> descriptor, and back.
    QHash<QString, int> m_parents;
    QHash<int, QString> m_parentPaths;
    QHash<int, Watch> m_watches;
    QHash<MaildirStore *, Root> m_roots;
    // folder or store path -> the line that tells what is wrong with it
    QMap<QString, QString> m_problems;
    std::unique_ptr<Timer> m_retry;
    // folder path -> its store, directory name and watches
    QHash<QString, Folder> m_folders;
    // Dot directories that are not folders yet (no cur/): watched until they become one.
    QHash<QString, int> m_pending;
    ArrivalBurst *m_burst;
};

} // namespace lumora
