#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace lumora {

// Puts the program's own strings, and Qt's for its standard buttons and dialogs, into the
// language of the given locale. English needs nothing: it is the language of the sources.
class AppTranslator
{
public:
    // Installs the translators for locale's languages on app (which keeps them); true when
    // Lumora's own strings were found in one of them. A language without a translation
    // leaves the English texts, which is no error.
    static bool install(QCoreApplication &app, const QLocale &locale = QLocale::system());

    // The languages Lumora ships a translation of, as "de", "fr".
    static QStringList languages();

    // The resource path of the compiled translation for language, like ":/lumora/translations/lumora_de.qm".
    static QString resourceFile(const QString &language);
};

} // namespace lumora
