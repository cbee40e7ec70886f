#include "popup/PopupWindowsManager.h"

#include "platform/core/Verbose.h"
#include "platform/desktop/WorkArea.h"
#include "popup/PopupWindow.h"

#include <QRect>

#include <limits>

namespace lumora {

PopupWindowsManager::PopupWindowsManager(QObject *parent)
    : QObject(parent)
{
    setWindowHeight(120);
    setWindowWidth(200);
    ResetSlots();
}

PopupWindowsManager::~PopupWindowsManager() = default;

bool PopupWindowsManager::setWindowWidth(qint32 value)
{
    if (value < 10) {
        reject(tr("Invalid width."));
        return false;
    }
    ResetSlots();
    m_width = value;
    m_lastError = {};
    return true;
}

bool PopupWindowsManager::setWindowHeight(qint32 value)
{
    if (value < 10) {
        reject(tr("Invalid height."));
        return false;
    }
    ResetSlots();
    m_height = value;
    m_lastError = {};
    return true;
}

void PopupWindowsManager::reject(const QString &description)
{
    m_lastError = {InvalidSizeError, description, QStringLiteral("PopupWindowsManager")};
}

void PopupWindowsManager::ResetSlots()
{
    m_topRight = {true};
    m_topLeft = {true};
    m_bottomRight = {true};
    m_bottomLeft = {true};
}

QList<bool> *PopupWindowsManager::slotsFor(qint32 align)
{
    switch (align) {
    case 1:
        return &m_topRight;
    case 2:
        return &m_topLeft;
    case 3:
        return &m_bottomRight;
    case 4:
        return &m_bottomLeft;
    default:
        return nullptr;
    }
}

QList<bool> PopupWindowsManager::slotList(qint32 align) const
{
    const QList<bool> *list = const_cast<PopupWindowsManager *>(this)->slotsFor(align);
    return list ? *list : QList<bool>();
}

qint32 PopupWindowsManager::AllocSlot(QList<bool> &slots)
{
    if (slots.isEmpty())
        slots.append(true);
    qint32 i = 0;
    const qint32 upper = qint32(slots.size()) - 1;
    while (!slots.at(i) && i < upper)
        ++i;
    if (i == upper && !slots.at(i)) {
        slots.append(true);
        ++i;
    }
    slots[i] = false;
    return i;
}

void PopupWindowsManager::ReleaseSlot(QList<bool> &slots, qint32 &slot)
{
    const qint32 upper = qint32(slots.size()) - 1;
    if (slot < 0 || slot > upper)
        return;
    slots[slot] = true;
    if (slot < upper)
        return;
    while (slots.at(slot) && slot >= 1)
        --slot;
    slots.resize(slot + 1);
}

qint32 PopupWindowsManager::place(PopupWindow &popup)
{
    // There is one popup; a second request while it shows would restart or move it
    // under the user's pointer. The showing on screen picks up new mail by itself.
    if (popup.isShowing())
        return -1;

    const QRect area = WorkArea::instance().primaryWorkArea();
    const qint64 left = area.x();
    const qint64 top = area.y();
    const qint64 right = qint64(area.x()) + area.width();
    const qint64 bottom = qint64(area.y()) + area.height();
    qint64 rows = (bottom - top) / m_height;
    if (rows > std::numeric_limits<qint16>::max())
        rows = std::numeric_limits<qint16>::max();
    if (rows <= 0)
        rows = 1;

    const qint32 align = popup.Align();
    QList<bool> *slots = slotsFor(align);
    if (!slots)
        return 0; // manual: X and Y stay as the settings gave them

    qint32 n = AllocSlot(*slots);
    if (n != 0) {
        // The corner is occupied. Taking and keeping a further slot would block the
        // corner for good, so hand it straight back and leave the popup where it is.
        ReleaseSlot(*slots, n);
        return -1;
    }
    const qint64 row = n % rows;
    const qint64 column = n / rows;
    const qint64 w = m_width;
    const qint64 h = m_height;
    qint64 y = 0;
    qint64 x = 0;
    switch (align) {
    case 1:
        y = top + h * row;
        x = right - (column + 1) * w;
        break;
    case 2:
        y = top + h * row;
        x = left + column * w;
        break;
    case 3:
        y = bottom - (row + 1) * h;
        x = right - (column + 1) * w;
        break;
    default:
        y = bottom - (row + 1) * h;
        x = left + column * w;
        break;
    }
    popup.setY(qint32(y));
    popup.setX(qint32(x));
    return n;
}

void PopupWindowsManager::PlaceAndShow(PopupWindow &popup)
{
    qint32 n = place(popup);
    if (n == 0) {
        Verbose::line(
            QStringLiteral("popup: placed at %1,%2, location %3").arg(popup.X()).arg(popup.Y()).arg(popup.Align()));
        popup.ShowPopup(this, n);
    }
}

void PopupWindowsManager::PlaceAndShowTest(PopupWindow &popup)
{
    qint32 n = place(popup);
    if (n == 0)
        popup.ShowTestPopup(this, n);
}

void PopupWindowsManager::ReleaseWindow(qint32 &align, qint32 &slot)
{
    if (QList<bool> *slots = slotsFor(align))
        ReleaseSlot(*slots, slot);
}

} // namespace lumora
