#pragma once

#include "host/common/MailSource.h"

#include <memory>

namespace lumora {

class ArrivalBurst;
class MboxStore;
class MboxWatcher;
class Timer;

// One mbox file (a spool such as /var/mail/user, or a client's mbox) as a source with a
// single folder. New mail comes from inotify and is read from the file's old end on; the
// file is never written.
class MboxSource : public MailSource
{
    Q_OBJECT
public:
    explicit MboxSource(const QString &path, QObject *parent = nullptr);
    ~MboxSource() override;

    QString storeId() const override;
    QString description() const override;

    host::FolderPtr topFolder() override;
    host::FolderPtr defaultFolder(int kind) override;
    host::FolderPtr folderFromId(const QString &entryId) override;
    host::ItemPtr itemFromId(const QString &entryId) override;

    void checkNow() override;
    // A message no client has seen arrive (no O in its Status).
    bool holdsWaitingMail() const override;
    QString problems() const override;
    void setDisplayCommand(const QString &command) override;

    const std::shared_ptr<MboxStore> &store() const { return m_store; }

    // How long a delivery that holds the file is waited for before looking again.
    static constexpr int BusyRetryMs = 1000;
    // How often a file that cannot be read or watched is tried again.
    static constexpr int RetryMs = 30000;

private:
    void refresh();
    void setProblem(const QString &text);

    std::shared_ptr<MboxStore> m_store;
    MboxWatcher *m_watcher = nullptr;
    ArrivalBurst *m_burst = nullptr;
    std::unique_ptr<Timer> m_retry;
    QString m_problem;
};

} // namespace lumora
