// The popup's right-click menu: what it offers and on which message its items act.
#include "tests/popup/PopupFixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

namespace lumora::test {

namespace {

class PopupMenu : public PopupFixture
{
protected:
    PopupWindow &shown(AddInSettings settings = defaultSettings())
    {
        PopupWindow &p = window(settings);
        manager.PlaceAndShow(p);
        clock.advance(1000);
        return p;
    }
    // A right click on a part of the popup, as the window system reports it.
    QMenu *rightClick(QWidget *part)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3), part->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(part, &event);
        return popup->contextMenu();
    }
    QAction *item(const char *name) const
    {
        return popup->contextMenu() ? popup->contextMenu()->findChild<QAction *>(QLatin1String(name)) : nullptr;
    }
};

TEST_F(PopupMenu, OffersOpenMarkAsReadDeleteAndDismissAllOnTheShownMessage)
{
    add("a@example.org", "first");
    add("b@example.org", "second");
    add("c@example.org", "third");
    PopupWindow &p = shown();
    QMenu *menu = rightClick(label("lblMessage"));
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->isVisible());
    QStringList captions;
    for (QAction *action : menu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"&Open", "Mark as &Read", "&Delete", "-", "Dismiss &All"}));
    for (QAction *action : menu->actions())
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();

    item("mnuMarkRead")->trigger();
    item("mnuOpen")->trigger();
    ASSERT_EQ(controller.calls.size(), 2);
    EXPECT_EQ(controller.calls[0].what, "read");
    EXPECT_EQ(controller.calls[0].entryId, "eid-first");
    EXPECT_EQ(controller.calls[0].storeId, "sid-first");
    EXPECT_EQ(controller.calls[1].what, "show");
    EXPECT_EQ(controller.calls[1].entryId, "eid-first");
    // Read, the message stays as it was for its display time; the next one follows.
    EXPECT_FALSE(label("lblMessage")->font().strikeOut());
    menu->hide();
    clock.advance(4100);
    EXPECT_EQ(text("lblMessage"), "second");

    rightClick(label("lblFrom"));
    item("mnuDelete")->trigger();
    ASSERT_EQ(controller.calls.size(), 3);
    EXPECT_EQ(controller.calls[2].what, "delete");
    EXPECT_EQ(controller.calls[2].entryId, "eid-second");
    EXPECT_TRUE(label("lblMessage")->font().strikeOut());

    rightClick(p.findChild<QWidget *>("pctMain"));
    item("mnuDismissAll")->trigger();
    EXPECT_FALSE(p.isShowing());
    EXPECT_EQ(queue.Size(), 0);
    EXPECT_FALSE(p.contextMenu()->isVisible());
}

// While the menu is open the display time may run out many times: the message under it
// stays, and its items act on that message, never on one that came meanwhile.
TEST_F(PopupMenu, HoldsTheShownMessageWhileOpen)
{
    add("a@example.org", "first");
    add("b@example.org", "second");
    shown();
    QMenu *menu = rightClick(label("lblMessage"));
    ASSERT_TRUE(menu);
    clock.advance(60000);
    EXPECT_EQ(text("lblMessage"), "first");
    item("mnuMarkRead")->trigger();
    ASSERT_EQ(controller.calls.size(), 1);
    EXPECT_EQ(controller.calls[0].entryId, "eid-first");
    // Closed, the menu gives a fresh display time, then the next message comes.
    menu->hide();
    clock.advance(3900);
    EXPECT_EQ(text("lblMessage"), "first");
    clock.advance(200);
    EXPECT_EQ(text("lblMessage"), "second");
}

TEST_F(PopupMenu, AFailedMarkAsReadSaysWhy)
{
    add("a@example.org", "first");
    PopupWindow &p = shown();
    QStringList reports;
    QObject::connect(&p, &PopupWindow::errorReported, [&](const QString &t) { reports.append(t); });
    controller.failWith = QStringLiteral("The message could not be marked as read on the server");
    rightClick(label("lblMessage"));
    item("mnuMarkRead")->trigger();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0],
              QStringLiteral("Error 440 (The message could not be marked as read on the server) in "
                             "procedure MarkAsRead of Form PopupWindow"));
    EXPECT_TRUE(p.isShowing());
}

TEST_F(PopupMenu, ItemsThatNeedAMessageAreOffForTheTestPopupAndDeleteFollowsItsSetting)
{
    PopupWindow &p = window();
    manager.PlaceAndShowTest(p);
    clock.advance(1000);
    rightClick(label("lblMessage"));
    EXPECT_FALSE(item("mnuOpen")->isEnabled());
    EXPECT_FALSE(item("mnuMarkRead")->isEnabled());
    EXPECT_FALSE(item("mnuDelete")->isEnabled());
    EXPECT_TRUE(item("mnuDismissAll")->isEnabled());
    p.Unload();
    popup.reset();

    // Without deleting from the popup, its menu does not delete either.
    AddInSettings noDelete = defaultSettings();
    noDelete.PopupDelete = 0;
    addIn().settings = noDelete;
    add("a@example.org", "first");
    shown(noDelete);
    rightClick(label("lblMessage"));
    EXPECT_TRUE(item("mnuMarkRead")->isEnabled());
    EXPECT_FALSE(item("mnuDelete")->isEnabled());
}

} // namespace

} // namespace lumora::test
