#include "host/common/MailboxName.h"

#include <QByteArray>

namespace lumora {

QString MailboxName::decode(const QString &encoded)
{
    QString out;
    qsizetype i = 0;
    while (i < encoded.size()) {
        const QChar c = encoded.at(i);
        if (c != QLatin1Char('&')) {
            out.append(c);
            ++i;
            continue;
        }
        const qsizetype end = encoded.indexOf(QLatin1Char('-'), i + 1);
        if (end < 0)
            return encoded;
        if (end == i + 1) {
            out.append(QLatin1Char('&'));
            i = end + 1;
            continue;
        }
        QByteArray b64 = encoded.mid(i + 1, end - i - 1).toLatin1();
        b64.replace(',', '/');
        const auto decoded = QByteArray::fromBase64Encoding(b64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || decoded.decoded.size() % 2 != 0)
            return encoded;
        const QByteArray &utf16 = decoded.decoded;
        for (qsizetype k = 0; k + 1 < utf16.size(); k += 2)
            out.append(QChar(char16_t((uchar(utf16.at(k)) << 8) | uchar(utf16.at(k + 1)))));
        i = end + 1;
    }
    return out;
}

} // namespace lumora
