// Out-of-line destructors anchor each interface's vtable and meta-object in this library.
#include "host/Application.h"
#include "host/Logging.h"
#include "host/PropertyPage.h"
#include "host/SafeMailItem.h"

namespace lumora::host {

Item::~Item() = default;

QString Item::ErrorText() const
{
    return {};
}

QString Item::MessageKey() const
{
    return {};
}

QDateTime Item::OriginTime() const
{
    return {};
}

bool Item::MarkRead()
{
    // A host that keeps no read state cannot change it.
    return false;
}

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
PropertyPageSite::~PropertyPageSite() = default;

QObject *PropertyPageSite::applicationObject() const
{
    return application();
}

COMAddIn::COMAddIn(const QString &progId, QObject *parent)
    : QObject(parent)
    , m_progId(progId)
{
}

COMAddIn::~COMAddIn() = default;

COMAddIn *COMAddIns::Item(const QString &progId) const
{
    for (COMAddIn *entry : m_entries) {
        if (entry->progId().compare(progId, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}

COMAddIn *COMAddIns::add(const QString &progId)
{
    if (progId.isEmpty())
        return nullptr;
    if (COMAddIn *existing = Item(progId))
        return existing;
    auto *entry = new COMAddIn(progId, this);
    m_entries.append(entry);
    return entry;
}

void COMAddIns::remove(const QString &progId)
{
    if (COMAddIn *entry = Item(progId)) {
        m_entries.removeOne(entry);
        delete entry;
    }
}

} // namespace lumora::host
