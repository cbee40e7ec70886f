#pragma once

#include "host/PropertyPage.h"

#include <QPointer>

#include <functional>

namespace lumora {

// The site the options dialog gives each page: the host application, and a status change
// that makes the dialog ask its pages whether they are dirty.
class OptionsPageSite : public host::PropertyPageSite
{
    Q_OBJECT
public:
    OptionsPageSite(host::Application *application, std::function<void()> statusChanged, QObject *parent = nullptr);

    host::Application *application() const override { return m_application; }
    void OnStatusChange() override;

private:
    QPointer<host::Application> m_application;
    std::function<void()> m_statusChanged;
};

} // namespace lumora
