#include "host/HostSafeMailItem.h"

namespace lumora::host {

HostSafeMailItem::HostSafeMailItem(QObject *parent)
    : SafeMailItem(parent)
{
}

HostSafeMailItem::~HostSafeMailItem() = default;

QString HostSafeMailItem::SenderName() const
{
    return m_item ? m_item->SenderName() : QString();
}

bool HostSafeMailItem::Display()
{
    return m_item ? m_item->Display() : false;
}

} // namespace lumora::host
