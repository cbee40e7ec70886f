#include "support/HelpLauncher.h"

#include "platform/core/ProcessLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
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

// The language subtag of a locale name ("de" of "de-Latn-AT", "fr" of "fr_CA"); empty when
// it is not two or three ASCII letters, so that nothing from the environment reaches a path
// but a plain language code.
QString languageCode(const QString &uiLanguage)
{
    const QString code = uiLanguage.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
    if (code.size() < 2 || code.size() > 3)
        return {};
    for (const QChar c : code) {
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return {};
    }
    return code;
}

} // namespace

QString HelpLauncher::languageFolder(const QString &folder, const QStringList &uiLanguages)
{
    const QDir html(QDir(folder).absoluteFilePath(HtmlFolderName));
    for (const QString &uiLanguage : uiLanguages) {
        // The C locale and English both mean the English pages, which need no folder.
        if (uiLanguage == QLatin1String("C"))
            return {};
        const QString code = languageCode(uiLanguage);
        if (code == QLatin1String("en"))
            return {};
        if (!code.isEmpty() && QFileInfo(html.filePath(code + QLatin1Char('/') + HtmlStartPage)).isFile())
            return code;
    }
    return {};
}

QStringList HelpLauncher::chmViewers()
{
    return {QStringLiteral("xchm"), QStringLiteral("kchmviewer")};
}

bool HelpLauncher::open(const QString &folder, int *errorNumber, QString *errorText)
{
    return open(folder, QLocale::system().uiLanguages(), errorNumber, errorText);
}

bool HelpLauncher::open(const QString &folder, const QStringList &uiLanguages, int *errorNumber, QString *errorText)
{
    const QString helpFile = QDir(folder).absoluteFilePath(HelpFileName);
    if (folder.isEmpty() || !QFileInfo(helpFile).isFile())
        return fail(ENOENT, QStringLiteral("Help file not found: ") + helpFile, errorNumber, errorText);

    // A translation without its own compiled file still has its pages for the browser.
    const QString language = languageFolder(folder, uiLanguages);
    const QString pages = QDir(folder).absoluteFilePath(
        language.isEmpty() ? HtmlFolderName : HtmlFolderName + QLatin1Char('/') + language);
    const QString translatedFile = QDir(pages).filePath(HelpFileName);
    const QString compiled = !language.isEmpty() && QFileInfo(translatedFile).isFile() ? translatedFile : helpFile;

    for (const QString &viewer : chmViewers()) {
        const QString program = QStandardPaths::findExecutable(viewer);
        if (!program.isEmpty())
            return ProcessLauncher::instance().startDetached(program, {compiled}, errorNumber, errorText);
    }

    // No compiled-help viewer: the browser shows the same pages from their HTML copy.
    const QString startPage = QDir(pages).filePath(HtmlStartPage);
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
