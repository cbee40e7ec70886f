#include "host/maildir/MaildirApplication.h"

#include "host/maildir/MaildirNameSpace.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"

#include <QDir>
#include <QDirIterator>

namespace lumora {

MaildirApplication::MaildirApplication(const QStringList &storeRoots, QObject *parent)
    : MailHostApplication(parent)
{
    QStringList seen;
    for (const QString &root : storeRoots) {
        auto store = std::make_shared<MaildirStore>(root);
        // The same store named twice would report every message twice.
        if (!store->isValid() || seen.contains(store->rootPath()))
            continue;
        seen.append(store->rootPath());
        m_stores.append(store);
    }
    setNameSpace(new MaildirNameSpace(m_stores, this));
    m_watcher = new MaildirWatcher(m_stores, this);
    connect(m_watcher, &MaildirWatcher::newMail, this, &host::Application::NewMail);
    connect(m_watcher, &MaildirWatcher::problemsChanged, this, &MailHostApplication::problemsChanged);
    announceWaitingMailSoon();
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

QString MaildirApplication::version() const
{
    return QStringLiteral(LUMORA_MAILDIR_HOST_VERSION);
}

void MaildirApplication::setDisplayCommand(const QString &command)
{
    m_displayCommand = command.trimmed().isEmpty() ? QStringLiteral("xdg-open") : command;
    for (const auto &store : m_stores)
        store->setDisplayCommand(m_displayCommand);
}

bool MaildirApplication::holdsWaitingMail() const
{
    for (const auto &store : m_stores) {
        for (const QString &dir : store->folderDirs()) {
            QDirIterator it(store->folderPath(dir) + QStringLiteral("/new"), QDir::Files | QDir::Hidden);
            if (it.hasNext())
                return true;
        }
    }
    return false;
}

QString MaildirApplication::problems() const
{
    return m_watcher->problems();
}

void MaildirApplication::checkForChanges()
{
    m_watcher->checkNow();
}

} // namespace lumora
