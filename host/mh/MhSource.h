#pragma once

#include "host/common/MailSource.h"

#include <QMap>
#include <memory>

namespace lumora {

class ArrivalBurst;
class MhStore;
class MhWatcher;
class Timer;

// An MH mail directory as a source: its folders, unread from the unseen sequence, new mail
// when a message joins that sequence (inc adds it there after writing the file).
class MhSource : public MailSource
{
    Q_OBJECT
public:
    explicit MhSource(const QString &root, QObject *parent = nullptr);
    ~MhSource() override;

    QString storeId() const override;
    QString description() const override;
    bool isValid() const override;

    host::FolderPtr topFolder() override;
    host::FolderPtr defaultFolder(int kind) override;
    host::FolderPtr folderFromId(const QString &entryId) override;
    host::ItemPtr itemFromId(const QString &entryId) override;

    void checkNow() override;
    // An unseen message in any folder.
    bool holdsWaitingMail() const override;
    QString problems() const override;
    void setDisplayCommand(const QString &command) override;

    const std::shared_ptr<MhStore> &store() const { return m_store; }

    // How often folders that cannot be read or watched are tried again.
    static constexpr int RetryMs = 30000;

private:
    void refresh(const QStringList &dirs);

    std::shared_ptr<MhStore> m_store;
    MhWatcher *m_watcher = nullptr;
    ArrivalBurst *m_burst = nullptr;
    std::unique_ptr<Timer> m_retry;
    QMap<QString, QString> m_problems; // folder -> why it cannot be read
    QString m_told;
};

} // namespace lumora
