// Feeds bytes as a program file (a PE image, or an ELF library carrying one) and as a bare
// VS_VERSIONINFO resource, then asks the resulting block for every value it claims to hold.
#include "platform/core/PeImage.h"
#include "platform/core/VersionInfo.h"
#include "platform/core/VersionResource.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>

namespace {

void touch(const void *value, quint32 len)
{
    // Reading every byte makes ASan check the whole claimed extent.
    volatile unsigned char sink = 0;
    const auto *bytes = static_cast<const unsigned char *>(value);
    for (quint32 i = 0; i < len; ++i)
        sink = sink ^ bytes[i];
}

void queryAll(const QByteArray &resource)
{
    const QByteArray block = lumora::ver::versionBlockFromResource(resource);
    if (block.isEmpty())
        return;
    const void *value = nullptr;
    quint32 len = 0;
    if (lumora::ver::VerQueryValueA(block.constData(), QStringLiteral("\\"), &value, &len))
        touch(value, len);
    if (lumora::ver::VerQueryValueA(block.constData(), QStringLiteral("\\VarFileInfo\\Translation"), &value, &len)) {
        touch(value, len);
        char name[64];
        lumora::ver::VerLanguageNameA(static_cast<const unsigned char *>(value)[0], name, sizeof name);
    }
    const auto parsed = lumora::VersionResource::parse(resource);
    if (!parsed)
        return;
    for (const auto &table : parsed->stringTables) {
        for (const auto &entry : table.entries) {
            const QString path = QStringLiteral("\\StringFileInfo\\") + table.key + QLatin1Char('\\') + entry.first;
            if (lumora::ver::VerQueryValueA(block.constData(), path, &value, &len))
                touch(value, len);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    queryAll(lumora::PeImage::versionResourceOfImage(bytes, qsizetype(size)));
    queryAll(QByteArray(bytes, qsizetype(size)));
    return 0;
}
