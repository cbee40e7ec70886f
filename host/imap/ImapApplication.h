#pragma once

#include "host/imap/ImapAccountConfig.h"
#include "host/maildir/MailHostApplication.h"

#include <QList>

#include <memory>

namespace lumora {

class ImapAccount;
class ImapWatcher;

// The mail application over IMAP accounts: stores are accounts, folders their mailboxes,
// NewMail comes from IDLE (no polling), and one explorer is active while the mail client's
// window is, as on the Maildir host.
class ImapApplication : public MailHostApplication
{
    Q_OBJECT
public:
    explicit ImapApplication(const QList<ImapAccountConfig> &accounts, QObject *parent = nullptr);
    ~ImapApplication() override;

    QString version() const override;

    // Starts watching (lists the mailboxes first, so the accounts' passwords must be set).
    void start();
    void setDisplayCommand(const QString &command);

    QList<std::shared_ptr<ImapAccount>> accounts() const { return m_accounts; }
    ImapWatcher *watcher() const { return m_watcher; }
    // Every account's current problem, one per line; empty when all work.
    QString problems() const override;

protected:
    // Unread mail on the server is looked for by the scan; the announcement only needs an
    // account that answers.
    bool holdsWaitingMail() const override;

private:
    QList<std::shared_ptr<ImapAccount>> m_accounts;
    ImapWatcher *m_watcher = nullptr;
};

} // namespace lumora
