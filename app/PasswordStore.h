#pragma once

#include <QString>

#include <optional>

namespace lumora {

// Where account passwords are kept: the desktop's secret service, never a plain file.
class PasswordStore
{
public:
    virtual ~PasswordStore() = default;

    // The stored password; null when none is stored or the store cannot be reached (then
    // *problem says why).
    virtual std::optional<QString> read(const QString &account, QString *problem) = 0;
    // False with *problem when the password could not be stored.
    virtual bool write(const QString &account, const QString &password, QString *problem) = 0;
};

} // namespace lumora
