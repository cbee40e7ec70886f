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
// once it can be read its messages in new/ count as new mail, so nothing is lost.
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
    // One line for each folder that cannot be read, saying which and why; empty when all can.
    QString problems() const;

    // Quiet time that ends a burst, and the longest a burst may hold newMail back.
    static constexpr int QuietMs = 300;
    static constexpr int MaxDelayMs = 2000;
    // How often folders that cannot be read are tried again (a permission change seen by
    // a watch retries at once).
    static constexpr int RetryMs = 30000;

Q_SIGNALS:
    void newMail();
    // The folders that cannot be read changed (see problems()).
    void problemsChanged(const QString &text);

private:
    enum class Kind {
        Root,
        Pending,
        New,
        Cur
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
        int watchError = 0; // errno of a watch refused for lack of permission
    };

    struct Root
    {
        int wd = -1;
        int watchError = 0;
    };

    // Events of one read, gathered so each folder and root is dealt with once.
    struct Batch
    {
        QSet<QString> folders; // paths of folders whose files changed
        QSet<MaildirStore *> roots; // stores whose folder list may have changed
        QHash<quint32, QString> movedFrom; // rename cookie -> folder path
        QSet<QString> permissions; // folders whose permissions may have changed
        bool overflowed = false;
    };

    // The watch descriptor, or -1; *accessError is set to the errno of a refusal for lack of
    // permission (other failures leave it 0).
    int addWatch(const QString &path, quint32 mask, const Watch &watch, int *accessError = nullptr);
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

    QList<std::shared_ptr<MaildirStore>> m_stores;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_warnedWatchLimit = false;
    QHash<int, Watch> m_watches;
    QHash<MaildirStore *, Root> m_roots;
    // folder path -> why it cannot be read
    QMap<QString, QString> m_problems;
    std::unique_ptr<Timer> m_retry;
    // folder path -> its store, directory name and watches
    QHash<QString, Folder> m_folders;
    // Dot directories that are not folders yet (no cur/): watched until they become one.
    QHash<QString, int> m_pending;
    ArrivalBurst *m_burst;
};

} // namespace lumora
