#pragma once

#include "host/imap/ImapAccountConfig.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

namespace lumora {

class ImapSource;
class PasswordStore;

// The IMAP accounts named on the command line, made ready to run: passwords from the
// secret service (asked for and stored there when missing), certificates the user trusted,
// and the accounts' problems shown where the user looks (standard error, the log, the tray
// icon's tip).
class ImapSetup : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QStringList urls;
        // Read the password from the first line of standard input (scripts, tests); it is
        // not stored anywhere.
        bool passwordFromStdin = false;
        // SHA-256 fingerprints to trust from now on.
        QStringList trust;
        // Dialogs may be shown (a password prompt, a question about a certificate).
        bool interactive = true;
        // A password the user just typed (in the options): used as it is, not looked up.
        QString password;
    };
    // Asks the user for a password; null when they cancel.
    using Prompt = std::function<std::optional<QString>(const QString &account)>;

    explicit ImapSetup(PasswordStore &store, QObject *parent = nullptr);
    ~ImapSetup() override;

    void setPrompt(Prompt prompt) { m_prompt = std::move(prompt); }
    // The accounts, ready to start; null with *error when an address is wrong or a password
    // cannot be had. Warnings (no secret service, no encryption) go to say().
    std::optional<QList<ImapAccountConfig>> accounts(const Options &options, QString *error);
    // One account of options.urls, as accounts() makes it.
    std::optional<ImapAccountConfig> account(const QString &url, const Options &options, QString *error);
    // Offers to trust a certificate the source's server shows that no authority vouches for.
    void attach(ImapSource *source, bool interactive);

    // What any account (IMAP or POP3) known by key needs to log in: its password and the
    // certificates the user trusted, got as account() gets them. False with *error.
    bool credentials(const QString &key, const Options &options, QString *password, QStringList *trusted,
                     QString *error);
    // Asks once per certificate whether to trust it; trusted() is called once it is.
    void offerTrust(const QString &host, const QString &key, const QString &fingerprint,
                    const std::function<void()> &trusted);

    // The file that remembers trusted certificates: no secrets in it.
    static QString trustFile();

Q_SIGNALS:
    // A line the user must see (written to standard error by the caller).
    void say(const QString &text);

private:
    void remember(const QString &accountKey, const QString &fingerprint);
    // The certificates trusted for the account, options.trust added first.
    QStringList trusted(const QString &key, const Options &options);

    PasswordStore &m_store;
    Prompt m_prompt;
    QString m_stdinPassword;
    bool m_stdinRead = false;
    QSet<QString> m_asked;
};

} // namespace lumora
