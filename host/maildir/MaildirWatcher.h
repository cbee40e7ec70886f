#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

#include <memory>

namespace lumora {

class ArrivalBurst;
class MaildirStore;

// Keeps the stores' indexes current from inotify and reports new mail: a file that appears
// in new/ of any folder, including folders created later. A burst of deliveries gives one
// newMail; moves from new/ to cur/ and files that vanish give none. Idle, it sleeps.
class MaildirWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MaildirWatcher(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent = nullptr);
    ~MaildirWatcher() override;

    // Relists every watched directory now, as if each had changed.
    void checkNow();
    // Number of directories under watch.
    int watchedCount() const;

    // Quiet time that ends a burst, and the longest a burst may hold newMail back.
    static constexpr int QuietMs = 300;
    static constexpr int MaxDelayMs = 2000;

Q_SIGNALS:
    void newMail();

private:
    struct Place
    {
        std::shared_ptr<MaildirStore> store;
        QString dir;
    };

    void directoryChanged(const QString &path);
    void rootChanged(const std::shared_ptr<MaildirStore> &store);
    void watchFolder(const std::shared_ptr<MaildirStore> &store, const QString &dir, bool countNewMail);
    void noteArrivals(int count);

    QList<std::shared_ptr<MaildirStore>> m_stores;
    QFileSystemWatcher m_watcher;
    // folder path -> its store and folder directory name
    QHash<QString, Place> m_folders;
    // Dot directories that are not folders yet (no cur/): watched until they become one.
    QSet<QString> m_pending;
    ArrivalBurst *m_burst;
};

} // namespace lumora
