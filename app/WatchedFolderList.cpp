#include "app/WatchedFolderList.h"

#include "platform/core/Profile.h"
#include "settings/SettingsLocation.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>

namespace lumora {

namespace {

const char kSection[] = "EntryID";

// The section's values in file order.
QList<QByteArray> values()
{
    // A watched-folder line is short; this holds thousands of them.
    QByteArray buffer(1 << 20, '\0');
    const quint32 n =
        GetPrivateProfileSectionA(kSection, buffer.data(), quint32(buffer.size()), WatchedFolderList::iniFile());
    QList<QByteArray> out;
    for (const QByteArray &line : buffer.left(n).split('\0')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            out.append(line.mid(eq + 1).trimmed());
    }
    return out;
}

bool write(const QList<QByteArray> &entries, QString *why)
{
    QByteArray lines;
    for (qsizetype i = 0; i < entries.size(); ++i)
        lines += "EID" + QByteArray::number(i) + '=' + entries.at(i) + '\0';
    lines += '\0';
    if (WritePrivateProfileSectionA(kSection, lines.constData(), WatchedFolderList::iniFile()))
        return true;
    *why = QCoreApplication::translate("WatchedFolderList", "the watched folders cannot be written to %1")
               .arg(WatchedFolderList::iniFile());
    return false;
}

} // namespace

QString WatchedFolderList::iniFile()
{
    return SettingsLocation::dataFolder() + QStringLiteral("/Lumora.ini");
}

bool WatchedFolderList::add(const QString &entryId, const QString &storeId, QString *why)
{
    QList<QByteArray> entries = values();
    const QByteArray entry = (entryId + QLatin1Char('|') + storeId).toUtf8();
    if (entries.contains(entry))
        return true;
    entries.append(entry);
    return write(entries, why);
}

QSet<QString> WatchedFolderList::stores()
{
    QSet<QString> out;
    for (const QByteArray &entry : values()) {
        const qsizetype bar = entry.indexOf('|');
        if (bar >= 0)
            out.insert(QString::fromUtf8(entry.mid(bar + 1)));
    }
    return out;
}

bool WatchedFolderList::removeStore(const QString &storeId, QString *why)
{
    const QList<QByteArray> entries = values();
    QList<QByteArray> kept;
    const QByteArray suffix = '|' + storeId.toUtf8();
    for (const QByteArray &entry : entries) {
        if (!entry.endsWith(suffix))
            kept.append(entry);
    }
    return kept.size() == entries.size() || write(kept, why);
}

} // namespace lumora
