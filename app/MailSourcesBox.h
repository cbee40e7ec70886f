#pragma once

#include <QGroupBox>
#include <QHash>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lumora {

// Every place the user's mail lives, in one list on the host's options page: Maildir stores
// and IMAP accounts, with Add, Edit and Remove. Stores are kept as paths, accounts as
// addresses ("imaps://user@host:993"), never with a password; passwords typed in are handed
// to the page to keep in the secret service.
class MailSourcesBox : public QGroupBox
{
    Q_OBJECT
public:
    struct Open
    {
        // Store roots watched now (canonical) and the one of them that is the default store.
        QStringList stores;
        QString defaultStore;
        // Accounts ("user@host:port") watched now.
        QStringList accounts;
        // mbox files and MH directories watched now, as listed ("mbox: /var/mail/ann ($MAIL)");
        // they come from the command line or $MAIL, so the page shows them without removing them.
        QStringList others = {};
    };

    explicit MailSourcesBox(QWidget *parent = nullptr);

    // The kept stores and accounts, and what is watched now.
    void setSources(const QStringList &stores, const QStringList &urls, const Open &open);
    QStringList stores() const { return m_stores; }
    QStringList urls() const { return m_urls; }
    // The kept POP3 accounts, as addresses ("pop3s://user@host:995"); set after setSources.
    void setPop3Urls(const QStringList &urls);
    QStringList pop3Urls() const { return m_pop3Urls; }
    // Passwords typed since the sources were set, by account key.
    QHash<QString, QString> passwords() const { return m_passwords; }
    void forgetPasswords() { m_passwords.clear(); }

    // The path a store is known by.
    static QString canonical(const QString &path);

Q_SIGNALS:
    void changed();

private:
    enum Kind {
        FixedStore, // the default store or one from the command line: not the page's to remove
        KeptStore,
        Account,
        Pop3Account,
        FixedOther, // an mbox file or MH directory: from the command line or $MAIL, shown only
    };

    void fill();
    void addStore();
    void addAccount();
    void edit();
    void remove();
    void selectionChanged();
    // Puts the dialog's account at index (or at the end when index is -1); false when the
    // user cancelled.
    bool runAccountDialog(int index);
    bool runPop3Dialog(int index);
    QListWidgetItem *addRow(const QString &text, Kind kind, int index);

    QStringList m_stores;
    QStringList m_urls;
    QStringList m_pop3Urls;
    Open m_open;
    QHash<QString, QString> m_passwords;
    QListWidget *m_list = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
};

} // namespace lumora
