#pragma once

#include "platform/desktop/ProblemReporter.h"

#include <QObject>
#include <QString>

namespace lumora {

class MailApplication;

// Tells the user of the mail host's problems through the problem reporter: each change on
// standard error (through say) and in the host's log, and the current problems below the
// tray icon's tip until they are over. Lives as long as the application it reports on.
class HostProblemReport : public QObject
{
    Q_OBJECT
public:
    using Say = ProblemReporter::Say;

    // source names the host in the log ("MaildirHost"). Problems the host already has are
    // reported at once.
    HostProblemReport(MailApplication *application, const QString &source, Say say);
    ~HostProblemReport() override;

    // The log the host side writes to.
    static QString logFile();
    // An entry writer for that log, for every reporter on the host side.
    static ProblemReporter::Log log();

private:
    ProblemReporter m_reporter;
};

} // namespace lumora
