#include "support/HelpLauncher.h"

#include "platform/core/ProcessLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

namespace lumora {

const QString HelpLauncher::HelpFileName = QStringLiteral("Lumora.chm");
const QString HelpLauncher::HtmlFolderName = QStringLiteral("help");
const QString HelpLauncher::HtmlStartPage = QStringLiteral("index.html");

namespace {

bool fail(int number, const QString &text, int *errorNumber, QString *errorText)
{
    if (errorNumber)
        *errorNumber = number;
    if (errorText)
        *errorText = text;
    return false;
}

} // namespace

QStringList HelpLauncher::chmViewers()
{
    return {QStringLiteral("xchm"), QStringLiteral("kchmviewer")};
}

bool HelpLauncher::open(const QString &folder, int *errorNumber, QString *errorText)
{
    const QString helpFile = QDir(folder).absoluteFilePath(HelpFileName);
    if (folder.isEmpty() || !QFileInfo(helpFile).isFile())
        return fail(ENOENT, QStringLiteral("Help file not found: ") + helpFile, errorNumber, errorText);

    for (const QString &viewer : chmViewers()) {
        const QString program = QStandardPaths::findExecutable(viewer);
        if (!program.isEmpty())
            return ProcessLauncher::instance().startDetached(program, {helpFile}, errorNumber, errorText);
    }

    // No compiled-help viewer: the browser shows the same pages from their HTML copy.
    const QString startPage = QDir(folder).absoluteFilePath(HtmlFolderName + QLatin1Char('/') + HtmlStartPage);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!QFileInfo(startPage).isFile() || opener.isEmpty()) {
        return fail(ENOENT,
                    QStringLiteral("No help viewer found: install xchm or kchmviewer, or xdg-utils with the help "
                                   "pages in ")
                        + QDir(folder).absoluteFilePath(HtmlFolderName),
                    errorNumber, errorText);
    }
    return ProcessLauncher::instance().startDetached(opener, {startPage}, errorNumber, errorText);
}

QString HelpLauncher::shellError(int number, const QString &description)
{
    const QString sign = number < 0 ? QStringLiteral("-") : QStringLiteral(" ");
    return QStringLiteral("Shell Error:") + sign + QString::number(qAbs(static_cast<qint64>(number))) + QLatin1Char(',')
        + description;
}

} // namespace lumora
