#include "app/HostProblemReport.h"

#include "host/FileLogWriter.h"
#include "host/common/MailApplication.h"
#include "platform/core/MailText.h"
#include "platform/core/Product.h"
#include "platform/desktop/NotifyIconHost.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumora {

HostProblemReport::HostProblemReport(MailApplication *application, const QString &source, Say say)
    : QObject(application)
    , m_source(source)
    , m_say(std::move(say))
{
    connect(application, &MailApplication::problemsChanged, this, &HostProblemReport::show);
    show(application->problems());
}

HostProblemReport::~HostProblemReport() = default;

QString HostProblemReport::logFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/')
        + product::companyFolder() + QLatin1Char('/') + product::productFolder() + QStringLiteral("/Lumora.log");
}

void HostProblemReport::show(const QString &text)
{
    if (text == m_shown)
        return;
    const bool over = text.isEmpty();
    const QString line =
        over ? QStringLiteral("The problems reported before are over: all new mail is noticed again.") : text;
    m_shown = text;
    NotifyIconHost::instance().setStatusNote(text);
    if (m_say)
        m_say(QStringLiteral("Lumora: ") + MailText::linesForDisplay(line)); // problems name server folders
    QDir().mkpath(QFileInfo(logFile()).absolutePath());
    host::FileLogWriter log(logFile());
    log.Log(over ? 3 : 1, m_source, line);
}

} // namespace lumora
