#pragma once

#include <QList>
#include <QString>

namespace lumora::test {

// Mail text written to mislead or to attack whatever shows it, with what a reader must see
// of it on any surface. Each surface's tests drive all of these rows through it.
struct HostileRow
{
    const char *name;
    QString text;
    // As shown once cleaned (before any surface's own fitting or escaping).
    QString shown;
};

inline QList<HostileRow> hostileRows()
{
    return {
        {"bidiOverride", QStringLiteral("invoice\u202Efdp.exe"), QStringLiteral("invoicefdp.exe")},
        {"bidiEmbedding", QStringLiteral("a\u202Ab\u202Bc\u202Cd"), QStringLiteral("abcd")},
        {"bidiIsolate", QStringLiteral("left\u2067right\u2069\u2066x\u2068y"), QStringLiteral("leftrightxy")},
        {"directionMarks", QStringLiteral("a\u200Eb\u200Fc\u061Cd"), QStringLiteral("abcd")},
        {"zeroWidth", QStringLiteral("pay\u200Bp\u200Ca\u200Dl\u2060"), QStringLiteral("paypal")},
        {"byteOrderMark", QStringLiteral("\uFEFFhello\uFEFF"), QStringLiteral("hello")},
        {"c0Controls", QStringLiteral("one\ntwo\rthree\tfour\x01\x7F"), QStringLiteral("one two three four  ")},
        {"c1Controls", QStringLiteral("a\u0085b\u0080c"), QStringLiteral("a b c")},
        {"ansiColour", QStringLiteral("\x1b[31;1mred\x1b[0m alert"), QStringLiteral("red alert")},
        {"ansiClear", QStringLiteral("\x1b[2J\x1b[Hcleared"), QStringLiteral("cleared")},
        {"oscTitleBel", QStringLiteral("\x1b]0;owned\x07subject"), QStringLiteral("subject")},
        {"oscLinkSt", QStringLiteral("\x1b]8;;http://evil.example/\x1b\\click\x1b]8;;\x1b\\"), QStringLiteral("click")},
        {"c1Csi", QStringLiteral("\u009B31mred"), QStringLiteral("red")},
        {"markupBold", QStringLiteral("<b>x</b>"), QStringLiteral("<b>x</b>")},
        {"markupImage", QStringLiteral("<img src=\"http://evil.example/p.png\">"),
         QStringLiteral("<img src=\"http://evil.example/p.png\">")},
        {"markupEntity", QStringLiteral("Tom &amp; Jerry"), QStringLiteral("Tom &amp; Jerry")},
        {"huge", QString(8192, QLatin1Char('s')), QString(319, QLatin1Char('s')) + QStringLiteral("\u2026")},
    };
}

// True when nothing in text reorders, hides or acts on what surrounds it: no direction
// controls, no invisible characters, no control characters but the given line break.
inline bool holdsNothingHostile(const QString &text, bool lineBreaks = false)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (lineBreaks && u == '\n')
            continue;
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || (u >= 0x200b && u <= 0x200f) || (u >= 0x202a && u <= 0x202e)
            || (u >= 0x2060 && u <= 0x2069) || u == 0xfeff || u == 0x061c)
            return false;
    }
    return true;
}

} // namespace lumora::test
