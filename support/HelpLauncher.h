#pragma once

#include <QString>
#include <QStringList>

namespace lumora {

// Opens the help file that lies beside a plugin library. A compiled-help viewer shows
// "Lumora.chm" when one is installed; otherwise the same pages, installed beside it as
// HTML, open in the desktop's browser. Before starting anything it checks that the file
// and a viewer exist, so that a failure is reported here instead of being lost in a
// detached process.
class HelpLauncher
{
public:
    static const QString HelpFileName;
    // Folder beside the help file holding the pages as HTML, and its first page.
    static const QString HtmlFolderName;
    static const QString HtmlStartPage;

    // Starts the viewer for the help file in folder. False when the file is missing, no
    // viewer is installed or the viewer could not be started; *errorNumber (an errno
    // value) and *errorText then say why.
    static bool open(const QString &folder, int *errorNumber, QString *errorText);

    // The log message of a failed launch: "Shell Error:", the number with a blank in
    // place of a plus sign, "," and the description.
    static QString shellError(int number, const QString &description);

    // Compiled-help viewers, in the order they are looked for on PATH.
    static QStringList chmViewers();
};

} // namespace lumora
