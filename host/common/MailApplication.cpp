#include "host/common/MailApplication.h"

#include "host/common/ActiveWindowMonitor.h"
#include "host/common/DraftItem.h"
#include "host/common/MailExplorer.h"
#include "host/common/MailExplorers.h"
#include "host/common/MailInspectors.h"
#include "host/common/MailNameSpace.h"
#include "host/common/MailSource.h"
#include "platform/core/Clock.h"
#include "platform/core/Timer.h"

namespace lumora {

MailApplication::MailApplication(QObject *parent)
    : host::Application(parent)
{
    m_explorers = new MailExplorers(this);
    m_inspectors = new MailInspectors(this);
    m_addIns = new host::COMAddIns(this);
    m_nameSpace = new MailNameSpace(this);
    m_explorer = new MailExplorer(this);
    m_explorers->setExplorer(m_explorer);
    m_monitor = new ActiveWindowMonitor(this);
    connect(m_monitor, &ActiveWindowMonitor::activeChanged, this, [this](bool active) {
        if (m_explorer)
            m_explorer->setActive(active);
    });
}

MailApplication::~MailApplication()
{
    // The sources' sessions and watches go before the rest of the host.
    for (const auto &source : std::as_const(m_sources))
        delete source.data();
}

bool MailApplication::addSource(std::unique_ptr<MailSource> source)
{
    if (!source || !source->isValid())
        return false;
    for (const auto &other : std::as_const(m_sources)) {
        if (other && other->storeId() == source->storeId())
            return false;
    }
    MailSource *raw = source.release();
    raw->setParent(this);
    if (!m_displayCommand.isEmpty())
        raw->setDisplayCommand(m_displayCommand);
    connect(raw, &MailSource::newMail, this, &host::Application::NewMail);
    connect(raw, &MailSource::problemsChanged, this, [this] { Q_EMIT problemsChanged(problems()); });
    connect(raw, &MailSource::unreadChanged, this, &host::Application::UnreadChanged);
    m_sources.append(raw);
    m_nameSpace->setSources(sources());
    Q_EMIT UnreadChanged();
    if (m_started)
        raw->start();
    if (!raw->problems().isEmpty())
        Q_EMIT problemsChanged(problems());
    return true;
}

bool MailApplication::removeSource(const QString &storeId)
{
    for (qsizetype i = 0; i < m_sources.size(); ++i) {
        MailSource *source = m_sources.at(i);
        if (!source || source->storeId() != storeId)
            continue;
        m_sources.removeAt(i);
        m_nameSpace->setSources(sources());
        const bool hadProblems = !source->problems().isEmpty();
        // Later: it may be the sender of the signal that got us here.
        source->disconnect(this);
        source->deleteLater();
        Q_EMIT UnreadChanged();
        if (hadProblems)
            Q_EMIT problemsChanged(problems());
        return true;
    }
    return false;
}

QList<MailSource *> MailApplication::sources() const
{
    QList<MailSource *> out;
    for (const auto &source : m_sources) {
        if (source)
            out.append(source);
    }
    return out;
}

void MailApplication::start()
{
    if (m_started)
        return;
    m_started = true;
    for (MailSource *source : sources())
        source->start();
    announceWaitingMailSoon();
}

void MailApplication::checkForChanges()
{
    for (MailSource *source : sources())
        source->checkNow();
}

void MailApplication::setDisplayCommand(const QString &command)
{
    m_displayCommand = command.trimmed().isEmpty() ? QStringLiteral("xdg-open") : command;
    for (MailSource *source : sources())
        source->setDisplayCommand(m_displayCommand);
}

QString MailApplication::version() const
{
    return QStringLiteral(LUMORA_HOST_VERSION);
}

QString MailApplication::problems() const
{
    QStringList lines;
    for (MailSource *source : sources()) {
        const QString text = source->problems();
        if (!text.isEmpty())
            lines.append(text);
    }
    return lines.join(QLatin1Char('\n'));
}

bool MailApplication::holdsWaitingMail() const
{
    for (MailSource *source : sources()) {
        if (source->holdsWaitingMail())
            return true;
    }
    return false;
}

void MailApplication::announceWaitingMailSoon()
{
    m_startupCheck = Clock::instance().createTimer();
    connect(m_startupCheck.get(), &Timer::tick, this, [this] {
        m_startupCheck->setEnabled(false);
        if (holdsWaitingMail())
            Q_EMIT NewMail();
    });
    m_startupCheck->restart(m_startupCheckMs);
}

void MailApplication::setStartupCheckMs(int ms)
{
    m_startupCheckMs = ms;
    if (m_startupCheck && m_startupCheck->isEnabled())
        m_startupCheck->restart(ms);
}

host::NameSpace *MailApplication::GetNamespace(const QString &type)
{
    return type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) == 0 ? m_nameSpace : nullptr;
}

host::NameSpace *MailApplication::session()
{
    return m_nameSpace;
}

host::Explorer *MailApplication::ActiveExplorer()
{
    return m_explorer;
}

host::Explorers *MailApplication::explorers()
{
    return m_explorers;
}

host::Inspectors *MailApplication::inspectors()
{
    return m_inspectors;
}

host::ItemPtr MailApplication::CreateItem(int type)
{
    switch (type) {
    case host::MailItemType:
    case host::AppointmentItemType:
    case host::ContactItemType:
    case host::TaskItemType:
    case host::NoteItemType:
        return std::make_shared<DraftItem>(type);
    default:
        return nullptr;
    }
}

host::COMAddIns *MailApplication::comAddIns()
{
    return m_addIns;
}

void MailApplication::setMailClientClass(const QString &windowClass)
{
    host::Application::setMailClientClass(windowClass);
    m_monitor->setWindowClass(mailClientClass());
}

void MailApplication::quit()
{
    if (!m_explorer)
        return;
    MailExplorer *explorer = m_explorer;
    m_explorer = nullptr;
    m_explorers->setExplorer(nullptr);
    m_monitor->setWindowClass(QString());
    Q_EMIT explorer->Close();
    explorer->deleteLater();
}

} // namespace lumora
