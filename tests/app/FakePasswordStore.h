#pragma once

#include "app/PasswordStore.h"

#include <QMap>

namespace lumora::test {

// A secret service in memory that can be made unreachable.
class FakePasswordStore : public PasswordStore
{
public:
    std::optional<QString> read(const QString &account, QString *problem) override
    {
        if (!reachable) {
            *problem = QStringLiteral("no secret service");
            return std::nullopt;
        }
        return stored.contains(account) ? std::optional<QString>(stored.value(account)) : std::nullopt;
    }
    bool write(const QString &account, const QString &password, QString *problem) override
    {
        if (!reachable) {
            *problem = QStringLiteral("no secret service.");
            return false;
        }
        stored.insert(account, password);
        return true;
    }

    bool reachable = true;
    QMap<QString, QString> stored;
};

} // namespace lumora::test
