#include "app/ImapAccountDialog.h"

#include "app/MailProviderPreset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace lumora {

namespace {

using Security = ImapAccountConfig::Security;

} // namespace

quint16 ImapAccountDialog::defaultPort(int security) const
{
    if (m_pop3)
        return Pop3AccountConfig::Security(security) == Pop3AccountConfig::Security::ImplicitTls ? 995 : 110;
    return Security(security) == Security::ImplicitTls ? 993 : 143;
}

ImapAccountDialog::ImapAccountDialog(const std::optional<ImapAccountConfig> &existing, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImapAccountDialog"));
    setWindowTitle(existing ? tr("IMAP Account") : tr("Add IMAP Account"));
    build(existing.has_value());
    const ImapAccountConfig start = existing.value_or(ImapAccountConfig{});
    fill(start.host, start.user, int(start.security), start.port);
    fillSignIn(start);
}

ImapAccountDialog::ImapAccountDialog(const std::optional<Pop3AccountConfig> &existing, QWidget *parent)
    : QDialog(parent)
    , m_pop3(true)
{
    setObjectName(QStringLiteral("Pop3AccountDialog"));
    setWindowTitle(existing ? tr("POP3 Account") : tr("Add POP3 Account"));
    build(existing.has_value());
    const Pop3AccountConfig start = existing.value_or(Pop3AccountConfig{});
    m_interval->setValue(start.intervalMinutes);
    fill(start.host, start.user, int(start.security), start.port);
}

void ImapAccountDialog::build(bool editing)
{
    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("txtHost"));
    m_host->setPlaceholderText(m_pop3 ? QStringLiteral("pop.example.com") : QStringLiteral("imap.example.com"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("spnPort"));
    m_port->setRange(1, 65535);
    m_security = new QComboBox(this);
    m_security->setObjectName(QStringLiteral("cboSecurity"));
    m_security->addItem(QStringLiteral("SSL/TLS"), int(Security::ImplicitTls));
    m_security->addItem(m_pop3 ? QStringLiteral("STLS") : QStringLiteral("STARTTLS"), int(Security::StartTls));
    m_plain = new QCheckBox(tr("Connect &without encryption"), this);
    m_plain->setObjectName(QStringLiteral("chkPlain"));
    m_plainWarning = new QLabel(tr("Without encryption your password and your mail cross the network "
                                   "readable by anyone on the way. Use it only for a server on this "
                                   "computer or a network you trust."),
                                this);
    m_plainWarning->setObjectName(QStringLiteral("lblPlainWarning"));
    m_plainWarning->setWordWrap(true);
    m_plainWarning->setStyleSheet(QStringLiteral("color: #b00000"));
    m_user = new QLineEdit(this);
    m_user->setPlaceholderText(QStringLiteral("alice@example.com"));
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(editing ? tr("unchanged") : tr("asked at start when empty"));
    m_passwordKept = new QLabel(tr("The password is kept in the desktop's secret service."), this);
    m_passwordKept->setObjectName(QStringLiteral("lblPasswordKept"));
    m_passwordKept->setWordWrap(true);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    // The address first: at a known provider it fills in what follows.
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("&Server:"), m_host);
    form->addRow(tr("&Port:"), m_port);
    form->addRow(tr("&Encryption:"), m_security);
    form->addRow(QString(), m_plain);
    form->addRow(QString(), m_plainWarning);
    m_form = form;
    if (!m_pop3)
        buildSignIn(form);
    form->addRow(tr("Pass&word:"), m_password);
    if (m_pop3) {
        // POP3 cannot tell of new mail: the server is asked this often.
        m_interval = new QSpinBox(this);
        m_interval->setObjectName(QStringLiteral("spnInterval"));
        m_interval->setRange(1, Pop3AccountConfig::MaxIntervalMinutes);
        m_interval->setSuffix(tr(" min"));
        form->addRow(tr("&Check every:"), m_interval);
    }
    form->addRow(QString(), m_passwordKept);
    // Tab order and first focus follow the rows.
    QWidget::setTabOrder(m_user, m_host);
    m_user->setFocus();
    auto *layout = new QVBoxLayout(this);
    // Rows come and go with the sign-in chosen: the dialog always takes the size they need
    // (a free size let the form squeeze rows to nothing once notes appeared).
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    // Notes that come and go sit below the form: in it, a wrapped note's row squeezed its
    // neighbours to nothing.
    if (m_presetNote) {
        layout->addWidget(m_presetNote);
        layout->addWidget(m_onlineReason);
    }
    layout->addWidget(m_buttons);
}

