#include "platform/core/ProcessLauncher.h"

#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

namespace lumora {

namespace {

class QProcessLauncher : public ProcessLauncher
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, int *errorNumber,
                       QString *errorText) override
    {
        // Checked first so the failure says "not found" rather than a generic start error.
        if (QStandardPaths::findExecutable(program).isEmpty() && !program.contains(QLatin1Char('/'))) {
            if (errorNumber)
                *errorNumber = ENOENT;
            if (errorText)
                *errorText = QStringLiteral("File not found: ") + program;
            return false;
        }
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        if (process.startDetached())
            return true;
        if (errorNumber)
            *errorNumber = static_cast<int>(process.error()) + 1;
        if (errorText)
            *errorText = process.errorString();
        return false;
    }
};

ProcessLauncher *g_installed = nullptr;

} // namespace

ProcessLauncher::~ProcessLauncher() = default;

ProcessLauncher &ProcessLauncher::instance()
{
    static QProcessLauncher real;
    return g_installed ? *g_installed : real;
}

void ProcessLauncher::setInstance(ProcessLauncher *launcher)
{
    g_installed = launcher;
}

} // namespace lumora
