// Prints what our version-resource reader finds in each file, one JSON object per line:
// the fixed record's words, the translations and every string entry. Developer tool for
// checking the reader against other readers (see compare-version-readers).
#include "platform/core/PeImage.h"
#include "platform/core/VersionInfo.h"
#include "platform/core/VersionResource.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QtEndian>

#include <cstring>

using namespace lumora::ver;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList paths = app.arguments().mid(1);
    for (const QString &path : paths) {
        QJsonObject result{{QStringLiteral("path"), path}};
        const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
        QByteArray block(qsizetype(size), '\0');
        if (size && GetFileVersionInfoA(path, 0, size, block.data())) {
            const void *value = nullptr;
            quint32 len = 0;
            if (VerQueryValueA(block.constData(), QStringLiteral("\\"), &value, &len)) {
                QJsonArray words;
                for (quint32 i = 0; i + 4 <= len; i += 4)
                    words.append(qint64(qFromLittleEndian<quint32>(static_cast<const char *>(value) + i)));
                result.insert(QStringLiteral("fixed"), words);
            }
            QJsonArray translations;
            if (VerQueryValueA(block.constData(), QStringLiteral("\\VarFileInfo\\Translation"), &value, &len)) {
                for (quint32 i = 0; i + 4 <= len; i += 4)
                    translations.append(qint64(qFromLittleEndian<quint32>(static_cast<const char *>(value) + i)));
            }
            result.insert(QStringLiteral("translations"), translations);
            // Keys come from the parser; values go through the public query path.
            QJsonObject tables;
            const auto parsed = lumora::VersionResource::parse(lumora::PeImage::versionResourceOfFile(path));
            for (const auto &table : parsed ? parsed->stringTables : QList<lumora::VersionResource::StringTable>()) {
                QJsonObject entries = tables.value(table.key).toObject();
                for (const auto &entry : table.entries) {
                    const QString query =
                        QStringLiteral("\\StringFileInfo\\") + table.key + QLatin1Char('\\') + entry.first;
                    QString text;
                    if (VerQueryValueA(block.constData(), query, &value, &len) && len)
                        text = QString::fromUtf8(static_cast<const char *>(value),
                                                 qsizetype(strnlen(static_cast<const char *>(value), len)));
                    if (!entries.contains(entry.first))
                        entries.insert(entry.first, text);
                }
                tables.insert(table.key, entries);
            }
            result.insert(QStringLiteral("strings"), tables);
        }
        out << QJsonDocument(result).toJson(QJsonDocument::Compact) << '\n';
    }
    return 0;
}
