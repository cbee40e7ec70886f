#include "app/OnlineAccountsTokenSource.h"

#include <QCoreApplication>

namespace lumora {

OnlineAccountsTokenSource::OnlineAccountsTokenSource(const QString &accountId, const QDBusConnection &bus)
    : m_accountId(accountId)
    , m_accounts(bus)
{
}

QString OnlineAccountsTokenSource::describe() const
{
    return QCoreApplication::translate("OnlineAccountsTokenSource", "the online account %1").arg(m_accountId);
}

ImapTokenSource::Token OnlineAccountsTokenSource::fetch(bool fresh)
{
    return m_accounts.accessToken(m_accountId, fresh);
}

} // namespace lumora
