#include "tests/popup/PopupFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QToolButton>

namespace lumora::test {

namespace {

using InteractionTest = PopupFixture;

void release(QWidget *target, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(2, 2), target->mapToGlobal(QPointF(2, 2)), button,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QColor colorOf(QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

TEST_F(InteractionTest, LeftReleaseOnAnyFieldOpensTheShownMessage)
{
    PopupWindow &p = window();
    add("a@example.org", "hello");
    manager.PlaceAndShow(p);
    for (const char *name : {"lblMessage", "lblFolder", "lblFrom"})
        release(label(name), Qt::LeftButton);
    ASSERT_EQ(controller.calls.size(), 3);
    for (const FakeController::Call &call : controller.calls) {
        EXPECT_EQ(call.what, "show");
        EXPECT_EQ(call.entryId, "eid-hello");
        EXPECT_EQ(call.storeId, "sid-hello");
    }
    release(label("lblMessage"), Qt::RightButton);
    release(label("lblFrom"), Qt::MiddleButton);
    EXPECT_EQ(controller.calls.size(), 3);
    EXPECT_TRUE(p.isShowing()); // opening does not close the popup
}

TEST_F(InteractionTest, OpeningWithoutAControllerIsReported)
{
    PopupWindow &p = window();
    add("a@example.org", "hello");
    manager.PlaceAndShow(p);
    addIn().controller = nullptr;
    QStringList reports;
    QObject::connect(&p, &PopupWindow::errorReported, [&](const QString &t) { reports.append(t); });
    p.Field_MouseUp(Qt::LeftButton);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("Error "));
    EXPECT_TRUE(reports[0].endsWith(") in procedure OpenEmailMessage of Form PopupWindow"));
    EXPECT_TRUE(p.isShowing());
}

TEST_F(InteractionTest, CloseButtonDropsTheRestOfTheQueue)
{
    PopupWindow &p = window();
    for (const char *s : {"1", "2", "3", "4", "5"})
        add("a@example.org", s);
    manager.PlaceAndShow(p);
    clock.advance(300);
    release(p.findChild<QLabel *>("Image1"), Qt::LeftButton);
    EXPECT_FALSE(p.isShowing());
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(queue.Size(), 0);
    EXPECT_EQ(manager.slotList(3), QList<bool>({true}));

    add("b@example.org", "new");
    manager.PlaceAndShow(p);
    EXPECT_EQ(text("lblMsgNo"), "1 of 1");
}

TEST_F(InteractionTest, DeleteStrikesThroughUntilTheFieldsAreHovered)
{
    PopupWindow &p = window();
    add("a@example.org", "gone");
    add("b@example.org", "next");
    manager.PlaceAndShow(p);
    auto *toolbar = p.findChild<QToolButton *>("Toolbar1");
    ASSERT_TRUE(toolbar);
    EXPECT_FALSE(toolbar->isHidden());
    toolbar->click();
    ASSERT_EQ(controller.calls.size(), 1);
    EXPECT_EQ(controller.calls[0].what, "delete");
    EXPECT_EQ(controller.calls[0].entryId, "eid-gone");
    EXPECT_TRUE(label("lblFrom")->font().strikeOut());
    EXPECT_TRUE(label("lblMessage")->font().strikeOut());
    EXPECT_FALSE(label("lblFolder")->font().strikeOut());

    p.lblMessage_MouseMove();
    EXPECT_FALSE(label("lblFrom")->font().strikeOut());
    EXPECT_FALSE(label("lblMessage")->font().strikeOut());

    toolbar->click();
    clock.advance(4750); // the next message clears the mark
    EXPECT_EQ(text("lblMessage"), "next");
    EXPECT_FALSE(label("lblMessage")->font().strikeOut());
}

TEST_F(InteractionTest, HoverStyleAndItsReturnToNormal)
{
    PopupWindow &p = window();
    add("boss@example.org", "urgent", 2);
    manager.PlaceAndShow(p);
    EXPECT_EQ(colorOf(label("lblFrom")), QColor(255, 0, 0));
    EXPECT_EQ(colorOf(label("lblMessage")), QColor(255, 0, 0));

    p.lblFrom_MouseMove();
    for (const char *name : {"lblFolder", "lblFrom", "lblMessage"}) {
        EXPECT_EQ(colorOf(label(name)), QColor(0, 0, 255)) << name;
        EXPECT_TRUE(label(name)->font().underline()) << name;
    }
    p.pctMain_MouseMove();
    for (const char *name : {"lblFolder", "lblFrom", "lblMessage"}) {
        EXPECT_EQ(colorOf(label(name)), QColor(0, 0, 0)) << name;
        EXPECT_FALSE(label(name)->font().underline()) << name;
    }
}

TEST_F(InteractionTest, ToolbarIsHiddenUnlessDeletingIsOn)
{
    addIn().settings.PopupDelete = 0;
    PopupWindow &p = window();
    EXPECT_TRUE(p.findChild<QToolButton *>("Toolbar1")->isHidden());
}

} // namespace

} // namespace lumora::test
