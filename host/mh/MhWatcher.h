#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QSocketNotifier;

namespace lumora {

class MhStore;

// Watches every folder of an MH mail directory with inotify: a message written or removed,
// the sequences file rewritten, a sub-folder made or removed. Idle, it sleeps.
class MhWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MhWatcher(MhStore &store, QObject *parent = nullptr);
    ~MhWatcher() override;

    // Watches the folders there are now (after folders came or went); false with problem().
    bool sync();
    QString problem() const { return m_problem; }

Q_SIGNALS:
    // These folders changed; folders came or went when structure is true.
    void changed(const QStringList &dirs, bool structure);

private:
    void readEvents();

    MhStore &m_store;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QHash<int, QString> m_dirs; // watch descriptor -> folder ("" for the root)
    QString m_problem;
};

} // namespace lumora
