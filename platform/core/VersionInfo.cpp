#include "platform/core/VersionInfo.h"

#include "platform/core/LanguageNames.h"
#include "platform/core/PeImage.h"
#include "platform/core/VersionResource.h"

#include <QDir>
#include <QtEndian>

#include <cstring>

namespace lumora::ver {

namespace {

// Block layout (all words little-endian, offsets from the block's start):
//   0  magic, 4 total size, 8 fixed present (0/1), 12 fixed record (52 bytes)
//   64 translation count, then the translations
//   then table count; per table: key offset, entry count, entries of
//   (name offset, value offset, value length)
//   then the string area, each string UTF-8 and zero-terminated.
constexpr quint32 kMagic = 0x3142564Cu; // "LVB1"
constexpr quint32 kFixedOffset = 12;
constexpr quint32 kTranslationsOffset = kFixedOffset + VersionResource::FixedInfoSize;

class BlockWriter
{
public:
    void word(quint32 value)
    {
        char bytes[4];
        qToLittleEndian(value, bytes);
        m_head.append(bytes, 4);
    }
    // Strings go to the area after the index; their offsets are fixed up once the index
    // size is known.
    void string(const QString &text)
    {
        m_fixups.append(m_head.size());
        word(quint32(m_strings.size()));
        m_strings.append(text.toUtf8());
        m_strings.append('\0');
    }
    void valueString(const QString &text)
    {
        string(text);
        word(text.isEmpty() ? 0 : quint32(text.toUtf8().size() + 1));
    }
    QByteArray &head() { return m_head; }

    QByteArray finish()
    {
        const quint32 base = quint32(m_head.size());
        for (const qsizetype at : std::as_const(m_fixups)) {
            const quint32 relative = qFromLittleEndian<quint32>(m_head.constData() + at);
            qToLittleEndian(relative + base, m_head.data() + at);
        }
        QByteArray block = m_head + m_strings;
        qToLittleEndian(quint32(block.size()), block.data() + 4);
        return block;
    }

private:
    QByteArray m_head;
    QByteArray m_strings;
    QList<qsizetype> m_fixups;
};

// Bounds-checked view of a block whose size is taken from its own header.
class BlockReader
{
public:
    explicit BlockReader(const void *block)
        : m_data(static_cast<const char *>(block))
    {
        if (!m_data || qFromLittleEndian<quint32>(m_data) != kMagic)
            return;
        m_size = qFromLittleEndian<quint32>(m_data + 4);
        if (m_size < kTranslationsOffset + 8)
            m_size = 0;
    }

