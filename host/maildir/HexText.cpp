#include "host/maildir/HexText.h"

namespace lumora {

QString HexText::encode(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

bool HexText::decode(const QString &id, QString *text)
{
    if (id.isEmpty() || id.size() % 2 != 0)
        return false;
    for (QChar c : id) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            return false;
    }
    *text = QString::fromUtf8(QByteArray::fromHex(id.toLatin1()));
    return true;
}

} // namespace lumora
