#pragma once

#include "host/imap/ImapAccountConfig.h"
#include "host/imap/ImapTokenSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QString>

namespace lumora {

// The mail accounts the desktop's online accounts service (GNOME Online Accounts) keeps,
// and their OAuth2 access tokens, read over D-Bus. Every call blocks, bounded by
// CallTimeoutMs and without running the event loop: tokens are asked for while a login
// waits on its socket alone. Failures come back as text for the user, never as exceptions.
class OnlineAccounts
{
public:
    struct Account
    {
        QString id;
        // The provider's name as the service shows it ("Google").
        QString provider;
        // What the user sees the account as, usually the address.
        QString identity;
        QString email;
        QString imapHost;
        quint16 imapPort = 993;
        ImapAccountConfig::Security security = ImapAccountConfig::Security::ImplicitTls;
        QString imapUser;
        // The service wants the user to sign in again in the desktop's settings.
        bool needsAttention = false;
    };

    static const QString ServiceName;
    static const QString ManagerPath;
    // How long one call may wait for the service (it may be asking the provider).
    static constexpr int CallTimeoutMs = 5000;
    // Tokens are a few kilobytes; anything much longer is not one.
    static constexpr qsizetype MaxTokenBytes = 64 * 1024;

    explicit OnlineAccounts(const QDBusConnection &bus = QDBusConnection::sessionBus());

    // Empty when the service can be asked; otherwise why not, for the user.
    QString unavailableReason() const;
    // The accounts that read mail over IMAP and sign in with OAuth2, by identity. Empty
    // with *problem set when the service could not be asked.
    QList<Account> mailAccounts(QString *problem = nullptr) const;
    // A token of the account with that id. fresh: the last one was refused, so the service
    // renews its credentials first. Empty value with the problem on failure.
    ImapTokenSource::Token accessToken(const QString &id, bool fresh) const;

private:
    // Why a call failed, for the user.
    QString failure(const QDBusMessage &reply) const;
    QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments = {}) const;

    QDBusConnection m_bus;
};

} // namespace lumora
