#include "settings/modSpecialFolders.h"

#include <QDir>

namespace lumora::modSpecialFolders {

QString GetSpecialFolder(qint32 folderId)
{
    if (folderId != CSIDL_APPDATA)
        return QString();
    // Read on every call: tests and the session may point it elsewhere at any time.
    QString path = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        path = QDir::homePath() + QStringLiteral("/.local/share");
    path = QDir::cleanPath(path);
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace lumora::modSpecialFolders
