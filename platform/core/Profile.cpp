#include "platform/core/Profile.h"

#include "platform/core/IniDocument.h"
#include "platform/core/IniFileCache.h"

#include <cstring>

namespace lumora {

namespace {

quint32 copyList(const QList<QByteArray> &entries, char *buffer, quint32 size)
{
    if (!buffer || size == 0)
        return 0;
    QByteArray list;
    for (const QByteArray &entry : entries) {
        list += entry;
        list += '\0';
    }
    if (quint64(list.size()) + 1 <= size) {
        std::memcpy(buffer, list.constData(), size_t(list.size()));
        buffer[list.size()] = '\0';
        // Empty lists get their second NUL too, where it fits.
        if (list.isEmpty() && size > 1)
            buffer[1] = '\0';
        return quint32(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.constData(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

quint32 copyValue(const QByteArray &value, char *buffer, quint32 size)
{
    if (!buffer || size == 0)
        return 0;
    quint64 length = quint64(value.size());
    if (length > size - 1) {
        length = size - 1;
        // A cut inside a UTF-8 sequence moves back to its lead byte, so a character is
        // dropped whole, not half.
        while (length > 0 && (static_cast<unsigned char>(value[qsizetype(length)]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(buffer, value.constData(), size_t(length));
    buffer[length] = '\0';
    return quint32(length);
}

QByteArray withoutTrailingBlanks(const char *text)
{
    QByteArray result(text ? text : "");
    while (!result.isEmpty() && (result.endsWith(' ') || result.endsWith('\t')))
        result.chop(1);
    return result;
}

} // namespace

quint32 GetPrivateProfileStringA(const char *section, const char *key, const char *def, char *buffer, quint32 size,
                                 const QString &file)
{
    if (!buffer || size == 0)
        return 0;
    const IniDocument doc = IniFileCache::instance().document(file);
    if (!section)
        return copyList(doc.sectionNames(), buffer, size);
    if (!key)
        return copyList(doc.keys(section), buffer, size);
    const std::optional<QByteArray> value = doc.value(section, key);
    return copyValue(value ? *value : withoutTrailingBlanks(def), buffer, size);
}

bool WritePrivateProfileStringA(const char *section, const char *key, const char *value, const QString &file)
{
    // Only the all-null call is the flush; a key or value with no section writes nothing
    // and must not be reported as written.
    if (!section)
        return !key && !value && IniFileCache::instance().flush(file);
    const QByteArray sectionName(section);
    if (!IniDocument::isWritableSection(sectionName))
        return false;
    if (!key) {
        return IniFileCache::instance().modify(file, [&](IniDocument &doc) { return doc.removeSection(sectionName); });
    }
    const QByteArray keyName(key);
    if (!IniDocument::isWritableKey(keyName))
        return false;
    if (!value) {
        return IniFileCache::instance().modify(file,
                                               [&](IniDocument &doc) { return doc.removeKey(sectionName, keyName); });
    }
    const QByteArray text(value);
    if (!IniDocument::isWritableValue(text))
        return false;
    return IniFileCache::instance().modify(file,
                                           [&](IniDocument &doc) { return doc.setValue(sectionName, keyName, text); });
}

quint32 GetPrivateProfileSectionA(const char *section, char *buffer, quint32 size, const QString &file)
{
    if (!buffer || size == 0)
        return 0;
    if (!section)
        return copyList({}, buffer, size);
    return copyList(IniFileCache::instance().document(file).sectionLines(section), buffer, size);
}

quint32 GetPrivateProfileSectionNamesA(char *buffer, quint32 size, const QString &file)
{
    return GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, size, file);
}

bool WritePrivateProfileSectionA(const char *section, const char *lines, const QString &file)
{
    if (!section)
        return false;
    const QByteArray sectionName(section);
    if (!IniDocument::isWritableSection(sectionName))
        return false;
    if (!lines)
        return IniFileCache::instance().modify(file, [&](IniDocument &doc) { return doc.removeSection(sectionName); });
    QList<QByteArray> body;
    for (const char *p = lines; *p; p += std::strlen(p) + 1) {
        const QByteArray line(p);
        if (!IniDocument::isWritableLine(line))
            return false;
        // A blank line carries no key; the section's own separators are kept anyway.
        if (!line.trimmed().isEmpty())
            body.append(line);
    }
    return IniFileCache::instance().modify(file,
                                           [&](IniDocument &doc) { return doc.replaceSection(sectionName, body); });
}

} // namespace lumora
