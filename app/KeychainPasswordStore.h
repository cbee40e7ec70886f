#pragma once

#include "app/PasswordStore.h"

namespace lumora {

// Passwords in the desktop's secret service (Secret Service API or KWallet) through
// QtKeychain, under the service name "lumora".
class KeychainPasswordStore : public PasswordStore
{
public:
    std::optional<QString> read(const QString &account, QString *problem) override;
    bool write(const QString &account, const QString &password, QString *problem) override;
};

} // namespace lumora
