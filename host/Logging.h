#pragma once

#include "host/HostExport.h"

#include <QObject>

#include <memory>

namespace lumora::host {

// Writes entries to one log file. A writer whose file cannot be opened writes nothing.
class LUMORA_HOST_EXPORT LogWriter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~LogWriter() override;

    // One entry: level, the procedure that writes it, and the message text.
    Q_INVOKABLE virtual void Log(int level, const QString &procedure, const QString &message) = 0;
};

using LogWriterPtr = std::shared_ptr<LogWriter>;

// The logging component (prog-id "VURERIVEVI.cLogging").
class LUMORA_HOST_EXPORT Logging : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Logging() override;

    // A writer appending to the file at path; null when the file cannot be opened.
    virtual LogWriterPtr OpenLog(const QString &path) = 0;
};

} // namespace lumora::host
