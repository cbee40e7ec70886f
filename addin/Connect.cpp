#include "addin/Connect.h"

#include "addin/OlAddIn.h"
#include "addinapi/AddInGlobals.h"
#include "host/Application.h"
#include "platform/core/Verbose.h"

namespace lumora {

Connect::Connect(QObject *parent)
    : QObject(parent)
{
}

Connect::~Connect()
{
    AddinInstance_OnDisconnection(1, QVariant());
}

OlAddIn *Connect::controller()
{
    if (!m_baseClass)
        m_baseClass = new OlAddIn(this);
    return m_baseClass;
}

QObject *Connect::PPClass()
{
    return controller();
}

void Connect::AddinInstance_OnConnection(QObject *Application, int ConnectMode, QObject *AddInInst,
                                         const QVariant &custom)
{
    Q_UNUSED(ConnectMode)
    Q_UNUSED(custom)
    auto *application = qobject_cast<host::Application *>(Application);
    Verbose::line(QStringLiteral("connection: Lumora.Connect"));
    if (!application)
        return;
    // A host without any window (started for a background job) leaves the add-in idle.
    const int explorers = application->explorers() ? application->explorers()->Count() : 0;
    const int inspectors = application->inspectors() ? application->inspectors()->Count() : 0;
    if (explorers == 0 && inspectors == 0) {
        Verbose::line(QStringLiteral("connection: no window open, staying idle"));
        return;
    }
    addIn().controller = controller();
    if (auto *entry = qobject_cast<host::COMAddIn *>(AddInInst))
        entry->setObject(this);
    controller()->InitOutlookVersion();
    controller()->AttachToOutlook(application);
}

void Connect::AddinInstance_OnDisconnection(int RemoveMode, const QVariant &custom)
{
    Q_UNUSED(RemoveMode)
    Q_UNUSED(custom)
    if (m_baseClass) {
        m_baseClass->DetachFromOutlook();
        delete m_baseClass;
        m_baseClass = nullptr;
    }
    if (addIn().controller)
        Verbose::line(QStringLiteral("disconnection: Lumora.Connect"));
    addIn().controller = nullptr;
}

void Connect::AddinInstance_OnStartupComplete(const QVariant &)
{
}

void Connect::AddinInstance_OnBeginShutdown(const QVariant &)
{
}

void Connect::AddinInstance_OnAddInsUpdate(const QVariant &)
{
}

} // namespace lumora
