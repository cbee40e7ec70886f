#pragma once

#include "app/HostSettings.h"
#include "app/ImapSetup.h"
#include "app/ImapSourceFactory.h"
#include "app/Pop3SourceFactory.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>

namespace lumora {

class MailApplication;
class MailSource;
class PasswordStore;

// Puts every source the user has into one mail application: the default Maildir store,
// every store and account named on the command line, and every one kept in the settings,
// side by side. Applied settings open the sources added since and close the ones removed,
// while Lumora runs.
class MailSourceSetup : public QObject
{
    Q_OBJECT
public:
    struct CommandLine
    {
        QStringList maildirs;
        QStringList imapUrls;
        bool passwordFromStdin = false;
        QStringList trust;
        QStringList pop3Urls = {};
        QStringList mboxes = {};
        QStringList mhDirs = {};
    };
    using Say = std::function<void(const QString &text)>;

    MailSourceSetup(MailApplication &mail, PasswordStore &passwords, bool interactive, Say say,
                    QObject *parent = nullptr);
    ~MailSourceSetup() override;

    void setPrompt(ImapSetup::Prompt prompt) { m_imapSetup.setPrompt(std::move(prompt)); }
    // Opens every source; false with *error when the command line names something that
    // cannot be watched (a missing store, an address not understood). A kept source that
    // cannot be opened is reported through say() and left out.
    bool compose(const CommandLine &commandLine, const HostSettings &stored, QString *error);
    // Opens the stores and accounts of settings not open yet and closes those the settings
    // no longer list (the default store and command-line ones stay). passwords: typed in
    // the options, by account key. A source that cannot be opened is said and left out.
    void apply(const HostSettings &settings, const QHash<QString, QString> &passwords);

    // Store roots open now (canonical; the default store first when it is open) and account
    // keys (IMAP and POP3).
    QStringList openStores() const;
    QStringList openAccounts() const;
    // The mbox files and MH directories open now, one line each ("mbox: /var/mail/ann ($MAIL)").
    QStringList openOthers() const;
    // The default store's root when it is open, else empty.
    QString defaultStore() const { return m_defaultStore; }
    // One line per open source, for --verbose.
    QStringList describe() const;

Q_SIGNALS:
    // A source was opened while Lumora runs (not at start): its Inbox wants watching.
    void sourceOpened(lumora::MailSource *source);
    // A source was closed while Lumora runs.
    void sourceClosed(const QString &storeId);

private:
    struct Open
    {
        QString key; // canonical root or account key
        QString storeId;
        bool kept = false; // from the settings, so the settings may close it
        bool imap = false;
        bool pop3 = false;
        QString other = {}; // for an mbox or MH source, how the Mail page lists it
    };

    // False (with *why) when the source cannot be opened; *opened is the source when it is
    // new, null when it was open already.
    bool openMaildir(const QString &root, bool kept, QString *why, MailSource **opened = nullptr);
    bool openImap(const QString &url, bool kept, const QString &password, QString *why, MailSource **opened = nullptr);
    bool openPop3(const QString &url, bool kept, const QString &password, QString *why, MailSource **opened = nullptr);
    // origin says where the file was named, for the Mail page.
    bool openMbox(const QString &path, const QString &origin, QString *why);
    bool openMh(const QString &root, QString *why);
    // Puts the source into the application; null when its store is watched already.
    MailSource *adopt(std::unique_ptr<MailSource> source, const QString &key, bool kept, bool imap);
    bool isOpen(const QString &key, bool pop3 = false) const;

    MailApplication &m_mail;
    ImapSetup m_imapSetup;
    ImapSourceFactory m_imap;
    Pop3SourceFactory m_pop3;
    ImapSetup::Options m_imapOptions;
    Say m_say;
    QList<Open> m_open;
    QString m_defaultStore;
};

} // namespace lumora
