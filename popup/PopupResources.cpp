#include "popup/PopupResources.h"

#include <QPixmap>

// Resources of a static library are registered explicitly, or the linker drops them.
static void initPopupResources()
{
    Q_INIT_RESOURCE(popup);
}

namespace lumora {

namespace {

void ensureResources()
{
    static const bool done = (initPopupResources(), true);
    Q_UNUSED(done);
}

} // namespace

QImage PopupResources::image(Image which)
{
    ensureResources();
    switch (which) {
    case CloseButton:
        return QImage(QStringLiteral(":/lumora/popup/close.xpm"));
    case DeleteGlyph:
        return QImage(QStringLiteral(":/lumora/popup/delete.xpm"));
    case DefaultPicture:
        return QImage(QStringLiteral(":/lumora/popup/picture.xpm"));
    }
    return {};
}

QCursor PopupResources::handCursor()
{
    ensureResources();
    // Through QImage: loading a QPixmap from a file puts it in the pixmap cache, whose
    // clean-up timer would wake the idle process half a minute later.
    const QPixmap hand = QPixmap::fromImage(QImage(QStringLiteral(":/lumora/popup/hand.xpm")));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, 12, 1);
}

} // namespace lumora
