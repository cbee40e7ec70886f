#include "host/common/HexText.h"

#include <QStringDecoder>

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
    // Ids are made from UTF-8 text only; anything else is not one of ours and would not
    // name the same thing again once decoded with replacement characters (or without a
    // leading U+FEFF, which the decoder would otherwise drop).
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    *text = decoder.decode(QByteArray::fromHex(id.toLatin1()));
    return !decoder.hasError();
}

} // namespace lumora
