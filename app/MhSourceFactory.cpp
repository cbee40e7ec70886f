#include "app/MhSourceFactory.h"

#include "host/mh/MhSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace lumora {

QString MhSourceFactory::canonical(const QString &root)
{
    const QString c = QFileInfo(root).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QDir(root).absolutePath()) : c;
}

std::unique_ptr<MailSource> MhSourceFactory::create(const QString &root, QString *why)
{
    const QFileInfo info(root);
    if (!info.exists()) {
        *why = QCoreApplication::translate("MhSourceFactory", "the MH mail directory %1 does not exist").arg(root);
        return nullptr;
    }
    if (!info.isDir()) {
        *why = QCoreApplication::translate("MhSourceFactory", "the MH mail directory %1 is not a folder").arg(root);
        return nullptr;
    }
    return std::make_unique<MhSource>(canonical(root));
}

} // namespace lumora
