#include "host/common/DesktopHandlers.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace lumora {

namespace {

// xdg-mime answers at once or not at all; a click must not wait long for it.
constexpr int kQueryTimeoutMs = 3000;

DesktopHandlers *g_installed = nullptr;

QString execLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (inEntry && line.startsWith(QLatin1String("Exec=")))
            return line.mid(5).trimmed();
    }
    return QString();
}

} // namespace

DesktopHandlers::~DesktopHandlers() = default;

QString DesktopHandlers::defaultEntry(const QString &mimeType)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return QString();
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished(kQueryTimeoutMs);
        return QString();
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return QString();
    const QString id = QString::fromUtf8(query.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    // Desktop ids are plain file names; an answer naming an entry that is not installed
    // opens nothing either.
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return QString();
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
}

QStringList DesktopHandlers::commandFor(const QString &entryPath, const QString &file)
{
    QStringList words = QProcess::splitCommand(execLine(entryPath));
    if (words.isEmpty())
        return {};
    bool filled = false;
    QStringList out;
    for (const QString &word : std::as_const(words)) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F")) {
            out << file;
            filled = true;
        } else if (word == QLatin1String("%u") || word == QLatin1String("%U")) {
            out << QUrl::fromLocalFile(file).toString();
            filled = true;
        } else if (word.size() == 2 && word.startsWith(QLatin1Char('%'))) {
            continue; // %i, %c, %k and the deprecated codes stand for nothing here
        } else {
            QString plain = word;
            out << plain.replace(QLatin1String("%%"), QLatin1String("%"));
        }
    }
    if (!filled)
        out << file;
    return out;
}

DesktopHandlers &DesktopHandlers::instance()
{
    static DesktopHandlers desktop;
    return g_installed ? *g_installed : desktop;
}

void DesktopHandlers::setInstance(DesktopHandlers *handlers)
{
    g_installed = handlers;
}

} // namespace lumora