    bool valid() const { return m_size != 0; }
    bool has(quint64 offset, quint64 size) const { return offset <= m_size && size <= m_size - offset; }
    quint32 word(quint64 offset) const { return has(offset, 4) ? qFromLittleEndian<quint32>(m_data + offset) : 0; }
    const char *at(quint64 offset) const { return m_data + offset; }
    // The zero-terminated string at offset, or nullptr when it does not end inside the block.
    const char *string(quint64 offset) const
    {
        if (!has(offset, 1))
            return nullptr;
        const void *end = std::memchr(m_data + offset, 0, m_size - offset);
        return end ? m_data + offset : nullptr;
    }

private:
    const char *m_data;
    quint32 m_size = 0;
};

QByteArray blockFromFile(const QString &path)
{
    return versionBlockFromResource(PeImage::versionResourceOfFile(path));
}

} // namespace

QByteArray versionBlockFromResource(const QByteArray &resource)
{
    const auto parsed = VersionResource::parse(resource);
    if (!parsed)
        return {};

    BlockWriter writer;
    writer.word(kMagic);
    writer.word(0); // total size, set by finish()
    const bool hasFixed = parsed->fixedInfo.size() == VersionResource::FixedInfoSize;
    writer.word(hasFixed ? 1 : 0);
    writer.head().append(hasFixed ? parsed->fixedInfo : QByteArray(VersionResource::FixedInfoSize, '\0'));
    writer.word(quint32(parsed->translations.size()));
    for (const quint32 translation : parsed->translations)
        writer.word(translation);
    writer.word(quint32(parsed->stringTables.size()));
    for (const auto &table : parsed->stringTables) {
        writer.string(table.key);
        writer.word(quint32(table.entries.size()));
        for (const auto &entry : table.entries) {
            writer.string(entry.first);
            writer.valueString(entry.second);
        }
    }
    return writer.finish();
}

DWORD GetFileVersionInfoSizeA(const QString &path, DWORD *handle)
{
    if (handle)
        *handle = 0;
    return DWORD(blockFromFile(path).size());
}

bool GetFileVersionInfoA(const QString &path, DWORD handle, DWORD len, void *data)
{
    Q_UNUSED(handle);
    if (!data)
        return false;
    const QByteArray block = blockFromFile(path);
    if (block.isEmpty() || DWORD(block.size()) > len)
        return false;
    std::memcpy(data, block.constData(), size_t(block.size()));
    return true;
}

bool VerQueryValueA(const void *block, const QString &subBlock, const void **buffer, quint32 *len)
{
    if (!buffer || !len)
        return false;
    const BlockReader reader(block);
    if (!reader.valid())
        return false;

    const QStringList parts = subBlock.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const auto is = [](const QString &a, const char *b) {
        return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
    };

    if (parts.isEmpty()) {
        if (reader.word(8) != 1)
            return false;
        *buffer = reader.at(kFixedOffset);
        *len = VersionResource::FixedInfoSize;
        return true;
    }

    const quint64 translationCount = reader.word(kTranslationsOffset);
    const quint64 translations = kTranslationsOffset + 4;
    if (!reader.has(translations, translationCount * 4))
        return false;
    if (parts.size() == 2 && is(parts[0], "VarFileInfo") && is(parts[1], "Translation")) {
        if (translationCount == 0)
            return false;
        *buffer = reader.at(translations);
        *len = quint32(translationCount * 4);
        return true;
    }
    if (parts.size() != 3 || !is(parts[0], "StringFileInfo"))
        return false;

    quint64 pos = translations + translationCount * 4;
    const quint32 tableCount = reader.word(pos);
    pos += 4;
    for (quint32 t = 0; t < tableCount && reader.has(pos, 8); ++t) {
        const char *key = reader.string(reader.word(pos));
        const quint64 entryCount = reader.word(pos + 4);
        pos += 8;
        if (!reader.has(pos, entryCount * 12))
            return false;
        if (key && QString::fromUtf8(key).compare(parts[1], Qt::CaseInsensitive) == 0) {
            for (quint64 e = 0; e < entryCount; ++e) {
                const quint64 entry = pos + e * 12;
                const char *name = reader.string(reader.word(entry));
                if (!name || QString::fromUtf8(name).compare(parts[2], Qt::CaseInsensitive) != 0)
                    continue;
                const quint32 valueOffset = reader.word(entry + 4);
                const char *value = reader.string(valueOffset);
                if (!value)
                    return false;
                *buffer = value;
                *len = quint32(qMin<size_t>(reader.word(entry + 8), std::strlen(value) + 1));
                return true;
            }
        }
        pos += entryCount * 12;
    }
    return false;
}

DWORD VerLanguageNameA(DWORD langId, char *buffer, DWORD size)
{
    const QByteArray name = LanguageNames::name(langId).toUtf8();
    if (name.isEmpty())
        return 0;
    if (buffer && size > 0) {
        const DWORD copied = qMin<DWORD>(DWORD(name.size()), size - 1);
        std::memcpy(buffer, name.constData(), copied);
        buffer[copied] = '\0';
    }
    return DWORD(name.size());
}

DWORD GetFullPathNameA(const QString &path, DWORD bufferLength, QString *result)
{
    if (path.isEmpty())
        return 0;
    const QString full = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    const DWORD length = DWORD(full.toUtf8().size());
    if (length >= bufferLength)
        return length + 1;
    if (result)
        *result = full;
    return length;
}

} // namespace lumora::ver
