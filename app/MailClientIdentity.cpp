#include "app/MailClientIdentity.h"

#include "settings/modRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace lumora {

const QString MailClientIdentity::SettingsKey = QStringLiteral("Software\\Corvane Software\\Lumora\\Host");
const QString MailClientIdentity::SettingsValue = QStringLiteral("MailClient");

namespace {

// xdg-mime is a shell script that may consult the desktop's own tools; it answers at
// once or not at all, so start-up never waits long for it.
constexpr int kQueryTimeoutMs = 3000;

// The program an Exec line runs: the first word that is neither "env" nor a variable
// assignment, without its folder. Quoting is honoured only as far as plain words need.
QString programOfExec(const QString &exec)
{
    const QStringList words = QProcess::splitCommand(exec);
    for (const QString &word : words) {
        if (word == QLatin1String("env") || (word.contains(QLatin1Char('=')) && !word.startsWith(QLatin1Char('/'))))
            continue;
        return QFileInfo(word).fileName();
    }
    return QString();
}

} // namespace

QString MailClientIdentity::resolve(const QString &commandLine, QString *source)
{
    const QString given = commandLine.trimmed();
    if (!given.isEmpty()) {
        store(given);
        if (source)
            *source = QStringLiteral("--mail-client");
        return given;
    }
    const QString kept = stored();
    if (!kept.isEmpty()) {
        if (source)
            *source = QStringLiteral("setting");
        return kept;
    }
    QString desktopId;
    const QString found = desktopDefault(&desktopId);
    if (source)
        *source = found.isEmpty() ? QString() : QStringLiteral("mailto handler ") + desktopId;
    return found;
}

QString MailClientIdentity::stored()
{
    return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, SettingsKey, SettingsValue).toString().trimmed();
}

bool MailClientIdentity::store(const QString &windowClass)
{
    if (stored() == windowClass)
        return true;
    return modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, SettingsKey, SettingsValue, windowClass,
                                           reg::REG_SZ);
}

QString MailClientIdentity::desktopDefault(QString *desktopId)
{
    const QString id = mailtoHandler();
    if (desktopId)
        *desktopId = id;
    // Desktop ids are plain file names; anything with a separator is not one.
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return QString();
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    return path.isEmpty() ? QString() : classFromDesktopEntry(path);
}

QString MailClientIdentity::mailtoHandler()
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return QString();
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished(kQueryTimeoutMs);
        return QString();
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return QString();
    // One id per line may come back; the first is the default.
    return QString::fromUtf8(query.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString MailClientIdentity::classFromDesktopEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool inEntry = false;
    QString wmClass;
    QString exec;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("StartupWMClass") && wmClass.isEmpty())
            wmClass = value;
        else if (key == QLatin1String("Exec") && exec.isEmpty())
            exec = value;
    }
    return wmClass.isEmpty() ? programOfExec(exec) : wmClass;
}

} // namespace lumora
