#pragma once

#include <QObject>
#include <QVariant>

namespace lumora {

namespace host {
class Application;
class COMAddIn;
} // namespace host
class OlAddIn;

// The add-in class the host creates as "Lumora.Connect". It owns the one controller and
// publishes itself as the add-in entry's Object, so other clients reach PPClass.
class Connect : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *PPClass READ PPClass)
public:
    explicit Connect(QObject *parent = nullptr);
    ~Connect() override;

    // The controller, created on first use.
    QObject *PPClass();
    OlAddIn *m_BaseClass() const { return m_baseClass; }

    Q_INVOKABLE void AddinInstance_OnConnection(QObject *Application, int ConnectMode, QObject *AddInInst,
                                                const QVariant &custom);
    Q_INVOKABLE void AddinInstance_OnDisconnection(int RemoveMode, const QVariant &custom);
    Q_INVOKABLE void AddinInstance_OnStartupComplete(const QVariant &custom);
    Q_INVOKABLE void AddinInstance_OnBeginShutdown(const QVariant &custom);
    Q_INVOKABLE void AddinInstance_OnAddInsUpdate(const QVariant &custom);

private:
    OlAddIn *controller();

    OlAddIn *m_baseClass = nullptr;
};

} // namespace lumora
