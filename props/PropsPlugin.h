#pragma once

#include "host/ComponentPlugin.h"

#include <QObject>

namespace lumora {

// The LumoraProps library's factory and registration: creates the options page
// "LumoraProps.ctlLumora" and writes the class entries the component factory reads.
class PropsPlugin : public QObject, public host::ComponentPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LumoraComponentPlugin_iid)
    Q_INTERFACES(lumora::host::ComponentPlugin)
public:
    static const QString ProgId;
    static const QString ClassId;

    explicit PropsPlugin(QObject *parent = nullptr);

    QStringList progIds() const override;
    QObject *CreateObject(const QString &progId) override;
    bool DllRegisterServer(const QString &libraryPath) override;
    bool DllUnregisterServer() override;
    // The library path the page class is registered with, or empty.
    static QString RegisteredPath();
};

} // namespace lumora
