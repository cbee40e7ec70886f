#pragma once

#include "platform/core/MailText.h"

#include <QFont>
#include <QSize>
#include <QString>

namespace lumora {

// Fits mail text into a fixed label box: word-wrapped, and cut with "..." at the end of
// the last line that fits. Mail text is untrusted, so it is made safe for display first.
class TextFitter
{
public:
    // Longest input that is measured at all, in UTF-16 units: the cap every surface of mail
    // text shares, so that a 100 000 character subject costs no more than a short one.
    static constexpr int MaxMeasured = MailText::MaxChars;

    // The cleaning every surface of mail text shares (MailText::clean), cut to MaxMeasured;
    // the cut is marked by fit, with the ellipsis the box draws.
    static QString sanitize(const QString &text, bool *cut = nullptr);

    // The text as it fits the box in the given font: unchanged (apart from sanitize) when
    // it fits, otherwise its visible part ending in "...".
    static QString fit(const QString &text, const QFont &font, const QSize &box);
};

} // namespace lumora
