// Unread counts in the tray and marking messages read, through the whole add-in on the
// in-memory host.
#include "tests/addin/AddInFixture.h"

#include "popup/PopupWindow.h"
#include "queue/Queue.h"
#include "tray/Main.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>

using namespace lumora;
using namespace lumora::test;

namespace {

class ReadState : public AddInFixture
{
protected:
    QString tip() const { return tray.tip(controller()->mainForm()->hWnd()); }
    QMessageBox *failureBox() const
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("msgActionFailed") && w->isVisible())
                return qobject_cast<QMessageBox *>(w);
        }
        return nullptr;
    }
};

TEST_F(ReadState, TheTipCountsTheWatchedFoldersAndFollowsEveryChange)
{
    MemoryFolderPtr lists = app.addFolder(inbox, QStringLiteral("Lists"));
    MemoryFolderPtr other = app.addFolder(inbox, QStringLiteral("Unwatched"));
    watch({entryFor(inbox), entryFor(lists)});
    MemoryItemPtr first = deliver(QStringLiteral("one"), clock.now().addSecs(-60));
    deliver(QStringLiteral("two"), clock.now().addSecs(-50));
    deliver(QStringLiteral("list"), clock.now().addSecs(-40), 1, lists);
    deliver(QStringLiteral("elsewhere"), clock.now().addSecs(-30), 1, other);
    connectAddIn();
    const QString top = inbox->Name();
    EXPECT_TRUE(tip().endsWith(QStringLiteral("\n3 unread: %1 2, Lists 1").arg(top))) << tip().toStdString();

    // Read by another client: counted again a moment later, without any new mail.
    app.setUnread(first, false);
    clock.advance(300);
    EXPECT_TRUE(tip().endsWith(QStringLiteral("\n2 unread: %1 1, Lists 1").arg(top))) << tip().toStdString();

    // Read from the popup: the same.
    const QList<MemoryItemPtr> held = lists->heldItems();
    ASSERT_EQ(held.size(), 1);
    EXPECT_TRUE(controller()->MarkMailMessageRead(held[0]->EntryID(), lists->StoreID()));
    EXPECT_FALSE(held[0]->UnRead());
    clock.advance(300);
    EXPECT_TRUE(tip().endsWith(QStringLiteral("\n1 unread"))) << tip().toStdString();

    deliver(QStringLiteral("three"), clock.now());
    clock.advance(300);
    EXPECT_TRUE(tip().endsWith(QStringLiteral("\n2 unread"))) << tip().toStdString();
}

TEST_F(ReadState, MarkingAMessageThatIsGoneFailsAndSaysWhy)
{
    connectAddIn();
    MemoryItemPtr item = deliver(QStringLiteral("hello"), clock.now());
    const QString id = item->EntryID();
    ASSERT_TRUE(controller()->DeleteMailMessage(id, inbox->StoreID()));
    EXPECT_FALSE(controller()->MarkMailMessageRead(id, inbox->StoreID()));
    EXPECT_TRUE(controller()->lastActionError().contains(QStringLiteral("no longer exists")));
    EXPECT_EQ(traceCount(QStringLiteral("warning: Cannot mark as read message ") + id), 1);
}

TEST_F(ReadState, MarkAllAsReadReadsTheQueueAndTellsWhatFailed)
{
    connectAddIn();
    MemoryItemPtr a = deliver(QStringLiteral("a"), clock.now().addSecs(-3));
    MemoryItemPtr b = deliver(QStringLiteral("b"), clock.now().addSecs(-2));
    MemoryItemPtr c = deliver(QStringLiteral("c"), clock.now().addSecs(-1));
    controller()->GetNewMailMessages();
    ASSERT_EQ(addIn().queue->Size(), 3);
    c->setReadsFail(true); // the store cannot open this one any more

    QAction *markAll = controller()->mainForm()->trayMenu()->findChild<QAction *>(QStringLiteral("mnuMarkAllRead"));
    ASSERT_TRUE(markAll);
    markAll->trigger();
    EXPECT_FALSE(a->UnRead());
    EXPECT_FALSE(b->UnRead());
    EXPECT_EQ(addIn().queue->Size(), 0);
    QMessageBox *box = failureBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("1 of 3 messages could not be marked as read")))
        << box->text().toStdString();
    box->close();
    clock.advance(300);
    // The one the store refused is still unread, and counted so.
    EXPECT_TRUE(tip().endsWith(QStringLiteral("\n1 unread"))) << tip().toStdString();
}

// Mail read in another client after it was queued is left out when its turn comes; the rest
// is shown, and a run whose mail was all read meanwhile shows nothing at all.
TEST_F(ReadState, MailReadElsewhereAfterItWasQueuedIsNotShown)
{
    connectAddIn();
    deliver(QStringLiteral("first"), clock.now().addSecs(-3));
    MemoryItemPtr second = deliver(QStringLiteral("second"), clock.now().addSecs(-2));
    deliver(QStringLiteral("third"), clock.now().addSecs(-1));
    for (int i = 0; i < 100 && addIn().queue->Size() < 3; ++i)
        clock.advance(100);
    ASSERT_EQ(addIn().queue->Size(), 3);
    app.setUnread(second, false);
    for (int i = 0; i < 100 && !popup()->isShowing(); ++i)
        clock.advance(100);
    ASSERT_TRUE(popup()->isShowing());
    drainPopup();
    const QStringList shown = popupLines();
    ASSERT_EQ(shown.size(), 2) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("subject \"first\""))) << shown.at(0).toStdString();
    EXPECT_TRUE(shown.at(1).contains(QStringLiteral("3 of 3")) && shown.at(1).contains(QStringLiteral("\"third\"")))
        << shown.at(1).toStdString();
    EXPECT_EQ(traceCount(QStringLiteral("not shown: message ") + second->EntryID()), 1);

    trace.clear();
    MemoryItemPtr fourth = deliver(QStringLiteral("fourth"), clock.now());
    for (int i = 0; i < 100 && addIn().queue->Size() < 1; ++i)
        clock.advance(100);
    ASSERT_EQ(addIn().queue->Size(), 1);
    app.setUnread(fourth, false);
    for (int i = 0; i < 50 && !popup()->isShowing(); ++i)
        clock.advance(100);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(popupLines(), QStringList{});
    EXPECT_EQ(addIn().queue->Size(), 0);
}

} // namespace
