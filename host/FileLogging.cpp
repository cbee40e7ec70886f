#include "host/FileLogging.h"

#include "host/FileLogWriter.h"

namespace lumora::host {

FileLogging::FileLogging(QObject *parent)
    : Logging(parent)
{
}

FileLogging::~FileLogging() = default;

LogWriterPtr FileLogging::OpenLog(const QString &path)
{
    auto writer = std::make_shared<FileLogWriter>(path);
    if (!writer->isOpen())
        return {};
    return writer;
}

} // namespace lumora::host
