#pragma once

#include <QString>

namespace lumora {

// A rejected property value: what the setter would have raised. The value is not stored
// and the caller carries on; the record lets callers and tests see why.
struct PopupError
{
    int number = 0;
    QString description;
    QString source;

    bool isSet() const { return number != 0; }
};

} // namespace lumora
