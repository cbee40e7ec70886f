#include "addin/AddInPlugin.h"

#include "addin/AddInRegistration.h"
#include "addin/Connect.h"
#include "addinapi/AddInGlobals.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace lumora {

namespace {

// Where this library was loaded from: the template INI, default sound and help file lie
// beside it.
QString ownFolder()
{
    Dl_info info = {};
    if (dladdr(reinterpret_cast<void *>(&ownFolder), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QString();
}

} // namespace

AddInPlugin::AddInPlugin(QObject *parent)
    : QObject(parent)
{
    if (addIn().libraryFolder.isEmpty())
        addIn().libraryFolder = ownFolder();
}

QStringList AddInPlugin::progIds() const
{
    return {AddInRegistration::ProgId};
}

QObject *AddInPlugin::CreateObject(const QString &progId)
{
    if (progId.compare(AddInRegistration::ProgId, Qt::CaseInsensitive) != 0)
        return nullptr;
    return new Connect;
}

bool AddInPlugin::DllRegisterServer(const QString &libraryPath)
{
    return AddInRegistration::Register(libraryPath);
}

bool AddInPlugin::DllUnregisterServer()
{
    return AddInRegistration::Unregister();
}

} // namespace lumora
