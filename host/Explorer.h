#pragma once

#include "host/HostExport.h"

#include <QObject>

namespace lumora::host {

class MAPIFolder;

// A main window of the mail application. Owned by the host; it emits Close and is
// deleted later, so holders keep it in a QPointer.
class LUMORA_HOST_EXPORT Explorer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Explorer() override;

Q_SIGNALS:
    void Activate();
    void Deactivate();
    void Close();
    void BeforeFolderSwitch(lumora::host::MAPIFolder *newFolder, bool *cancel);
};

// The open main windows.
class LUMORA_HOST_EXPORT Explorers : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Explorers() override;

    virtual int Count() const = 0;

Q_SIGNALS:
    void NewExplorer(lumora::host::Explorer *explorer);
};

// A message window.
class LUMORA_HOST_EXPORT Inspector : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Inspector() override;

Q_SIGNALS:
    void Close();
};

// The open message windows.
class LUMORA_HOST_EXPORT Inspectors : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Inspectors() override;

    virtual int Count() const = 0;

Q_SIGNALS:
    void NewInspector(lumora::host::Inspector *inspector);
};

} // namespace lumora::host
