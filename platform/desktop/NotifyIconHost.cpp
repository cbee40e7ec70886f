#include "platform/desktop/NotifyIconHost.h"

#include "platform/desktop/TrayIconHost.h"

namespace lumora {

namespace {
NotifyIconHost *g_installed = nullptr;
}

NotifyIconHost::~NotifyIconHost() = default;

void NotifyIconHost::setMenu(quint32, quint32, QMenu *)
{
}

NotifyIconHost &NotifyIconHost::instance()
{
    // Never destroyed: its tray icons must not outlive the application object at exit.
    static TrayIconHost *real = new TrayIconHost;
    return g_installed ? *g_installed : *real;
}

void NotifyIconHost::setInstance(NotifyIconHost *host)
{
    g_installed = host;
}

void NotifyIconHost::setStatusNote(const QString &note)
{
    if (note == m_statusNote)
        return;
    m_statusNote = note;
    statusNoteChanged();
}

bool Shell_NotifyIconA(quint32 message, const NOTIFYICONDATAA *data)
{
    if (!data)
        return false;
    return NotifyIconHost::instance().notify(message, *data);
}

} // namespace lumora
