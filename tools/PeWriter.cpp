#include "tools/PeWriter.h"

#include <QSaveFile>
#include <QtEndian>

namespace lumora {

namespace {

constexpr int kFileAlignment = 0x200;
constexpr int kSectionAlignment = 0x1000;
constexpr quint32 kSubdirectory = 0x80000000u;

int alignUp(int value, int alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

void put16(QByteArray &b, int at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}

void put32(QByteArray &b, int at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

void append16(QByteArray &b, quint16 v)
{
    char bytes[2];
    qToLittleEndian(v, bytes);
    b.append(bytes, 2);
}

void append32(QByteArray &b, quint32 v)
{
    char bytes[4];
    qToLittleEndian(v, bytes);
    b.append(bytes, 4);
}

void pad4(QByteArray &b)
{
    while (b.size() % 4)
        b.append('\0');
}

QByteArray utf16z(const QString &text)
{
    QByteArray b;
    for (const QChar c : text)
        append16(b, c.unicode());
    append16(b, 0);
    return b;
}

// wLength covers the header, key, value and children, not the node's own tail padding.
QByteArray node(const QString &key, quint16 type, quint16 valueLength, const QByteArray &value,
                const QList<QByteArray> &children)
{
    QByteArray b(6, '\0');
    b.append(utf16z(key));
    pad4(b);
    b.append(value);
    for (const QByteArray &child : children) {
        pad4(b);
        b.append(child);
    }
    put16(b, 0, quint16(b.size()));
    put16(b, 2, valueLength);
    put16(b, 4, type);
    return b;
}

quint32 versionWord(quint16 high, quint16 low)
{
    return (quint32(high) << 16) | low;
}

} // namespace

QByteArray PeWriter::versionResource(const VersionData &data)
{
    QByteArray fixed;
    if (data.withFixedInfo) {
        append32(fixed, 0xFEEF04BDu);
        append32(fixed, data.structureVersion);
        append32(fixed, versionWord(data.fileVersion[0], data.fileVersion[1]));
        append32(fixed, versionWord(data.fileVersion[2], data.fileVersion[3]));
        append32(fixed, versionWord(data.productVersion[0], data.productVersion[1]));
        append32(fixed, versionWord(data.productVersion[2], data.productVersion[3]));
        append32(fixed, data.flagsMask);
        append32(fixed, data.flags);
        append32(fixed, data.os);
        append32(fixed, data.type);
        append32(fixed, data.subType);
        append32(fixed, 0);
        append32(fixed, 0);
    }

    QList<QByteArray> blocks;
    if (!data.stringTables.isEmpty()) {
        QList<QByteArray> tables;
        for (const StringTable &table : data.stringTables) {
            QList<QByteArray> strings;
            for (const auto &entry : table.entries) {
                const QByteArray value = utf16z(entry.second);
                strings.append(node(entry.first, 1, quint16(value.size() / 2), value, {}));
            }
            tables.append(node(table.key, 1, 0, {}, strings));
        }
        blocks.append(node(QStringLiteral("StringFileInfo"), 1, 0, {}, tables));
    }
    if (!data.translations.isEmpty()) {
        QByteArray value;
        for (const quint32 translation : data.translations)
            append32(value, translation);
        const QByteArray var = node(QStringLiteral("Translation"), 0, quint16(value.size()), value, {});
        blocks.append(node(QStringLiteral("VarFileInfo"), 1, 0, {}, {var}));
    }
    return node(QStringLiteral("VS_VERSION_INFO"), 0, quint16(fixed.size()), fixed, blocks);
}

QByteArray PeWriter::image(const QByteArray &resource, bool pe32Plus, quint16 language)
{
    return image(QList<QPair<quint16, QByteArray>>{{language, resource}}, pe32Plus);
}

QByteArray PeWriter::image(const QList<QPair<quint16, QByteArray>> &resources, bool pe32Plus)
{
    // The resource section: type and name directories with one entry each, a language
    // directory with an entry per resource, the data entries, then the data.
    const int count = int(resources.size());
    const int dataEntries = LanguageDirectoryOffset + 16 + 8 * count;
    QByteArray rsrc(dataEntries + 16 * count, '\0');
    put16(rsrc, 14, 1); // root: one id entry
    put32(rsrc, 16, 16); // RT_VERSION
    put32(rsrc, 20, kSubdirectory | NameDirectoryOffset);
    put16(rsrc, NameDirectoryOffset + 14, 1);
    put32(rsrc, NameDirectoryOffset + 16, 1);
    put32(rsrc, NameDirectoryOffset + 20, kSubdirectory | LanguageDirectoryOffset);
    put16(rsrc, LanguageDirectoryOffset + 14, quint16(count));
    for (int i = 0; i < count; ++i) {
        const int entry = dataEntries + 16 * i;
        put32(rsrc, LanguageDirectoryOffset + 16 + 8 * i, resources[i].first);
        put32(rsrc, LanguageDirectoryOffset + 20 + 8 * i, quint32(entry));
        pad4(rsrc);
        put32(rsrc, entry, ResourceRva + quint32(rsrc.size()));
        put32(rsrc, entry + 4, quint32(resources[i].second.size()));
        rsrc.append(resources[i].second);
    }
    const int rsrcVirtualSize = int(rsrc.size());
    rsrc.resize(alignUp(rsrcVirtualSize, kFileAlignment), '\0');

    const int optionalSize = pe32Plus ? 240 : 224;
    QByteArray b(ResourceFileOffset, '\0');
    put16(b, 0, 0x5A4D);
    put32(b, 0x3C, PeHeaderOffset);
    const int coff = PeHeaderOffset + 4;
    put32(b, PeHeaderOffset, 0x00004550);
    put16(b, coff, pe32Plus ? 0x8664 : 0x014C);
    put16(b, coff + 2, 1);
    put16(b, coff + 16, quint16(optionalSize));
    put16(b, coff + 18, pe32Plus ? 0x0022 : 0x0102); // executable; large-address or 32-bit

    const int opt = coff + 20;
    const quint32 imageSize = ResourceRva + quint32(alignUp(rsrcVirtualSize, kSectionAlignment));
    put16(b, opt, pe32Plus ? 0x20B : 0x10B);
    put32(b, opt + 8, quint32(rsrc.size())); // initialised data
    if (pe32Plus)
        qToLittleEndian(quint64(0x140000000ull), b.data() + opt + 24);
    else
        put32(b, opt + 28, 0x00400000);
    put32(b, opt + 32, kSectionAlignment);
    put32(b, opt + 36, kFileAlignment);
    put16(b, opt + 40, 4);
    put16(b, opt + 48, 4);
    put32(b, opt + 56, imageSize);
    put32(b, opt + 60, ResourceFileOffset);
    put16(b, opt + 68, 2); // GUI subsystem
    const int numberOfDirs = pe32Plus ? 108 : 92;
    const int dirs = pe32Plus ? 112 : 96;
    put32(b, opt + numberOfDirs, 16);
    put32(b, opt + dirs + 16, ResourceRva);
    put32(b, opt + dirs + 20, quint32(rsrcVirtualSize));

    const int section = opt + optionalSize;
    b.replace(section, 6, ".rsrc\0", 6);
    put32(b, section + 8, quint32(rsrcVirtualSize));
    put32(b, section + 12, ResourceRva);
    put32(b, section + 16, quint32(rsrc.size()));
    put32(b, section + 20, ResourceFileOffset);
    put32(b, section + 36, 0x40000040u); // initialised data, readable

    return b + rsrc;
}

bool PeWriter::writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace lumora
