#pragma once

#include <QString>

namespace lumora {

// Text as upper-case hexadecimal digits of its UTF-8: ids that are safe in INI values and
// never hold "|", "=", ":" or blanks.
class HexText
{
public:
    static QString encode(const QString &text);
    // False for anything but an even count of upper-case hex digits.
    static bool decode(const QString &id, QString *text);
};

} // namespace lumora
