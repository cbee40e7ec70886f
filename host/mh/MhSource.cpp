#include "host/mh/MhSource.h"

#include "host/common/ArrivalBurst.h"
#include "host/common/VirtualFolder.h"
#include "host/mh/MhFolder.h"
#include "host/mh/MhItem.h"
#include "host/mh/MhStore.h"
#include "host/mh/MhWatcher.h"
#include "platform/core/Clock.h"
#include "platform/core/Timer.h"

namespace lumora {

namespace {

constexpr int QuietMs = 300;
constexpr int MaxDelayMs = 2000;

} // namespace

MhSource::MhSource(const QString &root, QObject *parent)
    : MailSource(parent)
    , m_store(std::make_shared<MhStore>(root))
    , m_burst(new ArrivalBurst(QuietMs, MaxDelayMs, this))
    , m_retry(Clock::instance().createTimer())
{
    if (!m_store->isValid())
        return;
    m_watcher = new MhWatcher(*m_store, this);
    connect(m_burst, &ArrivalBurst::burst, this, &MailSource::newMail);
    connect(m_watcher, &MhWatcher::changed, this,
            [this](const QStringList &dirs, bool structure) { refresh(structure ? m_store->folderDirs() : dirs); });
    connect(m_retry.get(), &Timer::tick, this, [this] {
        m_retry->setEnabled(false);
        checkNow();
    });
    // The first listing of each folder is the mail already there, not new mail.
    refresh(m_store->folderDirs());
    m_store->takeUnannounced();
    m_store->setCountFirstListing(true);
}

MhSource::~MhSource() = default;

QString MhSource::storeId() const
{
    return m_store->storeId();
}

QString MhSource::description() const
{
    return QStringLiteral("MH mail directory %1").arg(m_store->rootPath());
}

bool MhSource::isValid() const
{
    return m_store->isValid();
}

host::FolderPtr MhSource::topFolder()
{
    return std::make_shared<MhFolder>(m_store, m_store->topDir());
}

host::FolderPtr MhSource::defaultFolder(int kind)
{
    switch (kind) {
    case host::FolderInbox:
        return topFolder();
    case host::FolderDeletedItems:
        return m_store->hasFolder(MhStore::trashDir()) ? std::make_shared<MhFolder>(m_store, MhStore::trashDir())
                                                       : nullptr;
    case host::FolderCalendar:
        return std::make_shared<MhFolder>(m_store, QString(), host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<MhFolder>(m_store, QString(), host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<MhFolder>(m_store, QString(), host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<MhFolder>(m_store, QString(), host::TaskItemType);
    default:
        return nullptr;
    }
}

host::FolderPtr MhSource::folderFromId(const QString &entryId)
{
    const int virtualType = VirtualFolder::parseEntryId(entryId);
    if (virtualType >= 0)
        return std::make_shared<MhFolder>(m_store, QString(), virtualType);
    QString dir;
    if (!MhStore::parseFolderEntryId(entryId, &dir) || !m_store->hasFolder(dir))
        return nullptr;
    return std::make_shared<MhFolder>(m_store, dir);
}

host::ItemPtr MhSource::itemFromId(const QString &entryId)
{
    QString dir;
    int number = 0;
    if (!MhStore::parseItemEntryId(entryId, &dir, &number) || !m_store->hasFolder(dir))
        return nullptr;
    if (!m_store->contains(dir, number))
        m_store->refresh(dir);
    if (!m_store->contains(dir, number))
        return nullptr;
    return std::make_shared<MhItem>(m_store, dir, number);
}

void MhSource::checkNow()
{
    if (!m_watcher)
        return;
    m_watcher->sync();
    refresh(m_store->folderDirs());
}

bool MhSource::holdsWaitingMail() const
{
    for (const QString &dir : m_store->folderDirs()) {
        if (m_store->unreadCount(dir) > 0)
            return true;
    }
    return false;
}

QString MhSource::problems() const
{
    QStringList lines;
    if (!m_store->isValid())
        lines << QStringLiteral("the MH mail directory %1 is not there").arg(m_store->rootPath());
    if (m_watcher && !m_watcher->problem().isEmpty())
        lines << m_watcher->problem();
    lines << m_problems.values();
    return lines.join(QLatin1Char('\n'));
}

void MhSource::setDisplayCommand(const QString &command)
{
    m_store->setDisplayCommand(command);
}

void MhSource::refresh(const QStringList &dirs)
{
    const QStringList existing = m_store->folderDirs();
    for (auto it = m_problems.begin(); it != m_problems.end();) {
        it = existing.contains(it.key()) ? std::next(it) : m_problems.erase(it);
    }
    for (const QString &dir : dirs) {
        if (!existing.contains(dir))
            continue;
        QString error;
        m_store->refresh(dir, &error);
        if (error.isEmpty())
            m_problems.remove(dir);
        else
            m_problems.insert(dir, error);
    }
    const int fresh = m_store->takeUnannounced();
    Q_EMIT unreadChanged();
    const QString now = problems();
    if (now != m_told) {
        m_told = now;
        Q_EMIT problemsChanged();
    }
    if (!now.isEmpty())
        m_retry->restart(RetryMs);
    if (fresh > 0)
        m_burst->note();
}

} // namespace lumora
