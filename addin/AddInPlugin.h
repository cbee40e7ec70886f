#pragma once

#include "host/ComponentPlugin.h"

#include <QObject>

namespace lumora {

// The LumoraAddIn library's factory and registration: creates "Lumora.Connect" and
// writes the class and add-in keys the host reads at start-up.
class AddInPlugin : public QObject, public host::ComponentPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LumoraComponentPlugin_iid)
    Q_INTERFACES(lumora::host::ComponentPlugin)
public:
    explicit AddInPlugin(QObject *parent = nullptr);

    QStringList progIds() const override;
    QObject *CreateObject(const QString &progId) override;
    bool DllRegisterServer(const QString &libraryPath) override;
    bool DllUnregisterServer() override;
};

} // namespace lumora
