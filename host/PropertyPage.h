#pragma once

#include "host/HostExport.h"

#include <QObject>
#include <QString>
#include <QtPlugin>

namespace lumora::host {

class Application;

// What the options dialog offers each page it shows: the host application and a way to
// say that the page's state changed (the dialog then asks Dirty again and enables Apply).
class LUMORA_HOST_EXPORT PropertyPageSite : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *Application READ applicationObject)
public:
    using QObject::QObject;
    ~PropertyPageSite() override;

    virtual Application *application() const = 0;
    Q_INVOKABLE virtual void OnStatusChange() = 0;

private:
    QObject *applicationObject() const;
};

// The contract an options page implements, next to being a QWidget. The dialog creates the
// page, hands it its site once (InitProperties), then asks Dirty after each status change
// and calls Apply on OK or Apply.
class PropertyPage
{
public:
    virtual ~PropertyPage() = default;

    // The page's site; the page loads its content here.
    virtual void InitProperties(PropertyPageSite *site) = 0;
    virtual void Apply() = 0;
    virtual bool Dirty() const = 0;
    // A help file and topic for the page; both left unchanged when it offers none.
    virtual void GetPageInfo(QString &helpFile, qint32 &helpContext) = 0;
};

} // namespace lumora::host

#define LumoraPropertyPage_iid "org.corvane.lumora.PropertyPage/1"
Q_DECLARE_INTERFACE(lumora::host::PropertyPage, LumoraPropertyPage_iid)
