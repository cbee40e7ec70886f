#include "host/common/UnreadFilter.h"

namespace lumora {

bool UnreadFilter::matches(const QString &filter)
{
    QString compact = filter.toLower();
    compact.remove(QLatin1Char(' '));
    return compact == QLatin1String("[unread]=true");
}

} // namespace lumora
