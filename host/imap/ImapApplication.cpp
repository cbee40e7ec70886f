#include "host/imap/ImapApplication.h"

#include "host/imap/ImapAccount.h"
#include "host/imap/ImapNameSpace.h"
#include "host/imap/ImapWatcher.h"

namespace lumora {

ImapApplication::ImapApplication(const QList<ImapAccountConfig> &accounts, QObject *parent)
    : MailHostApplication(parent)
{
    QStringList seen;
    for (const ImapAccountConfig &config : accounts) {
        // The same account named twice would report every message twice.
        if (seen.contains(config.key()))
            continue;
        seen.append(config.key());
        auto account = std::make_shared<ImapAccount>(config);
        connect(account.get(), &ImapAccount::problemChanged, this, [this] { Q_EMIT problemsChanged(problems()); });
        m_accounts.append(account);
    }
    setNameSpace(new ImapNameSpace(m_accounts, this));
    m_watcher = new ImapWatcher(m_accounts, this);
    connect(m_watcher, &ImapWatcher::newMail, this, &host::Application::NewMail);
}

ImapApplication::~ImapApplication()
{
    // The sessions go before the accounts they belong to.
    delete m_watcher;
}

void ImapApplication::start()
{
    m_watcher->start();
    announceWaitingMailSoon();
}

bool ImapApplication::holdsWaitingMail() const
{
    for (const auto &account : m_accounts) {
        if (account->problem().isEmpty())
            return true;
    }
    return false;
}

QString ImapApplication::problems() const
{
    QStringList lines;
    for (const auto &account : m_accounts) {
        if (!account->problem().isEmpty())
            lines.append(account->problem());
    }
    return lines.join(QLatin1Char('\n'));
}

QString ImapApplication::version() const
{
    return QStringLiteral(LUMORA_IMAP_HOST_VERSION);
}

void ImapApplication::setDisplayCommand(const QString &command)
{
    const QString effective = command.trimmed().isEmpty() ? QStringLiteral("xdg-open") : command;
    for (const auto &account : m_accounts)
        account->setDisplayCommand(effective);
}

} // namespace lumora
