#include "support/LibraryLocation.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace lumora::LibraryLocation {

QString path()
{
    // The address of a function of this file lies inside whichever module linked it.
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void *>(&path), &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

QString folder()
{
    const QString file = path();
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

} // namespace lumora::LibraryLocation
