#include "host/imap/ImapApplication.h"

#include "host/imap/ImapAccount.h"
#include "host/imap/ImapNameSpace.h"
#include "host/imap/ImapWatcher.h"
#include "host/maildir/ActiveWindowMonitor.h"
#include "host/maildir/MaildirDraftItem.h"
#include "host/maildir/MaildirExplorer.h"
#include "host/maildir/MaildirExplorers.h"
#include "host/maildir/MaildirInspectors.h"

namespace lumora {

ImapApplication::ImapApplication(const QList<ImapAccountConfig> &accounts, QObject *parent)
    : host::Application(parent)
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
    m_nameSpace = new ImapNameSpace(m_accounts, this);
    m_watcher = new ImapWatcher(m_accounts, this);
    connect(m_watcher, &ImapWatcher::newMail, this, &host::Application::NewMail);
    m_explorers = new MaildirExplorers(this);
    m_inspectors = new MaildirInspectors(this);
    m_addIns = new host::COMAddIns(this);
    m_explorer = new MaildirExplorer(this);
    m_explorers->setExplorer(m_explorer);
    m_monitor = new ActiveWindowMonitor(this);
    connect(m_monitor, &ActiveWindowMonitor::activeChanged, this, [this](bool active) {
        if (m_explorer)
            m_explorer->setActive(active);
    });
}

ImapApplication::~ImapApplication()
{
    // The sessions go before the accounts they belong to.
    delete m_watcher;
}

void ImapApplication::start()
{
    m_watcher->start();
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

host::NameSpace *ImapApplication::GetNamespace(const QString &type)
{
    return type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) == 0 ? m_nameSpace : nullptr;
}

host::NameSpace *ImapApplication::session()
{
    return m_nameSpace;
}

host::Explorer *ImapApplication::ActiveExplorer()
{
    return m_explorer;
}

host::Explorers *ImapApplication::explorers()
{
    return m_explorers;
}

host::Inspectors *ImapApplication::inspectors()
{
    return m_inspectors;
}

host::ItemPtr ImapApplication::CreateItem(int type)
{
    switch (type) {
    case host::MailItemType:
    case host::AppointmentItemType:
    case host::ContactItemType:
    case host::TaskItemType:
    case host::NoteItemType:
        return std::make_shared<MaildirDraftItem>(type);
    default:
        return nullptr;
    }
}

host::COMAddIns *ImapApplication::comAddIns()
{
    return m_addIns;
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

void ImapApplication::setMailClientWindowClass(const QString &windowClass)
{
    m_monitor->setWindowClass(windowClass);
}

void ImapApplication::quit()
{
    if (!m_explorer)
        return;
    MaildirExplorer *explorer = m_explorer;
    m_explorer = nullptr;
    m_explorers->setExplorer(nullptr);
    m_monitor->setWindowClass(QString());
    Q_EMIT explorer->Close();
    explorer->deleteLater();
}

} // namespace lumora
