// Prints the help translation folder that the system locale picks for the library folder
// given as argument, so that a test can set the locale variables of a fresh process.
#include "support/HelpLauncher.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString folder =
        lumora::HelpLauncher::languageFolder(QString::fromLocal8Bit(argv[1]), QLocale::system().uiLanguages());
    std::printf("%s\n", folder.toUtf8().constData());
    return 0;
}
