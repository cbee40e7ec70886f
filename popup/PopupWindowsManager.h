#pragma once

#include "popup/PopupError.h"

#include <QList>
#include <QObject>

namespace lumora {

class PopupWindow;

// Decides where the popup goes and starts its showing. Each screen corner's edge is
// divided into slots one popup high; a popup is shown only when it gets its corner's
// first slot, so two showings never overlap in a corner.
class PopupWindowsManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int InvalidSizeError = 989;

    explicit PopupWindowsManager(QObject *parent = nullptr);
    ~PopupWindowsManager() override;

    qint32 WindowWidth() const { return m_width; }
    // 10 or more is stored and frees every slot; less is refused (lastError()).
    bool setWindowWidth(qint32 value);
    qint32 WindowHeight() const { return m_height; }
    bool setWindowHeight(qint32 value);
    const PopupError &lastError() const { return m_lastError; }

    // Places the popup at its corner (or leaves its manual position) and starts
    // ShowPopup when it got the corner's first slot.
    void PlaceAndShow(PopupWindow &popup);
    // The same, starting ShowTestPopup.
    void PlaceAndShowTest(PopupWindow &popup);
    // Hands back a popup's slot; align 1 to 4 names the corner, others do nothing. The
    // slot may come back lowered when the corner's list shrinks.
    void ReleaseWindow(qint32 &align, qint32 &slot);

    // The slot list of corner 1 to 4 (true = free); empty for any other align.
    QList<bool> slotList(qint32 align) const;

    // Slot list rules, public so they can be checked on their own.
    // Takes the lowest free slot, growing the list when all are taken.
    static qint32 AllocSlot(QList<bool> &slots);
    // Frees a slot; freeing the last one trims trailing free entries (keeping index 0)
    // and lowers slot to the new last index. Indexes outside the list are ignored.
    static void ReleaseSlot(QList<bool> &slots, qint32 &slot);

private:
    // Returns the slot given to the popup (0 for the manual position), or -1 when the
    // popup must not be shown now.
    qint32 place(PopupWindow &popup);
    QList<bool> *slotsFor(qint32 align);
    void ResetSlots();
    void reject(const QString &description);

    QList<bool> m_topRight;
    QList<bool> m_topLeft;
    QList<bool> m_bottomRight;
    QList<bool> m_bottomLeft;
    qint32 m_height = 0;
    qint32 m_width = 0;
    PopupError m_lastError;
};

} // namespace lumora
