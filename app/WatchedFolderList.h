#pragma once

#include <QSet>
#include <QString>

namespace lumora {

// The watched folders kept in Lumora.ini's [EntryID] section ("EIDn = entry|store"), as
// the host changes them when it opens or closes a source while Lumora runs.
class WatchedFolderList
{
public:
    // The INI file in the data folder.
    static QString iniFile();
    // Adds the folder unless it is listed; false (with *why) when the file cannot be written.
    static bool add(const QString &entryId, const QString &storeId, QString *why);
    // The stores with at least one watched folder.
    static QSet<QString> stores();
    // Drops every folder of the store; false (with *why) when the file cannot be written.
    static bool removeStore(const QString &storeId, QString *why);
};

} // namespace lumora
