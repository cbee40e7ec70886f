#include "platform/core/VersionResource.h"

#include <QtEndian>

namespace lumora {

namespace {

constexpr qint64 kNodeHeader = 6;
constexpr quint16 kTextValue = 1;

qint64 align4(qint64 offset)
{
    return (offset + 3) & ~qint64(3);
}

// One node of the tree: wLength, wValueLength, wType, a zero-terminated UTF-16 key, the
// value and the children, each part starting on a 32-bit boundary.
struct Node
{
    qint64 end = 0;
    qint64 valueStart = 0;
    qint64 valueEnd = 0;
    qint64 childStart = 0;
    QString key;
};

class Reader
{
public:
    explicit Reader(const QByteArray &data)
        : m_data(data)
    {
    }

    quint16 u16(qint64 offset) const
    {
        return offset >= 0 && offset + 2 <= m_data.size() ? qFromLittleEndian<quint16>(m_data.constData() + offset) : 0;
    }

    // The node at offset, which must end by limit.
    std::optional<Node> node(qint64 offset, qint64 limit) const
    {
        if (offset < 0 || limit > m_data.size() || offset + kNodeHeader > limit)
            return std::nullopt;
        const quint16 length = u16(offset);
        if (length < kNodeHeader || offset + length > limit)
            return std::nullopt;
        Node n;
        n.end = offset + length;
        const quint16 valueLength = u16(offset + 2);
        const quint16 type = u16(offset + 4);
        qint64 pos = offset + kNodeHeader;
        bool terminated = false;
        while (pos + 2 <= n.end) {
            const char16_t c = u16(pos);
            pos += 2;
            if (c == 0) {
                terminated = true;
                break;
            }
            n.key.append(QChar(c));
        }
        if (!terminated)
            return std::nullopt;
        // Writers disagree on whether text lengths count characters or bytes; the node's
        // own end bounds the value either way.
        const qint64 valueBytes = type == kTextValue ? qint64(valueLength) * 2 : valueLength;
        n.valueStart = qMin(align4(pos), n.end);
        n.valueEnd = qMin(n.valueStart + valueBytes, n.end);
        n.childStart = qMin(align4(n.valueEnd), n.end);
        return n;
    }

    QList<Node> children(const Node &parent) const
    {
        QList<Node> result;
        qint64 pos = parent.childStart;
        while (pos + kNodeHeader <= parent.end) {
            const auto child = node(pos, parent.end);
            if (!child)
                break;
            result.append(*child);
            pos = align4(child->end);
        }
        return result;
    }

    QString text(const Node &n) const
    {
        QString result;
        for (qint64 pos = n.valueStart; pos + 2 <= n.valueEnd; pos += 2) {
            const char16_t c = u16(pos);
            if (c == 0)
                break;
            result.append(QChar(c));
        }
        return result;
    }

private:
    const QByteArray &m_data;
};

} // namespace

std::optional<VersionResource> VersionResource::parse(const QByteArray &raw)
{
    const Reader reader(raw);
    const auto root = reader.node(0, raw.size());
    if (!root || root->key != QLatin1String("VS_VERSION_INFO"))
        return std::nullopt;

    VersionResource result;
    if (root->valueEnd - root->valueStart >= FixedInfoSize
        && qFromLittleEndian<quint32>(raw.constData() + root->valueStart) == FixedInfoSignature)
        result.fixedInfo = raw.mid(root->valueStart, FixedInfoSize);

    for (const Node &block : reader.children(*root)) {
        if (block.key == QLatin1String("StringFileInfo")) {
            for (const Node &table : reader.children(block)) {
                StringTable t;
                t.key = table.key;
                for (const Node &entry : reader.children(table))
                    t.entries.append({entry.key, reader.text(entry)});
                result.stringTables.append(t);
            }
        } else if (block.key == QLatin1String("VarFileInfo")) {
            for (const Node &var : reader.children(block)) {
                if (var.key != QLatin1String("Translation"))
                    continue;
                for (qint64 pos = var.valueStart; pos + 4 <= var.valueEnd; pos += 4)
                    result.translations.append(qFromLittleEndian<quint32>(raw.constData() + pos));
            }
        }
    }
    return result;
}

} // namespace lumora
