// Out-of-line destructors anchor each interface's vtable and meta-object in this library.
#include "Application.h"
#include "Logging.h"
#include "SafeMailItem.h"

namespace lumora::host {

Item::~Item() = default;
Items::~Items() = default;
MAPIFolder::~MAPIFolder() = default;
Folders::~Folders() = default;
NameSpace::~NameSpace() = default;
Explorer::~Explorer() = default;
Explorers::~Explorers() = default;
Inspector::~Inspector() = default;
Inspectors::~Inspectors() = default;
COMAddIns::~COMAddIns() = default;
PropertyPages::~PropertyPages() = default;
Application::~Application() = default;
LogWriter::~LogWriter() = default;
Logging::~Logging() = default;
SafeMailItem::~SafeMailItem() = default;

COMAddIn::COMAddIn(const QString &progId, QObject *parent)
    : QObject(parent)
    , m_progId(progId)
{
}

COMAddIn::~COMAddIn() = default;

} // namespace lumora::host
