#include "app/Autostart.h"

#include "platform/core/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumora {

namespace {

// Quotes an Exec argument as the desktop entry rules ask when it holds reserved characters.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !argument.isEmpty();
    for (QChar c : argument)
        plain = plain && !reserved.contains(c);
    QString escaped = argument;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (plain)
        return escaped;
    QString quoted;
    for (QChar c : escaped) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // Inside a string value a backslash itself is escaped once more.
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Whether the desktop would start the entry: it names a program (an entry cut short before
// its Exec line starts nothing) and is neither hidden nor switched off.
bool entryStarts(const QByteArray &text)
{
    bool program = false;
    for (const QByteArray &raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
        if (line.startsWith("Exec=") && !line.mid(5).trimmed().isEmpty())
            program = true;
    }
    return program;
}

} // namespace

QString Autostart::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/lumora.desktop");
}

bool Autostart::isEnabled()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return entryStarts(file.readAll());
}

QByteArray Autostart::entryText(const QString &executablePath)
{
    const QString own = QFileInfo(executablePath).canonicalFilePath();
    const QString onPath = QFileInfo(QStandardPaths::findExecutable(QStringLiteral("lumora"))).canonicalFilePath();
    const QString program = !own.isEmpty() && own == onPath ? QStringLiteral("lumora") : execArgument(executablePath);
    QByteArray text = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Lumora\n"
                      "Comment=New-mail notifier in the system tray\n"
                      "Icon=lumora\n";
    text += "Exec=" + program.toUtf8() + "\n";
    // A removed program leaves no broken start-up entry behind.
    text += "TryExec="
        + (program == QLatin1String("lumora") ? program : QFileInfo(executablePath).absoluteFilePath()).toUtf8() + "\n";
    text += "Terminal=false\n"
            "NoDisplay=true\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

bool Autostart::setEnabled(bool enabled, QString *error)
{
    const QString path = entryPath();
    if (!enabled) {
        QFile entry(path);
        if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
            return true;
        if (entry.remove())
            return true;
        if (error)
            *error = QCoreApplication::translate("Autostart", "cannot remove %1: %2").arg(path, entry.errorString());
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QCoreApplication::translate("Autostart", "cannot create the folder of %1").arg(path);
        return false;
    }
    const AtomicFile::Result saved = AtomicFile::write(path, entryText(QCoreApplication::applicationFilePath()));
    if (!saved) {
        if (error)
            *error = QCoreApplication::translate("Autostart", "cannot write %1: %2").arg(path, saved.error);
        return false;
    }
    return true;
}

} // namespace lumora
