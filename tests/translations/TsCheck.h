#pragma once

#include <QString>
#include <QStringList>

namespace lumora::test {

// Reads a Qt Linguist .ts file and names every message whose translation a user would
// find wrong: missing, unfinished, or not carrying the source's accelerator and
// placeholders. Empty when the file is complete.
class TsCheck
{
public:
    static QStringList problems(const QString &tsPath);
    // The same for the text of a .ts file; name only labels the problems.
    static QStringList problemsInText(const QByteArray &text, const QString &name);

    // The number of accelerator marks: "&" before a character, "&&" being a plain ampersand.
    static int accelerators(const QString &text);
    // The accelerator's character, lower-cased; null when there is none.
    static QChar acceleratorKey(const QString &text);
    // The placeholders "%1".."%99" and "%n" (also as "%Ln"), sorted, once each.
    static QStringList placeholders(const QString &text);
};

} // namespace lumora::test
