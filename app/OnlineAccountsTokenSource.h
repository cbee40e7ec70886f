#pragma once

#include "app/OnlineAccounts.h"
#include "host/imap/ImapTokenSource.h"

#include <QString>

namespace lumora {

// Sign-in tokens of one of the desktop's online accounts, by its id: the desktop keeps the
// user's grant and refreshes it, so Lumora never sees a password or a refresh token.
class OnlineAccountsTokenSource : public ImapTokenSource
{
public:
    explicit OnlineAccountsTokenSource(const QString &accountId,
                                       const QDBusConnection &bus = QDBusConnection::sessionBus());

    QString describe() const override;

protected:
    Token fetch(bool fresh) override;

private:
    QString m_accountId;
    OnlineAccounts m_accounts;
};

} // namespace lumora
