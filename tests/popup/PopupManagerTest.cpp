#include "tests/popup/PopupFixture.h"

namespace lumora::test {

namespace {

using ManagerTest = PopupFixture;

TEST_F(ManagerTest, CornerPlacementOnTheWorkArea)
{
    screen.area = QRect(0, 0, 1024, 738);
    AddInSettings settings = defaultSettings();
    PopupWindow &p = window(settings);
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    EXPECT_EQ(QPoint(p.X(), p.Y()), QPoint(824, 618));
    p.Image1_Click();

    p.setAlign(2);
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    EXPECT_EQ(QPoint(p.X(), p.Y()), QPoint(0, 0));
    p.Image1_Click();

    // An offset work area (panel on the left and top) moves the corners with it.
    screen.area = QRect(48, 24, 976, 714);
    p.setAlign(3);
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    EXPECT_EQ(QPoint(p.X(), p.Y()), QPoint(824, 618));
}

TEST_F(ManagerTest, SlotAllocationTakesTheLowestFreeSlotAndGrows)
{
    QList<bool> slots{false, false, true};
    EXPECT_EQ(PopupWindowsManager::AllocSlot(slots), 2);
    EXPECT_EQ(slots, QList<bool>({false, false, false}));

    QList<bool> one{false};
    EXPECT_EQ(PopupWindowsManager::AllocSlot(one), 1);
    EXPECT_EQ(one, QList<bool>({false, false}));

    QList<bool> gap{false, true, false};
    EXPECT_EQ(PopupWindowsManager::AllocSlot(gap), 1);
}

TEST_F(ManagerTest, ReleasingTheLastSlotTrimsFreeEntries)
{
    QList<bool> slots{true, true, true, false};
    qint32 slot = 3;
    PopupWindowsManager::ReleaseSlot(slots, slot);
    EXPECT_EQ(slots, QList<bool>({true}));
    EXPECT_EQ(slot, 0);

    QList<bool> middle{false, false, false};
    slot = 1;
    PopupWindowsManager::ReleaseSlot(middle, slot);
    EXPECT_EQ(middle, QList<bool>({false, true, false}));
    EXPECT_EQ(slot, 1);

    QList<bool> partial{false, true, false};
    slot = 2;
    PopupWindowsManager::ReleaseSlot(partial, slot);
    EXPECT_EQ(partial, QList<bool>({false}));
    EXPECT_EQ(slot, 0);

    for (qint32 outside : {-1, 1, 40}) {
        QList<bool> list{false};
        PopupWindowsManager::ReleaseSlot(list, outside);
        EXPECT_EQ(list, QList<bool>({false}));
    }
}

TEST_F(ManagerTest, SizesBelowTenAreRefused)
{
    EXPECT_EQ(manager.WindowWidth(), 200);
    EXPECT_EQ(manager.WindowHeight(), 120);
    EXPECT_FALSE(manager.setWindowWidth(9));
    EXPECT_EQ(manager.WindowWidth(), 200);
    EXPECT_EQ(manager.lastError().number, 989);
    EXPECT_EQ(manager.lastError().description, "Invalid width.");
    EXPECT_EQ(manager.lastError().source, "PopupWindowsManager");
    EXPECT_FALSE(manager.setWindowHeight(-5));
    EXPECT_EQ(manager.WindowHeight(), 120);
    EXPECT_EQ(manager.lastError().number, 989);

    PopupWindow &p = window();
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    EXPECT_EQ(manager.slotList(3), QList<bool>({false}));
    EXPECT_FALSE(manager.setWindowWidth(3));
    EXPECT_EQ(manager.slotList(3), QList<bool>({false}));
    EXPECT_TRUE(manager.setWindowWidth(10));
    EXPECT_EQ(manager.WindowWidth(), 10);
    EXPECT_EQ(manager.slotList(3), QList<bool>({true}));
}

TEST_F(ManagerTest, ARequestForAnOccupiedCornerLeavesNothingBehind)
{
    PopupWindow &p = window();
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    clock.advance(300);
    const QRect during = p.frameGeometry();

    manager.PlaceAndShowTest(p);
    EXPECT_EQ(manager.slotList(3), QList<bool>({false}));
    EXPECT_EQ(QPoint(p.X(), p.Y()), QPoint(824, 618));
    EXPECT_EQ(p.frameGeometry(), during);
    EXPECT_EQ(text("lblMessage"), "x");

    clock.advance(4450 + 750);
    EXPECT_FALSE(p.isShowing());
    EXPECT_EQ(manager.slotList(3), QList<bool>({true}));
}

TEST_F(ManagerTest, ASettingsChangeDuringAShowingFreesTheCornerItCameFrom)
{
    PopupWindow &p = window();
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    AddInSettings moved = defaultSettings();
    moved.PopAlign = 1;
    style.SetPopupProps(p, moved);
    p.Image1_Click();
    for (int align = 1; align <= 4; ++align)
        EXPECT_EQ(manager.slotList(align), QList<bool>({true})) << align;

    add("a@example.org", "y");
    manager.PlaceAndShow(p);
    EXPECT_TRUE(p.isShowing());
    EXPECT_EQ(QPoint(p.X(), p.Y()), QPoint(824, 0));
}

} // namespace

} // namespace lumora::test
