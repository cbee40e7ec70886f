#include "popup/NotificationPresenter.h"

#include "addinapi/AddInGlobals.h"
#include "addinapi/OlAddInInterface.h"
#include "platform/core/Clock.h"
#include "platform/core/MailText.h"
#include "platform/core/Verbose.h"
#include "platform/desktop/Sound.h"
#include "queue/Queue.h"

#include <QGuiApplication>

namespace lumora {

namespace {

const QString OpenKey = QStringLiteral("open");
const QString DeleteKey = QStringLiteral("delete");
// The display time when the settings give none.
constexpr int DefaultDisplayTime = 4000;
// Servers may round or delay an expiry; our own timer only steps in after this much more.
constexpr int ExpiryGrace = 1500;

} // namespace

NotificationPresenter::NotificationPresenter(QObject *parent)
    : QObject(parent)
    , m_timer(Clock::instance().createTimer())
{
    m_timer->setEnabled(false);
    connect(m_timer.get(), &Timer::tick, this, [this] {
        m_timer->setEnabled(false);
        withdraw();
        advance();
    });
    DesktopNotifications &service = DesktopNotifications::instance();
    connect(&service, &DesktopNotifications::actionInvoked, this, &NotificationPresenter::onAction);
    connect(&service, &DesktopNotifications::closed, this, &NotificationPresenter::onClosed);
}

NotificationPresenter::~NotificationPresenter()
{
    Stop();
}

bool NotificationPresenter::replacesPopup()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

int NotificationPresenter::displayTime() const
{
    const int time = addIn().settings.MessageDelay;
    return time > 0 ? time : DefaultDisplayTime;
}

void NotificationPresenter::Show()
{
    Queue *queue = addIn().queue;
    if (m_showing || !queue || queue->Size() == 0)
        return;
    m_showing = true;
    if (!addIn().settings.SoundPath.isEmpty())
        Sound::instance().PlaySoundA(addIn().settings.SoundPath, 0, Sound::SND_FILENAME | Sound::SND_ASYNC);
    showNext();
}

void NotificationPresenter::ShowTest()
{
    if (m_showing)
        return;
    m_showing = true;
    m_entryId.clear();
    m_storeId.clear();
    Verbose::line(QStringLiteral("notification: test, 1 of 1"));
    present(
        tr("New mail: %1").arg(tr("%1 of %2").arg(1).arg(1)),
        tr("Folder: %1\nFrom: %2\nSubject: %3")
            .arg(tr("Inbox"), QStringLiteral("Lumora"), tr("This is the subject of a mail message for test purposes")),
        false);
}

void NotificationPresenter::showNext()
{
    Queue *queue = addIn().queue;
    const QUEUE_ENTRY entry = queue ? queue->Remove() : QUEUE_ENTRY();
    m_entryId = entry.strEntryID;
    m_storeId = entry.strStoreID;
    const QString counter = QStringLiteral("%1 of %2").arg(entry.nNo).arg(queue ? queue->Max() : 0);
    // Mail text is cleaned and capped as for the popup: invisible characters would hide or
    // reorder it in the notification and the trace just as well.
    const QString folder = MailText::forDisplay(entry.strFolder);
    const QString from = MailText::forDisplay(entry.strFrom);
    const QString subject = MailText::forDisplay(entry.strSubject);
    Verbose::line(QStringLiteral("notification: %1, folder \"%2\", from \"%3\", subject \"%4\"")
                      .arg(counter, folder, from, subject));
    const QString summary = (entry.nImportance == 2 ? tr("Important mail: %1") : tr("New mail: %1"))
                                .arg(tr("%1 of %2").arg(entry.nNo).arg(queue ? queue->Max() : 0));
    const QString body = tr("Folder: %1\nFrom: %2\nSubject: %3").arg(folder, from, subject);
    present(summary, body, addIn().settings.PopupDelete == 1);
}

void NotificationPresenter::present(const QString &summary, const QString &body, bool deletable)
{
    QList<DesktopNotifications::Action> actions;
    if (!m_entryId.isEmpty()) {
        actions.append({OpenKey, tr("Open")});
        if (deletable)
            actions.append({DeleteKey, tr("Delete")});
    }
    const int time = displayTime();
    m_id = DesktopNotifications::instance().notify(summary, body, actions, time);
    if (!m_id)
        Verbose::line(QStringLiteral("notification: not shown, no notification service"));
    // The timer keeps the queue moving when a server never reports the close.
    m_timer->restart(time + ExpiryGrace);
}

void NotificationPresenter::advance()
{
    m_id = 0;
    Queue *queue = addIn().queue;
    if (m_showing && !m_entryId.isEmpty() && queue && queue->Size() > 0) {
        showNext();
        return;
    }
    m_showing = false;
    m_timer->setEnabled(false);
    m_entryId.clear();
    m_storeId.clear();
}

void NotificationPresenter::onAction(quint32 id, const QString &key)
{
    if (!m_showing || id == 0 || id != m_id)
        return;
    OlAddInInterface *controller = addIn().controller;
    if (controller && !m_entryId.isEmpty()) {
        if (key == OpenKey) {
            Verbose::line(QStringLiteral("notification: open"));
            controller->ShowMailMessage(m_entryId, m_storeId);
        } else if (key == DeleteKey) {
            Verbose::line(QStringLiteral("notification: delete"));
            controller->DeleteMailMessage(m_entryId, m_storeId);
        }
    }
    // Servers close a notification after an action, but not all of them say so.
    m_timer->setEnabled(false);
    withdraw();
    advance();
}

void NotificationPresenter::onClosed(quint32 id)
{
    if (!m_showing || id == 0 || id != m_id)
        return;
    m_timer->setEnabled(false);
    advance();
}

void NotificationPresenter::Stop()
{
    if (!m_showing)
        return;
    m_timer->setEnabled(false);
    m_showing = false;
    withdraw();
}

void NotificationPresenter::withdraw()
{
    // Forgotten first, so that the close it causes is not taken for the user's.
    const quint32 id = m_id;
    m_id = 0;
    if (id)
        DesktopNotifications::instance().close(id);
}

} // namespace lumora
