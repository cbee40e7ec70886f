#pragma once

#include "host/common/MailSource.h"

#include <memory>

namespace lumora {

class ImapAccount;
class ImapWatcher;
struct ImapAccountConfig;

// One IMAP account as a source: its mailboxes as folders, new mail from IDLE (or NOTIFY,
// or a STATUS round where the server offers neither).
class ImapSource : public MailSource
{
    Q_OBJECT
public:
    explicit ImapSource(const ImapAccountConfig &config, QObject *parent = nullptr);
    ~ImapSource() override;

    QString storeId() const override;
    QString description() const override;

    host::FolderPtr topFolder() override;
    host::FolderPtr defaultFolder(int kind) override;
    host::FolderPtr folderFromId(const QString &entryId) override;
    host::ItemPtr itemFromId(const QString &entryId) override;
    // From what the watching sessions last heard: never a round trip to the server.
    int knownUnread(const QString &entryId) override;

    // Lists the mailboxes and starts watching them (the password must be set).
    void start() override;
    // Reopens every session that is not up, those stopped for a refusal included.
    void checkNow() override;
    // Unread mail on the server is looked for by the scan; the announcement only needs an
    // account that answers.
    bool holdsWaitingMail() const override;
    QString problems() const override;
    void setDisplayCommand(const QString &command) override;

    const std::shared_ptr<ImapAccount> &account() const { return m_account; }
    ImapWatcher *watcher() const { return m_watcher; }

private:
    std::shared_ptr<ImapAccount> m_account;
    ImapWatcher *m_watcher = nullptr;
    bool m_started = false;
};

} // namespace lumora
