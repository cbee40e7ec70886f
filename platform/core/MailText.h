#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>

namespace lumora {

// Mail text (a subject, a sender, a folder name) is written by strangers. Whatever shows it
// (the popup, a desktop notification, the tray's tool tip, a log or trace line) takes it
// through here first, so that nothing it contains can reorder, hide, colour or restyle what
// is around it, and nothing of it costs more than a screenful to draw.
class LUMORA_PLATFORM_EXPORT MailText
{
public:
    // The one length cap, in UTF-16 units: the popup's largest box shows three lines of at
    // most about 45 of the narrowest glyphs, and a notification or a log line needs no more.
    static constexpr int MaxChars = 320;
    // Combining marks kept on one base character; real scripts use a few at most.
    static constexpr int MaxMarks = 8;

    // The text made safe to show: terminal escape sequences (CSI, OSC and the like) are
    // dropped whole, other control characters and line or paragraph separators become
    // blanks, direction controls and invisible characters (format characters, the soft
    // hyphen, tag characters) are dropped, unpaired surrogates become U+FFFD, and marks
    // beyond MaxMarks on one character are dropped. Longer text is cut to maxChars,
    // never inside a surrogate pair, and ends in "…". Markup is left as text; see forMarkup.
    static QString forDisplay(const QString &text, int maxChars = MaxChars);

    // forDisplay, then escaped for a surface that reads markup (a notification server's
    // body markup), so "<b>" shows as written instead of turning the text bold.
    static QString forMarkup(const QString &text, int maxChars = MaxChars);

    // forDisplay of each line on its own, for texts of several lines (the tray's tool tip).
    static QString linesForDisplay(const QString &text, int maxChars = MaxChars);

    // The cleaning of forDisplay alone, of the first maxChars units, with no mark added;
    // *cut (when given) says whether the text was longer.
    static QString clean(const QString &text, int maxChars, bool *cut = nullptr);

    // What marks a cut.
    static QString ellipsis() { return QStringLiteral("\u2026"); }
};

} // namespace lumora
