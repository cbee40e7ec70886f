#include "host/mbox/MboxStore.h"

#include "host/common/HexText.h"

namespace lumora {

MboxStore::MboxStore(const QString &path)
    : m_file(path)
    , m_storeId(HexText::encode(QStringLiteral("B") + path))
{
}

QString MboxStore::folderEntryId()
{
    return HexText::encode(QStringLiteral("BINBOX"));
}

QString MboxStore::itemEntryId(quint64 identity, quint16 occurrence)
{
    return HexText::encode(QStringLiteral("B%1.%2").arg(identity, 16, 16, QLatin1Char('0')).arg(occurrence));
}

bool MboxStore::parseItemEntryId(const QString &id, quint64 *identity, quint16 *occurrence)
{
    QString text;
    if (!HexText::decode(id, &text) || text.size() < 19 || !text.startsWith(QLatin1Char('B'))
        || text.at(17) != QLatin1Char('.'))
        return false;
    bool ok = false;
    const quint64 hash = text.mid(1, 16).toULongLong(&ok, 16);
    if (!ok)
        return false;
    const uint n = text.mid(18).toUInt(&ok);
    if (!ok || n > 0xFFFF)
        return false;
    *identity = hash;
    *occurrence = quint16(n);
    return true;
}

} // namespace lumora
