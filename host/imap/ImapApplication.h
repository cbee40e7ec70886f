#pragma once

#include "host/Application.h"
#include "host/imap/ImapAccountConfig.h"

#include <QList>
#include <QPointer>

#include <memory>

namespace lumora {

class ActiveWindowMonitor;
class ImapAccount;
class ImapNameSpace;
class ImapWatcher;
class MaildirExplorer;
class MaildirExplorers;
class MaildirInspectors;

// The mail application over IMAP accounts: stores are accounts, folders their mailboxes,
// NewMail comes from IDLE (no polling), and one explorer is active while the mail client's
// window is, as on the Maildir host.
class ImapApplication : public host::Application
{
    Q_OBJECT
public:
    explicit ImapApplication(const QList<ImapAccountConfig> &accounts, QObject *parent = nullptr);
    ~ImapApplication() override;

    host::NameSpace *GetNamespace(const QString &type) override;
    host::NameSpace *session() override;
    host::Explorer *ActiveExplorer() override;
    host::Explorers *explorers() override;
    host::Inspectors *inspectors() override;
    host::ItemPtr CreateItem(int type) override;
    host::COMAddIns *comAddIns() override;
    QString version() const override;

    // Starts watching (lists the mailboxes first, so the accounts' passwords must be set).
    void start();
    void setDisplayCommand(const QString &command);
    void setMailClientWindowClass(const QString &windowClass);
    void quit();

    QList<std::shared_ptr<ImapAccount>> accounts() const { return m_accounts; }
    ImapWatcher *watcher() const { return m_watcher; }
    // Every account's current problem, one per line; empty when all work.
    QString problems() const;

Q_SIGNALS:
    // The accounts' problems changed (see problems()).
    void problemsChanged(const QString &text);

private:
    QList<std::shared_ptr<ImapAccount>> m_accounts;
    ImapNameSpace *m_nameSpace = nullptr;
    ImapWatcher *m_watcher = nullptr;
    MaildirExplorers *m_explorers = nullptr;
    MaildirInspectors *m_inspectors = nullptr;
    host::COMAddIns *m_addIns = nullptr;
    ActiveWindowMonitor *m_monitor = nullptr;
    QPointer<MaildirExplorer> m_explorer;
};

} // namespace lumora
