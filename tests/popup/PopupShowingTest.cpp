#include "tests/popup/PopupFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lumora::test {

namespace {

using ShowingTest = PopupFixture;

struct CornerCase
{
    qint32 align;
    QRect full;
    bool bottomFixed; // which edge stays at the screen border while growing
};

class CornerShowingTest : public PopupFixture, public ::testing::WithParamInterface<CornerCase>
{};

TEST_P(CornerShowingTest, ThreeQueuedMessagesGrowShowEachAndShrink)
{
    const CornerCase c = GetParam();
    AddInSettings settings = defaultSettings();
    settings.PopAlign = qint16(c.align);
    PopupWindow &p = window(settings);
    add("one@example.org", "first");
    add("two@example.org", "second");
    add("three@example.org", "third");

    manager.PlaceAndShow(p);
    EXPECT_EQ(QPoint(p.X(), p.Y()), c.full.topLeft());
    EXPECT_EQ(manager.slotList(c.align), QList<bool>({false}));
    ASSERT_TRUE(p.isShowing());
    EXPECT_EQ(p.frameGeometry().height(), 0);
    EXPECT_EQ(text("lblMsgNo"), "1 of 3");
    EXPECT_EQ(text("lblFrom"), "one@example.org");

    clock.advance(300);
    EXPECT_EQ(p.animationState(), PopupWindow::SlidingIn);
    EXPECT_EQ(p.frameGeometry().height(), 48);
    if (c.bottomFixed)
        EXPECT_EQ(p.frameGeometry().bottom() + 1, c.full.bottom() + 1);
    else
        EXPECT_EQ(p.frameGeometry().top(), c.full.top());

    clock.advance(450); // 750 ms: fully grown
    EXPECT_EQ(p.frameGeometry(), c.full);
    EXPECT_EQ(p.animationState(), PopupWindow::Waiting);

    clock.advance(3999);
    EXPECT_EQ(text("lblMsgNo"), "1 of 3");
    clock.advance(1);
    EXPECT_EQ(text("lblMsgNo"), "2 of 3");
    EXPECT_EQ(text("lblMessage"), "second");
    clock.advance(4000);
    EXPECT_EQ(text("lblMsgNo"), "3 of 3");
    clock.advance(4000);
    EXPECT_EQ(p.animationState(), PopupWindow::SlidingOut);
    EXPECT_TRUE(p.isShowing());
    clock.advance(700);
    EXPECT_TRUE(p.isShowing());
    EXPECT_EQ(p.frameGeometry().height(), 8);
    if (c.bottomFixed)
        EXPECT_EQ(p.frameGeometry().bottom(), c.full.bottom());
    else
        EXPECT_EQ(p.frameGeometry().top(), c.full.top());
    clock.advance(50);
    EXPECT_FALSE(p.isShowing());
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(manager.slotList(c.align), QList<bool>({true}));
    ASSERT_EQ(sound.calls.size(), 1);
    EXPECT_EQ(sound.calls[0].flags, Sound::SND_FILENAME | Sound::SND_ASYNC);
}

INSTANTIATE_TEST_SUITE_P(Corners, CornerShowingTest,
                         ::testing::Values(CornerCase{1, QRect(824, 0, 200, 120), false},
                                           CornerCase{2, QRect(0, 0, 200, 120), false},
                                           CornerCase{3, QRect(824, 618, 200, 120), true},
                                           CornerCase{4, QRect(0, 618, 200, 120), true}));

TEST_F(ShowingTest, MailArrivingDuringAShowingJoinsItsRun)
{
    PopupWindow &p = window();
    add("a@example.org", "first");
    manager.PlaceAndShow(p);
    EXPECT_EQ(text("lblMsgNo"), "1 of 1");
    clock.advance(2000);
    add("b@example.org", "late");
    clock.advance(2750);
    EXPECT_EQ(text("lblMsgNo"), "2 of 2");
    EXPECT_EQ(text("lblMessage"), "late");
    clock.advance(4000 + 750);
    EXPECT_FALSE(p.isShowing());

    // The next run counts from 1 again.
    add("c@example.org", "next");
    manager.PlaceAndShow(p);
    EXPECT_EQ(text("lblMsgNo"), "1 of 1");
}

TEST_F(ShowingTest, WithoutAutoCloseTheFirstMessageStaysUntilClosed)
{
    PopupWindow &p = window();
    p.setAutoClose(false);
    add("a@example.org", "first");
    add("b@example.org", "second");
    manager.PlaceAndShow(p);
    EXPECT_EQ(p.Duration(), 0);
    clock.advance(10 * 60 * 1000);
    EXPECT_TRUE(p.isShowing());
    EXPECT_EQ(p.frameGeometry().height(), 120);
    EXPECT_EQ(text("lblMessage"), "first");

    // Pointer over the toolbar sets the display time to 0 again: still waiting.
    p.Toolbar1_MouseMove();
    clock.advance(60 * 1000);
    EXPECT_TRUE(p.isShowing());

    p.Image1_Click();
    EXPECT_FALSE(p.isShowing());
    EXPECT_EQ(queue.Size(), 0);
}

TEST_F(ShowingTest, WithoutAnimationsTheWindowAppearsAndLeavesAtOnce)
{
    PopupWindow &p = window();
    p.setAnimationIn(0);
    p.setAnimationOut(0);
    add("a@example.org", "only");
    manager.PlaceAndShow(p);
    EXPECT_EQ(p.frameGeometry(), QRect(824, 618, 200, 120));
    EXPECT_EQ(p.animationState(), PopupWindow::Waiting);
    clock.advance(3999);
    EXPECT_TRUE(p.isShowing());
    clock.advance(1);
    EXPECT_FALSE(p.isShowing());
    EXPECT_EQ(manager.slotList(3), QList<bool>({true}));
}

TEST_F(ShowingTest, UnknownAnimationsBehaveAsNone)
{
    PopupWindow &p = window();
    p.setAnimationIn(7);
    p.setAnimationOut(-2);
    add("a@example.org", "one");
    add("b@example.org", "two");
    manager.PlaceAndShow(p);
    EXPECT_EQ(p.frameGeometry(), QRect(824, 618, 200, 120));
    clock.advance(4000);
    EXPECT_EQ(text("lblMsgNo"), "2 of 2");
    clock.advance(4000);
    EXPECT_FALSE(p.isShowing());
}

TEST_F(ShowingTest, AnEmptyQueueEndsTheShowingAtOnceAndFreesTheSlot)
{
    PopupWindow &p = window();
    manager.PlaceAndShow(p);
    EXPECT_FALSE(p.isShowing());
    EXPECT_FALSE(p.isVisible());
    EXPECT_TRUE(sound.calls.isEmpty());
    EXPECT_EQ(manager.slotList(3), QList<bool>({true}));

    add("a@example.org", "now");
    manager.PlaceAndShow(p);
    EXPECT_TRUE(p.isShowing());
}

TEST_F(ShowingTest, PointerOverToolbarHoldsTheGrowthThenCarriesOn)
{
    PopupWindow &p = window();
    add("a@example.org", "one");
    manager.PlaceAndShow(p);
    clock.advance(200);
    const QRect held = p.frameGeometry();
    EXPECT_EQ(held.height(), 32);
    p.Toolbar1_MouseMove();
    clock.advance(3999);
    EXPECT_EQ(p.frameGeometry(), held);
    EXPECT_TRUE(p.isShowing());
    clock.advance(1); // the waiting tick: queue empty, so the shrinking starts from here
    EXPECT_EQ(p.animationState(), PopupWindow::SlidingOut);
    clock.advance(50);
    EXPECT_EQ(p.frameGeometry().height(), 24);
    clock.advance(200);
    EXPECT_FALSE(p.isShowing());
}

TEST_F(ShowingTest, TestPopupShowsSampleContentWhateverTheQueueHolds)
{
    PopupWindow &p = window();
    add("a@example.org", "real");
    manager.PlaceAndShowTest(p);
    EXPECT_TRUE(p.isShowing());
    EXPECT_EQ(text("lblFolder"), "Inbox");
    EXPECT_TRUE(text("lblFrom").contains('@'));
    EXPECT_EQ(text("lblMsgNo"), "1 of 1");
    EXPECT_EQ(queue.Size(), 1);
    EXPECT_EQ(sound.calls.size(), 1);
}

TEST_F(ShowingTest, SoundPlaysOnlyWithAPathAndFallsBackForBadFiles)
{
    QTemporaryDir dir;
    const QString wave = dir.filePath("ok.wav");
    QFile file(wave);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));
    file.close();
    const QString text = dir.filePath("notes.wav");
    QFile other(text);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("not a sound at all");
    other.close();

    EXPECT_TRUE(Sound::looksLikeWave(wave));
    EXPECT_FALSE(Sound::looksLikeWave(text));
    EXPECT_FALSE(Sound::looksLikeWave(dir.path()));
    EXPECT_FALSE(Sound::looksLikeWave(dir.filePath("missing.wav")));

    PopupWindow &p = window();
    for (const QString &path : {QString(), wave, dir.path()}) {
        p.setSoundPath(path);
        add("a@example.org", "x");
        manager.PlaceAndShow(p);
        p.Image1_Click();
    }
    ASSERT_EQ(sound.calls.size(), 2);
    EXPECT_TRUE(sound.calls[0].playsFile);
    EXPECT_FALSE(sound.calls[1].playsFile);
}

TEST_F(ShowingTest, ManualPositionTakesNoSlot)
{
    AddInSettings settings = defaultSettings();
    settings.PopAlign = 0;
    PopupWindow &p = window(settings);
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    clock.advance(750);
    EXPECT_EQ(p.frameGeometry(), QRect(200, 300, 200, 120));
    for (int align = 1; align <= 4; ++align)
        EXPECT_EQ(manager.slotList(align), QList<bool>({true}));
}

TEST_F(ShowingTest, ScreenChangesDuringAShowingDoNotDisturbIt)
{
    PopupWindow &p = window();
    add("a@example.org", "x");
    manager.PlaceAndShow(p);
    clock.advance(300);
    screen.area = QRect();
    clock.advance(4450);
    screen.area = QRect(0, 0, 640, 480);
    clock.advance(750);
    EXPECT_FALSE(p.isShowing());
    EXPECT_EQ(manager.slotList(3), QList<bool>({true}));

    // A work area lower than the popup still gives one row.
    screen.area = QRect(0, 0, 300, 100);
    add("b@example.org", "y");
    manager.PlaceAndShow(p);
    EXPECT_EQ(QPoint(p.X(), p.Y()), QPoint(100, -20));
}

} // namespace

} // namespace lumora::test
