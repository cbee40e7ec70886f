#include "app/MboxSourceFactory.h"

#include "host/mbox/MboxSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumora {

QString MboxSourceFactory::defaultSpool()
{
    return qEnvironmentVariable("MAIL");
}

QString MboxSourceFactory::canonical(const QString &path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QDir(path).absolutePath()) : c;
}

std::unique_ptr<MailSource> MboxSourceFactory::create(const QString &path, QString *why)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        *why = QCoreApplication::translate("MboxSourceFactory", "%1 is a folder, not an mbox file").arg(path);
        return nullptr;
    }
    if (!info.exists()) {
        if (!QFileInfo(info.absolutePath()).isDir()) {
            *why = QCoreApplication::translate("MboxSourceFactory", "the folder of the mbox file %1 does not exist")
                       .arg(path);
            return nullptr;
        }
    } else if (info.isFile() && info.size() > 0) {
        // A file of another kind named by mistake would otherwise look like an empty mailbox.
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && !file.read(5).startsWith("From ")) {
            *why = QCoreApplication::translate("MboxSourceFactory",
                                               "%1 is no mbox file (it does not begin with "
                                               "\"From \")")
                       .arg(path);
            return nullptr;
        }
    }
    return std::make_unique<MboxSource>(canonical(path));
}

} // namespace lumora
