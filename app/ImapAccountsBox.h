#pragma once

#include <QGroupBox>
#include <QHash>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace lumora {

// The IMAP accounts of the host's options page: a list with Add, Edit and Remove. It keeps
// the accounts as addresses ("imaps://user@host:993"), never with a password; the passwords
// typed in are handed to the page to keep in the secret service.
class ImapAccountsBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit ImapAccountsBox(QWidget *parent = nullptr);

    // urls: the stored accounts; openKeys: the accounts ("user@host:port") watched in this run.
    void setAccounts(const QStringList &urls, const QStringList &openKeys);
    QStringList urls() const { return m_urls; }
    // Passwords typed since the accounts were set, by account key.
    QHash<QString, QString> passwords() const { return m_passwords; }
    void forgetPasswords() { m_passwords.clear(); }

Q_SIGNALS:
    void changed();

private:
    void fill();
    void add();
    void edit();
    void remove();
    // Puts the dialog's account at row (or at the end when row is -1); false when the user
    // cancelled.
    bool runDialog(int row);

    QStringList m_urls;
    QStringList m_openKeys;
    QHash<QString, QString> m_passwords;
    QListWidget *m_list = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
};

} // namespace lumora
