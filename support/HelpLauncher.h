#pragma once

#include <QString>
#include <QStringList>

namespace lumora {

// Opens the help file that lies beside a plugin library. A compiled-help viewer shows
// "Lumora.chm" when one is installed; otherwise the same pages, installed beside it as
// HTML, open in the desktop's browser. Translations lie in "help/<language>/" (pages and
// their own compiled file); the first of the user's languages that has one is shown, else
// English. Before starting anything it checks that the file and a viewer exist, so that a
// failure is reported here instead of being lost in a detached process.
class HelpLauncher
{
public:
    static const QString HelpFileName;
    // Folder beside the help file holding the pages as HTML, and its first page.
    static const QString HtmlFolderName;
    static const QString HtmlStartPage;

    // Starts the viewer for the help file in folder, in the first of uiLanguages it has (by
    // default the system locale's). False when the file is missing, no viewer is installed
    // or the viewer could not be started; *errorNumber (an errno value) and *errorText then
    // say why.
    static bool open(const QString &folder, int *errorNumber, QString *errorText);
    static bool open(const QString &folder, const QStringList &uiLanguages, int *errorNumber, QString *errorText);

    // The translation folder under folder's "help" for the first of uiLanguages (as
    // QLocale::uiLanguages() names them, "de-DE", "fr", "C") that has a start page there;
    // empty for English, which is also what an English or unknown language gets.
    static QString languageFolder(const QString &folder, const QStringList &uiLanguages);

    // The log message of a failed launch: "Shell Error:", the number with a blank in
    // place of a plus sign, "," and the description.
    static QString shellError(int number, const QString &description);

    // Compiled-help viewers, in the order they are looked for on PATH.
    static QStringList chmViewers();
};

} // namespace lumora
