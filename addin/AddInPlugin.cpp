#include "addin/AddInPlugin.h"

#include "addin/AddInRegistration.h"
#include "addin/Connect.h"
#include "addinapi/AddInGlobals.h"
#include "support/LibraryLocation.h"

namespace lumora {

AddInPlugin::AddInPlugin(QObject *parent)
    : QObject(parent)
{
    // The template INI, default sound and help file lie beside the library.
    if (addIn().libraryFolder.isEmpty())
        addIn().libraryFolder = LibraryLocation::folder();
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
