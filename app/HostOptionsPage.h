#pragma once

#include "app/HostSettings.h"
#include "host/PropertyPage.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lumora {

class ImapAccountsBox;
class PasswordStore;

// The host's own page of the options dialog: the Maildir stores, the IMAP accounts, the mail
// client's window class, the command that opens a message and whether Lumora starts at login.
// The client and the command take effect at once; stores and accounts from the next start.
class HostOptionsPage : public QWidget, public host::PropertyPage
{
    Q_OBJECT
    Q_INTERFACES(lumora::host::PropertyPage)
public:
    // openStores: the store roots open in this run, the first being the default store.
    // applyLive: called with the applied settings.
    HostOptionsPage(const QStringList &openStores, std::function<void(const HostSettings &)> applyLive,
                    QWidget *parent = nullptr);

    // The accounts watched in this run ("user@host:port") and where typed passwords are kept;
    // without a store the account list cannot take passwords.
    void setAccountsContext(const QStringList &openAccounts, PasswordStore *passwords);

    void InitProperties(host::PropertyPageSite *site) override;
    void Apply() override;
    bool Dirty() const override { return m_dirty; }
    void GetPageInfo(QString &helpFile, qint32 &helpContext) override;

    static QString title() { return QStringLiteral("Mail"); }

private:
    void fillStores();
    void addStore();
    void removeStore();
    void setDirty();
    HostSettings edited() const;
    // Says what an apply could not do: standard error, the log and an error box of that name.
    void tell(const QString &text, const QString &boxName = QStringLiteral("msgNotSaved"));

    void keepPasswords();

    QStringList m_openStores;
    QStringList m_openAccounts;
    PasswordStore *m_passwords = nullptr;
    std::function<void(const HostSettings &)> m_applyLive;
    host::PropertyPageSite *m_site = nullptr;
    HostSettings m_settings;
    QStringList m_stores;
    bool m_dirty = false;
    bool m_loading = false;

    QListWidget *m_storeList = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    ImapAccountsBox *m_accounts = nullptr;
    QLineEdit *m_mailClient = nullptr;
    QLineEdit *m_displayCommand = nullptr;
    // The user's autostart entry, written or removed on Apply.
    QCheckBox *m_autostart = nullptr;
};

} // namespace lumora
