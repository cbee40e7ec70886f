#include "host/mbox/MboxSource.h"

#include "host/common/ArrivalBurst.h"
#include "host/common/VirtualFolder.h"
#include "host/mbox/MboxFolder.h"
#include "host/mbox/MboxItem.h"
#include "host/mbox/MboxStore.h"
#include "host/mbox/MboxWatcher.h"
#include "platform/core/Clock.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"

namespace lumora {

namespace {

// As for Maildir deliveries: a burst of appends gives one newMail.
constexpr int QuietMs = 300;
constexpr int MaxDelayMs = 2000;

} // namespace

MboxSource::MboxSource(const QString &path, QObject *parent)
    : MailSource(parent)
    , m_store(std::make_shared<MboxStore>(path))
    , m_watcher(new MboxWatcher(path, this))
    , m_burst(new ArrivalBurst(QuietMs, MaxDelayMs, this))
    , m_retry(Clock::instance().createTimer())
{
    connect(m_burst, &ArrivalBurst::burst, this, &MailSource::newMail);
    connect(m_watcher, &MboxWatcher::changed, this, &MboxSource::refresh);
    connect(m_retry.get(), &Timer::tick, this, [this] {
        m_retry->setEnabled(false);
        if (!m_watcher->problem().isEmpty())
            m_watcher->rewatch();
        refresh();
    });
    // What the file holds at start is the mail already there, not new mail.
    refresh();
}

MboxSource::~MboxSource() = default;

QString MboxSource::storeId() const
{
    return m_store->storeId();
}

QString MboxSource::description() const
{
    return QStringLiteral("mbox %1").arg(m_store->path());
}

host::FolderPtr MboxSource::topFolder()
{
    return std::make_shared<MboxFolder>(m_store);
}

host::FolderPtr MboxSource::defaultFolder(int kind)
{
    switch (kind) {
    case host::FolderInbox:
        return topFolder();
    case host::FolderCalendar:
        return std::make_shared<MboxFolder>(m_store, host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<MboxFolder>(m_store, host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<MboxFolder>(m_store, host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<MboxFolder>(m_store, host::TaskItemType);
    default:
        return nullptr; // no Trash or Drafts: nothing is ever written to an mbox
    }
}

host::FolderPtr MboxSource::folderFromId(const QString &entryId)
{
    const int virtualType = VirtualFolder::parseEntryId(entryId);
    if (virtualType >= 0)
        return std::make_shared<MboxFolder>(m_store, virtualType);
    return entryId == MboxStore::folderEntryId() ? topFolder() : nullptr;
}

host::ItemPtr MboxSource::itemFromId(const QString &entryId)
{
    quint64 identity = 0;
    quint16 occurrence = 0;
    if (!MboxStore::parseItemEntryId(entryId, &identity, &occurrence))
        return nullptr;
    if (m_store->file().find(identity, occurrence) < 0)
        return nullptr;
    return std::make_shared<MboxItem>(m_store, identity, occurrence);
}

void MboxSource::checkNow()
{
    if (!m_watcher->problem().isEmpty())
        m_watcher->rewatch();
    refresh();
}

bool MboxSource::holdsWaitingMail() const
{
    for (const MboxFile::Entry &entry : m_store->file().entries()) {
        if (!(entry.flags & (MboxFile::Seen | MboxFile::Old)))
            return true;
    }
    return false;
}

QString MboxSource::problems() const
{
    QStringList lines;
    if (!m_watcher->problem().isEmpty())
        lines << m_watcher->problem();
    if (!m_problem.isEmpty())
        lines << m_problem;
    return lines.join(QLatin1Char('\n'));
}

void MboxSource::setDisplayCommand(const QString &command)
{
    m_store->setDisplayCommand(command);
}

void MboxSource::setProblem(const QString &text)
{
    if (text == m_problem)
        return;
    m_problem = text;
    Q_EMIT problemsChanged();
}

void MboxSource::refresh()
{
    int fresh = 0;
    const MboxFile::Update result = m_store->file().update(&fresh);
    switch (result) {
    case MboxFile::Update::Busy:
        // The delivery's end (its close or its lock going) wakes the watcher; the timer only
        // covers a lock released without a write.
        m_retry->restart(BusyRetryMs);
        return;
    case MboxFile::Update::Failed:
        setProblem(m_store->file().error());
        m_retry->restart(RetryMs);
        return;
    case MboxFile::Update::Reread:
        Verbose::line(QStringLiteral("mbox: %1 was rewritten, read again in full").arg(m_store->path()));
        [[fallthrough]];
    case MboxFile::Update::Appended:
        Q_EMIT unreadChanged();
        break;
    case MboxFile::Update::Unchanged:
        break;
    }
    setProblem(QString());
    if (!m_watcher->problem().isEmpty()) {
        Q_EMIT problemsChanged();
        m_retry->restart(RetryMs);
    }
    if (fresh > 0)
        m_burst->note();
}

} // namespace lumora
