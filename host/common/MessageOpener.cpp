#include "host/common/MessageOpener.h"

#include "platform/core/ProcessLauncher.h"

#include <QProcess>
#include <QStringList>

namespace lumora {

bool MessageOpener::open(const QString &command, const QString &path, QString *error)
{
    QStringList args = QProcess::splitCommand(command);
    if (args.isEmpty()) {
        if (error)
            *error = QStringLiteral("No display command is set");
        return false;
    }
    const QString program = args.takeFirst();
    bool substituted = false;
    for (QString &arg : args) {
        if (arg.contains(QLatin1String("%f"))) {
            arg.replace(QLatin1String("%f"), path);
            substituted = true;
        }
    }
    if (!substituted)
        args.append(path);
    QString why;
    if (ProcessLauncher::instance().startDetached(program, args, nullptr, &why))
        return true;
    if (error)
        *error = QStringLiteral("The display command \"%1\" could not be started: %2").arg(command, why);
    return false;
}

} // namespace lumora
