#include "addin/ComponentAccess.h"

#include "host/ComponentFactory.h"

namespace lumora {

std::unique_ptr<QObject> createComponentObject(const QString &progId)
{
    return std::unique_ptr<QObject>(host::ComponentFactory::global().CreateObject(progId));
}

} // namespace lumora
