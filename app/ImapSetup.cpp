#include "app/ImapSetup.h"

#include "app/OnlineAccountsTokenSource.h"
#include "app/PasswordStore.h"
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapSource.h"
#include "host/imap/ImapTokenCommand.h"
#include "platform/core/Verbose.h"

#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

namespace lumora {

ImapSetup::ImapSetup(PasswordStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
}

ImapSetup::~ImapSetup() = default;

QString ImapSetup::trustFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/lumora/imap.ini");
}

void ImapSetup::remember(const QString &accountKey, const QString &fingerprint)
{
    QSettings settings(trustFile(), QSettings::IniFormat);
    settings.beginGroup(accountKey);
    QStringList trusted = settings.value(QStringLiteral("trusted")).toStringList();
    if (!trusted.contains(fingerprint)) {
        trusted.append(fingerprint);
        settings.setValue(QStringLiteral("trusted"), trusted);
    }
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        Q_EMIT say(tr("Lumora: cannot remember the trusted certificate in %1.").arg(trustFile()));
}

std::optional<QList<ImapAccountConfig>> ImapSetup::accounts(const Options &options, QString *error)
{
    QList<ImapAccountConfig> out;
    for (const QString &url : options.urls) {
        std::optional<ImapAccountConfig> config = account(url, options, error);
        if (!config)
            return std::nullopt;
        out.append(*config);
    }
    return out;
}

std::optional<ImapAccountConfig> ImapSetup::account(const QString &url, const Options &options, QString *error)
{
    std::optional<ImapAccountConfig> config = ImapAccountConfig::fromUrl(url, error);
    if (!config)
        return std::nullopt;
    if (config->security == ImapAccountConfig::Security::Plain)
        Q_EMIT say(tr("Lumora: warning: %1 is used without encryption; the password and the mail "
                      "cross the network readable by anyone on the way.")
                       .arg(config->key()));
    if (config->signIn == ImapAccountConfig::SignIn::OAuth2) {
        // Tokens are asked for at each login; a source that cannot give one now is said
        // then, and the login is tried again later.
        config->trustedFingerprints = trusted(config->key(), options);
        if (!config->tokenCommand.isEmpty())
            config->tokens = std::make_shared<ImapTokenCommand>(config->tokenCommand);
        else
            config->tokens = std::make_shared<OnlineAccountsTokenSource>(config->onlineAccount);
        return config;
    }
    if (!credentials(config->key(), options, &config->password, &config->trustedFingerprints, error))
        return std::nullopt;
    return config;
}

bool ImapSetup::credentials(const QString &key, const Options &options, QString *password, QStringList *trusted,
                            QString *error)
{
    *trusted = this->trusted(key, options);

    if (!options.password.isEmpty()) {
        *password = options.password;
    } else if (options.passwordFromStdin) {
        if (!m_stdinRead) {
            m_stdinRead = true;
            QTextStream in(stdin);
            m_stdinPassword = in.readLine();
        }
        *password = m_stdinPassword;
    } else {
        QString problem;
        std::optional<QString> stored = m_store.read(key, &problem);
        if (!problem.isEmpty())
            Q_EMIT say(QStringLiteral("Lumora: ") + problem);
        if (!stored && options.interactive && m_prompt) {
            stored = m_prompt(key);
            if (stored) {
                QString writeProblem;
                if (!m_store.write(key, *stored, &writeProblem))
                    Q_EMIT say(tr("Lumora: %1 The password of %2 is used for this session only "
                                  "and is not written anywhere.")
                                   .arg(writeProblem, key));
            }
        }
        if (!stored) {
            if (error)
                *error = tr("No password for %1: none in the desktop's secret service%2.")
                             .arg(key, options.interactive ? tr(" and none given") : tr(" and no dialog to ask"));
            return false;
        }
        *password = *stored;
    }
    return true;
}

QStringList ImapSetup::trusted(const QString &key, const Options &options)
{
    for (const QString &fingerprint : options.trust)
        remember(key, fingerprint.toUpper().remove(QLatin1Char(':')));
    QSettings settings(trustFile(), QSettings::IniFormat);
    return settings.value(key + QStringLiteral("/trusted")).toStringList();
}

void ImapSetup::attach(ImapSource *source, bool interactive)
{
    if (!interactive)
        return;
    ImapAccount *raw = source->account().get();
    QPointer<ImapSource> guard(source);
    connect(
        raw, &ImapAccount::certificateUntrusted, this,
        [this, raw, guard](const QString &fingerprint) {
            offerTrust(raw->config().host, raw->config().key(), fingerprint, [raw, guard, fingerprint] {
                raw->trustFingerprint(fingerprint);
                if (guard)
                    guard->checkNow();
            });
        },
        Qt::QueuedConnection); // asked from the event loop, not from inside a request's wait
}

void ImapSetup::offerTrust(const QString &host, const QString &key, const QString &fingerprint,
                           const std::function<void()> &trusted)
{
    // One question per certificate: a refusal is not asked again in this session.
    if (fingerprint.isEmpty() || m_asked.contains(fingerprint))
        return;
    m_asked.insert(fingerprint);
    const QString text = tr("The mail server %1 shows a certificate that no authority vouches for.\n\n"
                            "SHA-256 fingerprint:\n%2\n\nTrust it only if your provider "
                            "confirms this fingerprint. Trust it?")
                             .arg(host, fingerprint);
    if (QMessageBox::question(nullptr, QStringLiteral("Lumora"), text) != QMessageBox::Yes)
        return;
    remember(key, fingerprint);
    trusted();
}

} // namespace lumora
