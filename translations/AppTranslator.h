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
    // Installs the translators for the system's UI languages, as Qt reads them from
    // LANGUAGE, LC_ALL, LC_MESSAGES and LANG. As with gettext, a C or POSIX message locale
    // means untranslated output whatever LANGUAGE says: that is how scripts ask for English.
    static bool install(QCoreApplication &app);
    // Installs the translators for locale's languages on app (which keeps them); true when
    // Lumora's own strings were found in one of them. A language without a translation
    // leaves the English texts, which is no error.
    static bool install(QCoreApplication &app, const QLocale &locale);
    // Whether the message locale (LC_ALL, else LC_MESSAGES, else LANG) is C or POSIX.
    static bool messagesLocaleIsC();

    // The languages Lumora ships a translation of, as "de", "fr".
    static QStringList languages();

    // The resource path of the compiled translation for language, like ":/lumora/translations/lumora_de.qm".
    static QString resourceFile(const QString &language);
};

} // namespace lumora
