#include "host/maildir/MailHostApplication.h"

#include "host/maildir/ActiveWindowMonitor.h"
#include "host/maildir/MaildirDraftItem.h"
#include "host/maildir/MaildirExplorer.h"
#include "host/maildir/MaildirExplorers.h"
#include "host/maildir/MaildirInspectors.h"
#include "platform/Clock.h"
#include "platform/Timer.h"

namespace lumora {

MailHostApplication::MailHostApplication(QObject *parent)
    : host::Application(parent)
{
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

MailHostApplication::~MailHostApplication() = default;

void MailHostApplication::announceWaitingMailSoon()
{
    m_startupCheck = Clock::instance().createTimer();
    connect(m_startupCheck.get(), &Timer::tick, this, [this] {
        m_startupCheck->setEnabled(false);
        if (holdsWaitingMail())
            Q_EMIT NewMail();
    });
    m_startupCheck->restart(m_startupCheckMs);
}

void MailHostApplication::setStartupCheckMs(int ms)
{
    m_startupCheckMs = ms;
    if (m_startupCheck && m_startupCheck->isEnabled())
        m_startupCheck->restart(ms);
}

host::NameSpace *MailHostApplication::GetNamespace(const QString &type)
{
    return type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) == 0 ? m_nameSpace : nullptr;
}

host::NameSpace *MailHostApplication::session()
{
    return m_nameSpace;
}

host::Explorer *MailHostApplication::ActiveExplorer()
{
    return m_explorer;
}

host::Explorers *MailHostApplication::explorers()
{
    return m_explorers;
}

host::Inspectors *MailHostApplication::inspectors()
{
    return m_inspectors;
}

host::ItemPtr MailHostApplication::CreateItem(int type)
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

host::COMAddIns *MailHostApplication::comAddIns()
{
    return m_addIns;
}

void MailHostApplication::setMailClientClass(const QString &windowClass)
{
    host::Application::setMailClientClass(windowClass);
    m_monitor->setWindowClass(mailClientClass());
}

void MailHostApplication::quit()
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

} // namespace lumora
