#include "host/maildir/MaildirApplication.h"

#include "host/maildir/MaildirSource.h"

#include <QDir>

namespace lumora {

MaildirApplication::MaildirApplication(const QStringList &storeRoots, QObject *parent)
    : MailApplication(parent)
{
    for (const QString &root : storeRoots)
        addSource(std::make_unique<MaildirSource>(root));
    start();
}

MaildirApplication::~MaildirApplication() = default;

QStringList MaildirApplication::defaultStoreRoots(const QStringList &extraRoots)
{
    QStringList roots;
    const QString env = qEnvironmentVariable("MAILDIR");
    roots.append(env.isEmpty() ? QDir::homePath() + QStringLiteral("/Maildir") : env);
    roots.append(extraRoots);
    return roots;
}

QList<std::shared_ptr<MaildirStore>> MaildirApplication::stores() const
{
    QList<std::shared_ptr<MaildirStore>> out;
    for (MailSource *source : sources()) {
        if (auto *maildir = qobject_cast<MaildirSource *>(source))
            out.append(maildir->store());
    }
    return out;
}

MaildirWatcher *MaildirApplication::watcher() const
{
    for (MailSource *source : sources()) {
        if (auto *maildir = qobject_cast<MaildirSource *>(source))
            return maildir->watcher();
    }
    return nullptr;
}

} // namespace lumora
