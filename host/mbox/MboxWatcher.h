#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace lumora {

// Tells, through inotify, when an mbox file may have changed: written to, replaced by a
// rename, created, removed, or its dot-lock released. The file itself and its folder are
// watched (the folder only for names coming and going), so a spool that does not exist
// yet is noticed when the first delivery creates it. Idle, it sleeps.
class MboxWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MboxWatcher(const QString &path, QObject *parent = nullptr);
    ~MboxWatcher() override;

    // Sets the watches up again (after a problem); false when they cannot be, see problem().
    bool rewatch();
    // Why changes cannot be seen; empty when they can.
    QString problem() const { return m_problem; }

Q_SIGNALS:
    void changed();

private:
    void readEvents();
    void watchFile();

    QString m_path;
    QByteArray m_name; // the file's name in its folder, and of its dot-lock
    QByteArray m_lockName;
    int m_fd = -1;
    int m_dirWd = -1;
    int m_fileWd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QString m_problem;
};

} // namespace lumora
