#pragma once

#include "host/Logging.h"

namespace lumora::host {

// The logging component (prog-id "VURERIVEVI.cLogging"): hands out file log writers.
class LUMORA_HOST_EXPORT FileLogging : public Logging
{
    Q_OBJECT
public:
    static constexpr const char *ProgId = "VURERIVEVI.cLogging";

    explicit FileLogging(QObject *parent = nullptr);
    ~FileLogging() override;

    LogWriterPtr OpenLog(const QString &path) override;
};

} // namespace lumora::host
