#pragma once

#include "host/imap/ImapAccountConfig.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumora {

// Where an IMAP account lives and who logs in: host, port, encryption and user name, and the
// password to keep in the desktop's secret service. A connection without encryption must be
// ticked on its own and carries a warning.
class ImapAccountDialog : public QDialog
{
    Q_OBJECT
public:
    // existing: the account to edit; null for a new one. An empty password field then keeps
    // the stored password.
    explicit ImapAccountDialog(const std::optional<ImapAccountConfig> &existing, QWidget *parent = nullptr);

    ImapAccountConfig config() const;
    // What the user typed; empty when they left the password alone.
    QString password() const;

private:
    void securityChanged();
    void validate();

    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QComboBox *m_security = nullptr;
    QCheckBox *m_plain = nullptr;
    QLabel *m_plainWarning = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    quint16 m_lastDefaultPort = 993;
};

} // namespace lumora
