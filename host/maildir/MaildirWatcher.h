#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

#include <memory>

class QSocketNotifier;

namespace lumora {

class ArrivalBurst;
class MaildirStore;

// Keeps the stores' indexes current from inotify and reports new mail: a file that appears
// in new/ of any folder, including folders created later. A burst of deliveries gives one
// newMail; moves from new/ to cur/ and files that vanish give none. Each event carries the
// file's name, so a delivery costs the same in a folder of ten messages or of a hundred
// thousand; folders are relisted only when the kernel's event queue overflowed. Idle, it
// sleeps.
class MaildirWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MaildirWatcher(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent = nullptr);
    ~MaildirWatcher() override;

    // Relists every watched directory now, as if each had changed.
    void checkNow();
    // What happens when the kernel dropped events: whatever is still queued is discarded,
    // every folder is relisted, and what arrived meanwhile is reported once.
    void recoverFromOverflow();
    // Number of directories under watch.
    int watchedCount() const;

    // Quiet time that ends a burst, and the longest a burst may hold newMail back.
    static constexpr int QuietMs = 300;
    static constexpr int MaxDelayMs = 2000;

Q_SIGNALS:
    void newMail();

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
    };

    // Events of one read, gathered so each folder and root is dealt with once.
    struct Batch
    {
        QSet<QString> folders; // paths of folders whose files changed
        QSet<MaildirStore *> roots; // stores whose folder list may have changed
        QHash<quint32, QString> movedFrom; // rename cookie -> folder path
        bool overflowed = false;
    };

    int addWatch(const QString &path, quint32 mask, const Watch &watch);
    void removeWatch(int wd, const QString &dir);
    void readEvents();
    void drainEvents();
    void handleEvent(quint32 wd, quint32 mask, quint32 cookie, const char *name, Batch &batch);
    void finishBatch(const Batch &batch);
    void rootChanged(const std::shared_ptr<MaildirStore> &store);
    void watchFolder(const std::shared_ptr<MaildirStore> &store, const QString &dir, bool countNewMail);
    void forgetFolder(const QString &path);
    void noteArrivals(int count);

    QList<std::shared_ptr<MaildirStore>> m_stores;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_warnedWatchLimit = false;
    QHash<int, Watch> m_watches;
    // folder path -> its store, directory name and watches
    QHash<QString, Folder> m_folders;
    // Dot directories that are not folders yet (no cur/): watched until they become one.
    QHash<QString, int> m_pending;
    ArrivalBurst *m_burst;
};

} // namespace lumora
