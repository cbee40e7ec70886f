#pragma once

#include "app/OnlineAccounts.h"
#include "host/imap/ImapAccountConfig.h"
#include "host/pop3/Pop3AccountConfig.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumora {

// Where an IMAP account lives and who logs in: host, port, encryption and user name, and the
// password to keep in the desktop's secret service. A connection without encryption must be
// ticked on its own and carries a warning. The same dialog, with the check interval, serves
// a POP3 account. An IMAP account signs in with a password, or with OAuth2 tokens from a
// command or from one of the desktop's online accounts (picked from a list, which fills the
// server in); typing an address at a known provider fills its server in too.
class ImapAccountDialog : public QDialog
{
    Q_OBJECT
public:
    // existing: the account to edit; null for a new one. An empty password field then keeps
    // the stored password.
    explicit ImapAccountDialog(const std::optional<ImapAccountConfig> &existing, QWidget *parent = nullptr);
    // A POP3 account: its own ports, STLS, and how often the server is asked.
    explicit ImapAccountDialog(const std::optional<Pop3AccountConfig> &existing, QWidget *parent = nullptr);

    ImapAccountConfig config() const;
    // The POP3 account as the dialog stands (for the POP3 form).
    Pop3AccountConfig pop3Config() const;
    // What the user typed; empty when they left the password alone or sign in otherwise.
    QString password() const;

    // How the IMAP account signs in; the numbers are the sign-in box's rows.
    enum class SignInChoice {
        Password,
        TokenCommand,
        OnlineAccount
    };

private:
    void build(bool editing);
    void fill(const QString &host, const QString &user, int security, quint16 port);
    quint16 defaultPort(int security) const;
    void securityChanged();
    void validate();
    void buildSignIn(QFormLayout *form);
    void fillSignIn(const ImapAccountConfig &start);
    void signInChanged();
    void onlineAccountChanged();
    // Fills a known provider's server in from the address typed as user name.
    void userEdited(const QString &text);
    SignInChoice signInChoice() const;

    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QComboBox *m_security = nullptr;
    QCheckBox *m_plain = nullptr;
    QLabel *m_plainWarning = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QFormLayout *m_form = nullptr;
    QComboBox *m_signIn = nullptr;
    QLineEdit *m_tokenCommand = nullptr;
    QComboBox *m_onlineAccount = nullptr;
    QLabel *m_onlineReason = nullptr;
    QLabel *m_presetNote = nullptr;
    QLabel *m_passwordKept = nullptr;
    QList<OnlineAccounts::Account> m_onlineAccounts;
    // The server a preset filled in: replaced by the next preset, unlike one the user typed.
    QString m_presetHost;
    QSpinBox *m_interval = nullptr;
    bool m_pop3 = false;
    QDialogButtonBox *m_buttons = nullptr;
    quint16 m_lastDefaultPort = 993;
};

} // namespace lumora