void ImapAccountDialog::fill(const QString &host, const QString &user, int security, quint16 port)
{
    m_host->setText(host);
    m_user->setText(user);
    m_plain->setChecked(Security(security) == Security::Plain);
    m_security->setCurrentIndex(Security(security) == Security::ImplicitTls ? 0 : 1);
    m_lastDefaultPort = defaultPort(security);
    m_port->setValue(port);
    m_plainWarning->setVisible(m_plain->isChecked());
    m_security->setEnabled(!m_plain->isChecked());

    connect(m_security, &QComboBox::currentIndexChanged, this, &ImapAccountDialog::securityChanged);
    connect(m_plain, &QCheckBox::toggled, this, &ImapAccountDialog::securityChanged);
    connect(m_host, &QLineEdit::textChanged, this, &ImapAccountDialog::validate);
    connect(m_user, &QLineEdit::textChanged, this, &ImapAccountDialog::validate);
    validate();
}

void ImapAccountDialog::securityChanged()
{
    m_plainWarning->setVisible(m_plain->isChecked());
    m_security->setEnabled(!m_plain->isChecked());
    // A port the user chose stays; the default follows the encryption.
    const quint16 port = defaultPort(int(config().security));
    if (m_port->value() == m_lastDefaultPort)
        m_port->setValue(port);
    m_lastDefaultPort = port;
}

