#include "host/maildir/MaildirApplication.h"

#include "host/maildir/ActiveWindowMonitor.h"
#include "host/maildir/MaildirDraftItem.h"
#include "host/maildir/MaildirExplorer.h"
#include "host/maildir/MaildirExplorers.h"
#include "host/maildir/MaildirInspectors.h"
#include "host/maildir/MaildirNameSpace.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"

#include <QDir>

namespace lumora {

MaildirApplication::MaildirApplication(const QStringList &storeRoots, QObject *parent)
    : host::Application(parent)
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
    m_nameSpace = new MaildirNameSpace(m_stores, this);
    m_watcher = new MaildirWatcher(m_stores, this);
    connect(m_watcher, &MaildirWatcher::newMail, this, &host::Application::NewMail);
    m_explorers = new MaildirExplorers(this);
    m_inspectors = new MaildirInspectors(this);
    m_addIns = new host::COMAddIns(this);
    m_explorer = new MaildirExplorer(this);
    m_explorers->setExplorer(m_explorer);
    m_monitor = new ActiveWindowMonitor(this);
    connect(m_monitor, &ActiveWindowMonitor::activeChanged, this, [this](bool active) {
        if (m_explorer)
            m_explorer->setActive(active);
    });
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

host::NameSpace *MaildirApplication::GetNamespace(const QString &type)
{
    return type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) == 0 ? m_nameSpace : nullptr;
}

host::NameSpace *MaildirApplication::session()
{
    return m_nameSpace;
}

host::Explorer *MaildirApplication::ActiveExplorer()
{
    return m_explorer;
}

host::Explorers *MaildirApplication::explorers()
{
    return m_explorers;
}

host::Inspectors *MaildirApplication::inspectors()
{
    return m_inspectors;
}

host::ItemPtr MaildirApplication::CreateItem(int type)
{
    switch (type) {
    case host::MailItemType:
    case host::AppointmentItemType:
    case host::ContactItemType:
    case host::TaskItemType:
    case host::NoteItemType:
        return std::make_shared<MaildirDraftItem>(type);
    default:
        return nullptr;
    }
}

host::COMAddIns *MaildirApplication::comAddIns()
{
    return m_addIns;
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

void MaildirApplication::setMailClientClass(const QString &windowClass)
{
    host::Application::setMailClientClass(windowClass);
    m_monitor->setWindowClass(mailClientClass());
}

void MaildirApplication::quit()
{
    if (!m_explorer)
        return;
    MaildirExplorer *explorer = m_explorer;
    m_explorer = nullptr;
    m_explorers->setExplorer(nullptr);
    m_monitor->setWindowClass(QString());
    Q_EMIT explorer->Close();
    explorer->deleteLater();
}

void MaildirApplication::checkForChanges()
{
    m_watcher->checkNow();
}

} // namespace lumora
