#include "app/OptionsPageSite.h"

#include "host/Application.h"

namespace lumora {

OptionsPageSite::OptionsPageSite(host::Application *application, std::function<void()> statusChanged, QObject *parent)
    : host::PropertyPageSite(parent)
    , m_application(application)
    , m_statusChanged(std::move(statusChanged))
{
}

void OptionsPageSite::OnStatusChange()
{
    if (m_statusChanged)
        m_statusChanged();
}

} // namespace lumora
