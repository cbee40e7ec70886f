#include "app/HostOptionsPage.h"

#include "app/Autostart.h"
#include "app/HostProblemReport.h"
#include "app/PasswordStore.h"
#include "settings/modRegistry.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora {

HostOptionsPage::HostOptionsPage(const QStringList &openStores, ApplyLive applyLive, QWidget *parent)
    : QWidget(parent)
    , m_applyLive(std::move(applyLive))
{
    setObjectName(QStringLiteral("HostOptionsPage"));
    for (const QString &store : openStores)
        m_open.stores << MailSourcesBox::canonical(store);
    m_open.defaultStore = m_open.stores.value(0);

    m_sources = new MailSourcesBox(this);

    m_mailClient = new QLineEdit(this);
    m_mailClient->setObjectName(QStringLiteral("txtMailClient"));
    m_mailClient->setPlaceholderText(tr("for example thunderbird"));
    m_displayCommand = new QLineEdit(this);
    m_displayCommand->setObjectName(QStringLiteral("txtDisplayCommand"));
    m_displayCommand->setPlaceholderText(QStringLiteral("xdg-open"));
    m_displayCommand->setToolTip(tr("%f stands for the message file; without it the file is appended."));

    m_quietWhilePresenting =
        new QCheckBox(tr("&Quiet while presenting (a full-screen window, or do not disturb)"), this);
    m_quietWhilePresenting->setObjectName(QStringLiteral("chkQuietWhilePresenting"));
    m_newMailCommand = new QLineEdit(this);
    m_newMailCommand->setObjectName(QStringLiteral("txtNewMailCommand"));
    m_newMailCommand->setToolTip(tr("Run without a shell (quote with double quotes); the mail is in "
                                    "LUMORA_FOLDER, LUMORA_SENDER, LUMORA_SUBJECT and LUMORA_COUNT."));

    m_autostart = new QCheckBox(tr("&Start Lumora when I log in"), this);
    m_autostart->setObjectName(QStringLiteral("chkAutostart"));

    auto *form = new QFormLayout;
    form->addRow(tr("Mail &client window class:"), m_mailClient);
    form->addRow(tr("&Open messages with:"), m_displayCommand);
    form->addRow(tr("On new mail &run:"), m_newMailCommand);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_sources);
    layout->addLayout(form);
    layout->addWidget(m_quietWhilePresenting);
    layout->addWidget(m_autostart);
    layout->addStretch(1);

    connect(m_sources, &MailSourcesBox::changed, this, &HostOptionsPage::setDirty);
    connect(m_mailClient, &QLineEdit::textChanged, this, &HostOptionsPage::setDirty);
    connect(m_displayCommand, &QLineEdit::textChanged, this, &HostOptionsPage::setDirty);
    connect(m_quietWhilePresenting, &QCheckBox::toggled, this, &HostOptionsPage::setDirty);
    connect(m_newMailCommand, &QLineEdit::textChanged, this, &HostOptionsPage::setDirty);
    connect(m_autostart, &QCheckBox::toggled, this, &HostOptionsPage::setDirty);
}

void HostOptionsPage::setAccountsContext(const QStringList &openAccounts, PasswordStore *passwords)
{
    m_open.accounts = openAccounts;
    m_passwords = passwords;
}

void HostOptionsPage::InitProperties(host::PropertyPageSite *site)
{
    m_site = site;
    m_loading = true;
    m_settings = HostSettings::load();
    if (m_openQuery)
        m_open = m_openQuery();
    m_mailClient->setText(m_settings.mailClient);
    m_displayCommand->setText(m_settings.displayCommand);
    m_quietWhilePresenting->setChecked(m_settings.quietWhilePresenting);
    m_newMailCommand->setText(m_settings.newMailCommand);
    m_sources->setSources(m_settings.stores, m_settings.imapAccounts, m_open);
    m_sources->setPop3Urls(m_settings.pop3Accounts);
    m_autostart->setChecked(Autostart::isEnabled());
    m_loading = false;
    m_dirty = false;
}

void HostOptionsPage::setDirty()
{
    if (m_loading)
        return;
    m_dirty = true;
    if (m_site)
        m_site->OnStatusChange();
}

HostSettings HostOptionsPage::edited() const
{
    HostSettings s;
    s.stores = m_sources->stores();
    s.imapAccounts = m_sources->urls();
    s.pop3Accounts = m_sources->pop3Urls();
    s.mailClient = m_mailClient->text().trimmed();
    s.displayCommand = m_displayCommand->text().trimmed();
    s.quietWhilePresenting = m_quietWhilePresenting->isChecked();
    s.newMailCommand = m_newMailCommand->text().trimmed();
    return s;
}

void HostOptionsPage::Apply()
{
    const HostSettings s = edited();
    if (!s.save()) {
        // The page stays dirty: nothing was stored.
        tell(tr("The mail settings could not be saved: %1. They are kept on this page; press Apply to "
                "try again.")
                 .arg(modRegistry::LastWriteError()));
        return;
    }
    m_settings = s;
    const QHash<QString, QString> typed = m_sources->passwords();
    m_sources->forgetPasswords();
    keepPasswords(typed);
    if (m_applyLive)
        m_applyLive(s, typed);
    if (m_openQuery) {
        m_open = m_openQuery();
        m_loading = true;
        m_sources->setSources(s.stores, s.imapAccounts, m_open);
        m_sources->setPop3Urls(s.pop3Accounts);
        m_loading = false;
    }
    QString error;
    if (m_autostart->isChecked() != Autostart::isEnabled()
        && !Autostart::setEnabled(m_autostart->isChecked(), &error)) {
        // The page stays dirty: the start at login is not as the box says.
        tell(tr("Autostart unchanged: %1").arg(error));
        return;
    }
    m_dirty = false;
}

void HostOptionsPage::tell(const QString &text, const QString &boxName)
{
    ProblemReporter(QStringLiteral("HostOptionsPage"), HostProblemReport::log()).tellInBox(text, this, boxName);
}

void HostOptionsPage::keepPasswords(const QHash<QString, QString> &typed)
{
    QStringList failed;
    for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
        QString problem = tr("no secret service is available.");
        if (m_passwords && m_passwords->write(it.key(), it.value(), &problem))
            continue;
        failed << QStringLiteral("%1: %2").arg(it.key(), problem);
    }
    if (failed.isEmpty())
        return;
    // The accounts are stored; only their passwords are not, so Lumora asks for them at start.
    const QString text = tr("The password could not be kept in the desktop's secret service, so "
                            "Lumora asks for it when it starts.\n\n")
        + failed.join(QLatin1Char('\n'));
    tell(text, QStringLiteral("PasswordNotKept"));
}

void HostOptionsPage::GetPageInfo(QString &helpFile, qint32 &helpContext)
{
    Q_UNUSED(helpFile)
    Q_UNUSED(helpContext)
}

} // namespace lumora