void ImapAccountDialog::validate()
{
    const QString host = m_host->text().trimmed();
    bool ok = !host.isEmpty() && !host.contains(QLatin1Char(' ')) && !host.contains(QLatin1Char('/'))
        && !m_user->text().trimmed().isEmpty();
    if (signInChoice() == SignInChoice::TokenCommand)
        ok = ok && !m_tokenCommand->text().trimmed().isEmpty();
    if (signInChoice() == SignInChoice::OnlineAccount)
        ok = ok && !m_onlineAccount->currentData().toString().isEmpty();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

ImapAccountConfig ImapAccountDialog::config() const
{
    ImapAccountConfig c;
    c.host = m_host->text().trimmed();
    c.port = quint16(m_port->value());
    c.user = m_user->text().trimmed();
    c.security = m_plain->isChecked() ? Security::Plain : Security(m_security->currentData().toInt());
    switch (signInChoice()) {
    case SignInChoice::Password:
        break;
    case SignInChoice::TokenCommand:
        c.signIn = ImapAccountConfig::SignIn::OAuth2;
        c.tokenCommand = m_tokenCommand->text().trimmed();
        break;
    case SignInChoice::OnlineAccount:
        c.signIn = ImapAccountConfig::SignIn::OAuth2;
        c.onlineAccount = m_onlineAccount->currentData().toString();
        break;
    }
    return c;
}

Pop3AccountConfig ImapAccountDialog::pop3Config() const
{
    // The two kinds number their encryption alike.
    const ImapAccountConfig c = config();
    Pop3AccountConfig p;
    p.host = c.host;
    p.port = c.port;
    p.user = c.user;
    p.security = Pop3AccountConfig::Security(int(c.security));
    p.intervalMinutes = m_interval ? m_interval->value() : Pop3AccountConfig::DefaultIntervalMinutes;
    return p;
}

QString ImapAccountDialog::password() const
{
    return signInChoice() == SignInChoice::Password ? m_password->text() : QString();
}

ImapAccountDialog::SignInChoice ImapAccountDialog::signInChoice() const
{
    return m_signIn ? SignInChoice(m_signIn->currentIndex()) : SignInChoice::Password;
}

void ImapAccountDialog::buildSignIn(QFormLayout *form)
{
    m_presetNote = new QLabel(this);
    m_presetNote->setObjectName(QStringLiteral("lblPreset"));
    m_presetNote->setWordWrap(true);
    m_presetNote->hide();

    m_signIn = new QComboBox(this);
    m_signIn->setObjectName(QStringLiteral("cboSignIn"));
    m_signIn->addItem(tr("Password"));
    m_signIn->addItem(tr("OAuth2 token from a command"));
    m_signIn->addItem(tr("OAuth2 with an online account of the desktop"));
    form->addRow(tr("Sign &in with:"), m_signIn);

    // The desktop's accounts are read once, when the dialog opens.
    const OnlineAccounts online;
    QString reason = online.unavailableReason();
    if (reason.isEmpty()) {
        m_onlineAccounts = online.mailAccounts(&reason);
        if (reason.isEmpty() && m_onlineAccounts.isEmpty())
            reason = tr("No online account of the desktop reads mail with OAuth2. Add one in the desktop's "
                        "settings (Online Accounts).");
    }
    m_onlineReason = new QLabel(reason, this);
    m_onlineReason->setObjectName(QStringLiteral("lblOnlineReason"));
    m_onlineReason->setWordWrap(true);
    m_onlineReason->setEnabled(false);
    m_onlineReason->setVisible(!reason.isEmpty());
    if (!reason.isEmpty()) {
        // Greyed, not hidden: the user learns the choice exists and what it needs.
        if (auto *model = qobject_cast<QStandardItemModel *>(m_signIn->model())) {
            QStandardItem *item = model->item(int(SignInChoice::OnlineAccount));
            item->setEnabled(false);
            item->setToolTip(reason);
        }
    }

    m_tokenCommand = new QLineEdit(this);
    m_tokenCommand->setObjectName(QStringLiteral("txtTokenCommand"));
    m_tokenCommand->setPlaceholderText(tr("a program and its arguments, e.g. oama access alice@gmail.com"));
    m_tokenCommand->setToolTip(tr("Its first line of output is the access token. It is run without a shell; "
                                  "LUMORA_TOKEN_REFRESH=1 is set when the server refused the last token."));
    form->addRow(tr("Token &command:"), m_tokenCommand);

    m_onlineAccount = new QComboBox(this);
    m_onlineAccount->setObjectName(QStringLiteral("cboOnlineAccount"));
    for (const OnlineAccounts::Account &a : std::as_const(m_onlineAccounts)) {
        const QString label = a.needsAttention
            ? tr("%1 (%2) - sign in again in the desktop's settings").arg(a.identity, a.provider)
            : QStringLiteral("%1 (%2)").arg(a.identity, a.provider);
        m_onlineAccount->addItem(label, a.id);
    }
    form->addRow(tr("Online &account:"), m_onlineAccount);

    connect(m_signIn, &QComboBox::currentIndexChanged, this, &ImapAccountDialog::signInChanged);
    connect(m_onlineAccount, &QComboBox::currentIndexChanged, this, &ImapAccountDialog::onlineAccountChanged);
    connect(m_tokenCommand, &QLineEdit::textChanged, this, &ImapAccountDialog::validate);
    connect(m_user, &QLineEdit::textEdited, this, &ImapAccountDialog::userEdited);
}

void ImapAccountDialog::fillSignIn(const ImapAccountConfig &start)
{
    if (!m_signIn)
        return;
    SignInChoice choice = SignInChoice::Password;
    if (start.signIn == ImapAccountConfig::SignIn::OAuth2 && !start.tokenCommand.isEmpty()) {
        choice = SignInChoice::TokenCommand;
        m_tokenCommand->setText(start.tokenCommand);
    } else if (start.signIn == ImapAccountConfig::SignIn::OAuth2) {
        choice = SignInChoice::OnlineAccount;
        int at = m_onlineAccount->findData(start.onlineAccount);
        if (at < 0) {
            // Gone from the desktop (or the service is away): kept, and said so.
            m_onlineAccount->addItem(tr("%1 (not found among the desktop's accounts)").arg(start.user),
                                     start.onlineAccount);
            at = m_onlineAccount->count() - 1;
        }
        const QSignalBlocker quiet(m_onlineAccount);
        m_onlineAccount->setCurrentIndex(at);
    }
    {
        const QSignalBlocker quiet(m_signIn);
        m_signIn->setCurrentIndex(int(choice));
    }
    signInChanged();
}

void ImapAccountDialog::signInChanged()
{
    const SignInChoice choice = signInChoice();
    m_form->setRowVisible(m_password, choice == SignInChoice::Password);
    m_form->setRowVisible(m_passwordKept, choice == SignInChoice::Password);
    m_form->setRowVisible(m_tokenCommand, choice == SignInChoice::TokenCommand);
    m_form->setRowVisible(m_onlineAccount, choice == SignInChoice::OnlineAccount);
    // An online account brings its own server and user name.
    const bool fromDesktop = choice == SignInChoice::OnlineAccount;
    for (QWidget *w :
         {static_cast<QWidget *>(m_host), static_cast<QWidget *>(m_port), static_cast<QWidget *>(m_security),
          static_cast<QWidget *>(m_plain), static_cast<QWidget *>(m_user)})
        w->setEnabled(!fromDesktop);
    if (!fromDesktop)
        m_security->setEnabled(!m_plain->isChecked());
    if (fromDesktop)
        onlineAccountChanged();
    validate();
}

void ImapAccountDialog::onlineAccountChanged()
{
    if (signInChoice() != SignInChoice::OnlineAccount)
        return;
    const QString id = m_onlineAccount->currentData().toString();
    for (const OnlineAccounts::Account &a : std::as_const(m_onlineAccounts)) {
        if (a.id != id)
            continue;
        m_host->setText(a.imapHost);
        m_user->setText(a.imapUser);
        m_plain->setChecked(a.security == Security::Plain);
        m_security->setCurrentIndex(a.security == Security::StartTls ? 1 : 0);
        m_port->setValue(a.imapPort);
        m_lastDefaultPort = defaultPort(int(a.security));
        break;
    }
    validate();
}

void ImapAccountDialog::userEdited(const QString &text)
{
    const std::optional<MailProviderPreset> preset = MailProviderPreset::forAddress(text);
    const QString host = m_host->text().trimmed();
    // A server the user typed is theirs; one a preset filled in follows the address.
    if (!preset || (!host.isEmpty() && host != m_presetHost))
        return;
    m_presetHost = preset->host;
    m_host->setText(preset->host);
    m_plain->setChecked(false);
    m_security->setCurrentIndex(preset->security == Security::StartTls ? 1 : 0);
    m_port->setValue(preset->port);
    m_lastDefaultPort = preset->port;
    if (!preset->oauth2) {
        m_presetNote->setText(tr("Server settings of %1 filled in.").arg(preset->provider));
        m_presetNote->show();
        return;
    }
    // The provider refuses passwords: an online account for this address if the desktop has
    // one, else a token command.
    int online = -1;
    for (qsizetype i = 0; i < m_onlineAccounts.size(); ++i) {
        if (m_onlineAccounts.at(i).email.compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            online = int(i);
    }
    if (online >= 0) {
        {
            const QSignalBlocker quiet(m_onlineAccount);
            m_onlineAccount->setCurrentIndex(online);
        }
        m_signIn->setCurrentIndex(int(SignInChoice::OnlineAccount));
        m_presetNote->setText(tr("%1 asks for OAuth2 sign-in: the desktop's online account for this address is used.")
                                  .arg(preset->provider));
    } else {
        m_signIn->setCurrentIndex(int(SignInChoice::TokenCommand));
        m_presetNote->setText(tr("%1 asks for OAuth2 sign-in: name a command that prints an access token, "
                                 "or add the account to the desktop's online accounts.")
                                  .arg(preset->provider));
    }
    m_presetNote->show();
}

} // namespace lumora
