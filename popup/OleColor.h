#pragma once

#include <QColor>
#include <QtGlobal>

namespace lumora {

// Colours are kept as 0x00BBGGRR; with the high bit set the low byte names a system colour.
class OleColor
{
public:
    static constexpr qint32 rgb(int r, int g, int b) { return qint32(r | (g << 8) | (b << 16)); }
    static constexpr bool isSystemColor(qint32 value) { return (quint32(value) & 0x80000000u) != 0; }

    // The plain colour of the low three bytes; a system colour reference is not resolved.
    static QColor plain(qint32 value);
    // The colour to paint with: system colour references come from the desktop palette.
    static QColor resolve(qint32 value);
};

} // namespace lumora
