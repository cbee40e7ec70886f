#pragma once

#include <QString>

namespace lumora {

// The one item filter the add-in asks every source for: "[Unread] = true".
class UnreadFilter
{
public:
    // Whether the filter is that one, spelled with any case and spacing.
    static bool matches(const QString &filter);
};

} // namespace lumora
