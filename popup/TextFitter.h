#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace lumora {

// Fits mail text into a fixed label box: word-wrapped, and cut with "..." at the end of
// the last line that fits. Mail text is untrusted, so it is made safe for display first.
class TextFitter
{
public:
    // Longest input that is measured at all, in UTF-16 units. The popup's largest box shows
    // three lines of at most about 45 of the narrowest glyphs; anything beyond is cut
    // before layout so that a 100 000 character subject costs no more than a short one.
    static constexpr int MaxMeasured = 320;

    // Combining marks kept on one base character; real scripts use a few at most.
    static constexpr int MaxMarks = 8;

    // Control characters become spaces, direction controls and invisible characters (format
    // characters, the soft hyphen, tag characters) are dropped, unpaired surrogates become U+FFFD, and the text is
    // cut to MaxMeasured characters without splitting a surrogate pair;
    // marks beyond MaxMarks on one character are dropped.
    static QString sanitize(const QString &text, bool *cut = nullptr);

    // The text as it fits the box in the given font: unchanged (apart from sanitize) when
    // it fits, otherwise its visible part ending in "...".
    static QString fit(const QString &text, const QFont &font, const QSize &box);
};

} // namespace lumora
