#include "app/HostProblemReport.h"

#include "host/FileLogWriter.h"
#include "host/common/MailApplication.h"
#include "platform/core/Product.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumora {

HostProblemReport::HostProblemReport(MailApplication *application, const QString &source, Say say)
    : QObject(application)
    , m_reporter(source, log(), [say = std::move(say)](const QString &text) {
        if (say)
            say(QStringLiteral("Lumora: ") + text);
    })
{
    connect(application, &MailApplication::problemsChanged, this,
            [this](const QString &text) { m_reporter.setStanding(text); });
    m_reporter.setStanding(application->problems());
}

HostProblemReport::~HostProblemReport() = default;

QString HostProblemReport::logFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/')
        + product::companyFolder() + QLatin1Char('/') + product::productFolder() + QStringLiteral("/Lumora.log");
}

ProblemReporter::Log HostProblemReport::log()
{
    return [](int level, const QString &procedure, const QString &text) {
        QDir().mkpath(QFileInfo(logFile()).absolutePath());
        host::FileLogWriter writer(logFile());
        writer.Log(level, procedure, text);
    };
}

} // namespace lumora
