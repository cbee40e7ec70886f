#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace lumora {

// Writes resource-only PE images that carry one version resource: the build's stand-in
// for the mail host's program file and the source of test fixtures.
class PeWriter
{
public:
    struct StringTable
    {
        QString key; // eight hex digits: language then code page, e.g. "040904B0"
        QList<QPair<QString, QString>> entries;
    };

    struct VersionData
    {
        quint16 fileVersion[4] = {1, 0, 0, 0};
        quint16 productVersion[4] = {1, 0, 0, 0};
        quint32 structureVersion = 0x00010000;
        quint32 flagsMask = 0x3F;
        quint32 flags = 0;
        quint32 os = 0x00040004; // NT, 32-bit Windows
        quint32 type = 1; // application
        quint32 subType = 0;
        bool withFixedInfo = true;
        // Each entry: language in the low 16 bits, code page in the high 16 bits.
        QList<quint32> translations = {0x04B00409};
        QList<StringTable> stringTables;
    };

    // Layout of the images written, for tests that damage particular fields.
    static constexpr int PeHeaderOffset = 0x40;
    static constexpr int ResourceFileOffset = 0x200;
    static constexpr quint32 ResourceRva = 0x1000;
    static constexpr int NameDirectoryOffset = 24; // within the resource section
    static constexpr int LanguageDirectoryOffset = 48;
    static constexpr int DataEntryOffset = 72;
    static constexpr int ResourceDataOffset = 88;

    // A VS_VERSIONINFO resource (UTF-16 keys, DWORD-aligned children).
    static QByteArray versionResource(const VersionData &data);
    // A PE32 or PE32+ image whose only section holds the resource tree type 16, id 1,
    // the given language, and the resource bytes.
    static QByteArray image(const QByteArray &resource, bool pe32Plus, quint16 language = 0x0409);
    // The same with one version resource per language, in the order given.
    static QByteArray image(const QList<QPair<quint16, QByteArray>> &resources, bool pe32Plus);
    // Writes bytes atomically; false on failure.
    static bool writeFile(const QString &path, const QByteArray &bytes);
};

} // namespace lumora
