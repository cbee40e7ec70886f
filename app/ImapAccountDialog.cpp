#include "app/ImapAccountDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(editing ? tr("unchanged") : tr("asked at start when empty"));
    auto *keptNote = new QLabel(tr("The password is kept in the desktop's secret service."), this);
    keptNote->setWordWrap(true);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(tr("&Server:"), m_host);
    form->addRow(tr("&Port:"), m_port);
    form->addRow(tr("&Encryption:"), m_security);
    form->addRow(QString(), m_plain);
    form->addRow(QString(), m_plainWarning);
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("Pass&word:"), m_password);
    if (m_pop3) {
        // POP3 cannot tell of new mail: the server is asked this often.
        m_interval = new QSpinBox(this);
        m_interval->setObjectName(QStringLiteral("spnInterval"));
        m_interval->setRange(1, Pop3AccountConfig::MaxIntervalMinutes);
        m_interval->setSuffix(tr(" min"));
        form->addRow(tr("&Check every:"), m_interval);
    }
    form->addRow(QString(), keptNote);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
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
    const bool ok = !host.isEmpty() && !host.contains(QLatin1Char(' ')) && !host.contains(QLatin1Char('/'))
        && !m_user->text().trimmed().isEmpty();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

ImapAccountConfig ImapAccountDialog::config() const
{
    ImapAccountConfig c;
    c.host = m_host->text().trimmed();
    c.port = quint16(m_port->value());
    c.user = m_user->text().trimmed();
    c.security = m_plain->isChecked() ? Security::Plain : Security(m_security->currentData().toInt());
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
    return m_password->text();
}

} // namespace lumora
