#include "host/common/MessageOpener.h"

#include "host/common/DesktopHandlers.h"
#include "platform/core/ProcessLauncher.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace lumora {

namespace {

const char kNoViewer[] = QT_TRANSLATE_NOOP(
    "MessageOpener",
    "No program on this desktop opens mail files (message/rfc822), and no mail client handles mailto: links. "
    "Install a mail program (for example Thunderbird or Evolution), or choose one with \"xdg-mime default "
    "PROGRAM.desktop message/rfc822\", or set the command in Options, page Mail, \"Open messages with\" "
    "(or start Lumora with --display-command)");

} // namespace

bool MessageOpener::open(const QString &command, const QString &path, QString *error)
{
    QStringList args = QProcess::splitCommand(command);
    if (args.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("MessageOpener", "No display command is set");
        return false;
    }
    const QString program = args.takeFirst();
    QString why;
    // The desktop's handler: xdg-open starts fine and then fails unseen when the desktop has
    // no viewer for mail files, so the viewer is looked for first, then the mail client.
    if (program == QLatin1String("xdg-open") && args.isEmpty()) {
        DesktopHandlers &handlers = DesktopHandlers::instance();
        if (handlers.defaultEntry(QStringLiteral("message/rfc822")).isEmpty()) {
            const QString client = handlers.defaultEntry(QStringLiteral("x-scheme-handler/mailto"));
            QStringList line = client.isEmpty() ? QStringList() : DesktopHandlers::commandFor(client, path);
            if (line.isEmpty()) {
                if (error)
                    *error = QCoreApplication::translate("MessageOpener", kNoViewer);
                return false;
            }
            const QString clientProgram = line.takeFirst();
            if (ProcessLauncher::instance().startDetached(clientProgram, line, nullptr, &why))
                return true;
            if (error)
                *error = QCoreApplication::translate("MessageOpener",
                                                     "No program opens mail files, and the mail client "
                                                     "\"%1\" could not be started: %2")
                             .arg(clientProgram, why);
            return false;
        }
    }
    bool substituted = false;
    for (QString &arg : args) {
        if (arg.contains(QLatin1String("%f"))) {
            arg.replace(QLatin1String("%f"), path);
            substituted = true;
        }
    }
    if (!substituted)
        args.append(path);
    if (ProcessLauncher::instance().startDetached(program, args, nullptr, &why))
        return true;
    if (error)
        *error = QCoreApplication::translate("MessageOpener", "The display command \"%1\" could not be started: %2")
                     .arg(command, why);
    return false;
}

} // namespace lumora
