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

quint16 defaultPort(Security security)
{
    return security == Security::ImplicitTls ? 993 : 143;
}

} // namespace

ImapAccountDialog::ImapAccountDialog(const std::optional<ImapAccountConfig> &existing, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImapAccountDialog"));
    setWindowTitle(existing ? tr("IMAP Account") : tr("Add IMAP Account"));

    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("txtHost"));
    m_host->setPlaceholderText(QStringLiteral("imap.example.com"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("spnPort"));
    m_port->setRange(1, 65535);
    m_security = new QComboBox(this);
    m_security->setObjectName(QStringLiteral("cboSecurity"));
    m_security->addItem(QStringLiteral("SSL/TLS"), int(Security::ImplicitTls));
    m_security->addItem(QStringLiteral("STARTTLS"), int(Security::StartTls));
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
    m_password->setPlaceholderText(existing ? tr("unchanged") : tr("asked at start when empty"));
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
    form->addRow(QString(), keptNote);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    const ImapAccountConfig start = existing.value_or(ImapAccountConfig{});
    m_host->setText(start.host);
    m_user->setText(start.user);
    m_plain->setChecked(start.security == Security::Plain);
    m_security->setCurrentIndex(start.security == Security::ImplicitTls ? 0 : 1);
    m_lastDefaultPort = defaultPort(start.security);
    m_port->setValue(start.port);
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
    const quint16 port = defaultPort(config().security);
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

QString ImapAccountDialog::password() const
{
    return m_password->text();
}

} // namespace lumora
