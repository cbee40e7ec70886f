#include "app/Pop3SourceFactory.h"

#include "host/common/HexText.h"
#include "host/pop3/Pop3Account.h"
#include "host/pop3/Pop3AccountConfig.h"
#include "host/pop3/Pop3Source.h"
#include "settings/SettingsLocation.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

namespace lumora {

QString Pop3SourceFactory::key(const QString &url)
{
    const std::optional<Pop3AccountConfig> config = Pop3AccountConfig::fromUrl(url);
    return config ? config->key() : QString();
}

QString Pop3SourceFactory::statePath(const QString &key)
{
    // Hex, as a user or host name may hold characters a file name should not.
    return SettingsLocation::dataFolder() + QStringLiteral("/pop3/") + HexText::encode(key) + QStringLiteral(".json");
}

std::unique_ptr<MailSource> Pop3SourceFactory::create(const QString &url, const ImapSetup::Options &options,
                                                      QString *why)
{
    std::optional<Pop3AccountConfig> config = Pop3AccountConfig::fromUrl(url, why);
    if (!config)
        return nullptr;
    if (config->security == Pop3AccountConfig::Security::Plain)
        Q_EMIT m_setup.say(QCoreApplication::translate("Pop3SourceFactory",
                                                       "Lumora: warning: %1 is used without encryption; the password "
                                                       "and the mail cross the network readable by anyone on the way.")
                               .arg(config->key()));
    if (!m_setup.credentials(config->key(), options, &config->password, &config->trustedFingerprints, why))
        return nullptr;
    auto source = std::make_unique<Pop3Source>(*config, statePath(config->key()));
    Pop3Account *account = source->account().get();
    if (options.interactive) {
        account->setConfirmDelete([account](const QString &what) {
            const QString text =
                QCoreApplication::translate("Pop3SourceFactory",
                                            "Delete the message %1 from the POP3 server %2?\n\nPOP3 has no Trash: the "
                                            "message is gone for good, for every mail program.")
                    .arg(what, account->config().key());
            return QMessageBox::question(nullptr, QStringLiteral("Lumora"), text) == QMessageBox::Yes;
        });
        QPointer<Pop3Source> guard(source.get());
        QObject::connect(
            account, &Pop3Account::certificateUntrusted, &m_setup,
            [this, account, guard](const QString &fingerprint) {
                m_setup.offerTrust(account->config().host, account->config().key(), fingerprint,
                                   [account, guard, fingerprint] {
                                       if (!guard)
                                           return;
                                       account->trustFingerprint(fingerprint);
                                       guard->checkNow();
                                   });
            },
            Qt::QueuedConnection); // asked from the event loop, not from inside a request's wait
    }
    return source;
}

} // namespace lumora
