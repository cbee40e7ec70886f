#pragma once

#include "app/HostSettings.h"
#include "app/MailSourcesBox.h"
#include "host/PropertyPage.h"

#include <QHash>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;

namespace lumora {

class PasswordStore;

// The host's own page of the options dialog: the mail sources (Maildir stores and IMAP
// accounts in one list), the mail client's window class, the command that opens a message,
// whether popups wait while the user presents, the command run on new mail and whether
// Lumora starts at login. All take effect when applied, without a restart.
class HostOptionsPage : public QWidget, public host::PropertyPage
{
    Q_OBJECT
    Q_INTERFACES(lumora::host::PropertyPage)
public:
    // Called with the applied settings and the passwords typed in, by account key.
    using ApplyLive = std::function<void(const HostSettings &, const QHash<QString, QString> &)>;

    // openStores: the store roots open in this run, the default store (when open) first.
    HostOptionsPage(const QStringList &openStores, ApplyLive applyLive, QWidget *parent = nullptr);

    // The accounts watched in this run ("user@host:port") and where typed passwords are kept;
    // without a store the account list cannot take passwords.
    void setAccountsContext(const QStringList &openAccounts, PasswordStore *passwords);
    // What is watched now, asked again after each apply (sources open and close at once).
    void setOpenSources(std::function<MailSourcesBox::Open()> query) { m_openQuery = std::move(query); }

    void InitProperties(host::PropertyPageSite *site) override;
    void Apply() override;
    bool Dirty() const override { return m_dirty; }
    void GetPageInfo(QString &helpFile, qint32 &helpContext) override;

    static QString title() { return QStringLiteral("Mail"); }

private:
    void setDirty();
    HostSettings edited() const;
    // Says what an apply could not do: standard error, the log and an error box of that name.
    void tell(const QString &text, const QString &boxName = QStringLiteral("msgNotSaved"));

    void keepPasswords(const QHash<QString, QString> &typed);

    MailSourcesBox::Open m_open;
    std::function<MailSourcesBox::Open()> m_openQuery;
    PasswordStore *m_passwords = nullptr;
    ApplyLive m_applyLive;
    host::PropertyPageSite *m_site = nullptr;
    HostSettings m_settings;
    bool m_dirty = false;
    bool m_loading = false;

    MailSourcesBox *m_sources = nullptr;
    QLineEdit *m_mailClient = nullptr;
    QLineEdit *m_displayCommand = nullptr;
    QCheckBox *m_quietWhilePresenting = nullptr;
    QLineEdit *m_newMailCommand = nullptr;
    // The user's autostart entry, written or removed on Apply.
    QCheckBox *m_autostart = nullptr;
};

} // namespace lumora
