#include "app/MaildirSourceFactory.h"

#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace lumora {

QString MaildirSourceFactory::defaultRoot()
{
    return MaildirApplication::defaultStoreRoots().constFirst();
}

QString MaildirSourceFactory::canonical(const QString &root)
{
    const QString c = QFileInfo(root).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QDir(root).absolutePath()) : c;
}

std::unique_ptr<MailSource> MaildirSourceFactory::create(const QString &root, QString *why)
{
    const QFileInfo info(root);
    if (!info.exists()) {
        *why = QCoreApplication::translate("MaildirSourceFactory", "the Maildir store %1 does not exist").arg(root);
        return nullptr;
    }
    if (!info.isDir()) {
        *why = QCoreApplication::translate("MaildirSourceFactory", "the Maildir store %1 is not a folder").arg(root);
        return nullptr;
    }
    auto source = std::make_unique<MaildirSource>(root);
    if (!source->isValid()) {
        *why = QCoreApplication::translate("MaildirSourceFactory", "the Maildir store %1 cannot be opened").arg(root);
        return nullptr;
    }
    return source;
}

} // namespace lumora
