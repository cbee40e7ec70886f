#include "translations/AppTranslator.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace lumora {

namespace {

const QString kResourceFolder = QStringLiteral(":/lumora/translations");

} // namespace

bool AppTranslator::install(QCoreApplication &app, const QLocale &locale)
{
    // QTranslator::load(QLocale, ...) walks the locale's UI languages (LANGUAGE, then
    // LC_ALL, LC_MESSAGES, LANG as Qt reads them) and takes the first that has a file.
    auto *own = new QTranslator(&app);
    const bool found = own->load(locale, QStringLiteral("lumora"), QStringLiteral("_"), kResourceFolder);
    if (found)
        QCoreApplication::installTranslator(own);
    else
        delete own;

    // Qt's own texts (the standard buttons "OK", "Cancel", "Apply", the file dialog) come with
    // Qt's translation package; without it they stay English while ours are translated.
    // Only loaded alongside ours, so an English run keeps Qt's English too.
    if (found) {
        auto *qt = new QTranslator(&app);
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
    }
    return found;
}

QStringList AppTranslator::languages()
{
    QStringList out;
    const QStringList files = QDir(kResourceFolder).entryList({QStringLiteral("lumora_*.qm")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        out << file.mid(7, file.size() - 10);
    return out;
}

QString AppTranslator::resourceFile(const QString &language)
{
    return kResourceFolder + QStringLiteral("/lumora_") + language + QStringLiteral(".qm");
}

} // namespace lumora
