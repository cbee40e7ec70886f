#include "host/common/ActiveWindowMonitor.h"
#include "host/common/MailExplorer.h"
#include "host/maildir/MaildirApplication.h"
#include "tests/host/MaildirTree.h"
#include "tests/testsupport/FakeWindowSystem.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::FakeWindowSystem;
using lumora::test::MaildirTree;

namespace {

TEST(MailExplorer, OneExplorerUntilQuitAndNoInspectors)
{
    MaildirTree tree;
    MaildirApplication app({tree.root()});
    EXPECT_EQ(app.inspectors()->Count(), 0);
    EXPECT_EQ(app.explorers()->Count(), 1);
    host::Explorer *explorer = app.ActiveExplorer();
    ASSERT_TRUE(explorer);
    QSignalSpy closed(explorer, &host::Explorer::Close);
    app.quit();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(app.ActiveExplorer(), nullptr);
    EXPECT_EQ(app.explorers()->Count(), 0);
    app.quit();
    EXPECT_EQ(closed.count(), 1);
}

TEST(MailExplorer, MailClientClassMatchesInstanceOrClassWithoutCase)
{
    FakeWindowSystem desktop;
    desktop.addWindow({0x10, QStringLiteral("a"), QStringLiteral("thunderbird")});
    desktop.setInstanceName(0x10, QStringLiteral("Mail"));
    desktop.addWindow({0x11, QStringLiteral("b"), QStringLiteral("x")});
    desktop.setInstanceName(0x11, QStringLiteral("Mail"));
    desktop.addWindow({0x12, QStringLiteral("c"), QString()});
    desktop.addWindow({0x13, QStringLiteral("d"), QStringLiteral("XTerm")});
    desktop.setInstanceName(0x13, QStringLiteral("xterm"));
    EXPECT_TRUE(desktop.hasClass(0x10, QStringLiteral("Thunderbird")));
    EXPECT_TRUE(desktop.hasClass(0x11, QStringLiteral("mail")));
    EXPECT_FALSE(desktop.hasClass(0x12, QString()));
    EXPECT_FALSE(desktop.hasClass(0x13, QStringLiteral("mutt")));
}

TEST(MaildirApplication, AddInEntriesByProgId)
{
    MaildirTree tree;
    MaildirApplication app({tree.root()});
    EXPECT_EQ(app.comAddIns()->Item(QStringLiteral("Lumora.Connect")), nullptr);
    host::COMAddIn *entry = app.comAddIns()->add(QStringLiteral("Lumora.Connect"));
    EXPECT_EQ(app.comAddIns()->Item(QStringLiteral("lumora.connect")), entry);
    EXPECT_EQ(app.comAddIns()->add(QStringLiteral("Lumora.Connect")), entry);
}

// The explorer follows the window system's active window, through its signal alone.
TEST(MailExplorer, ActiveWhileTheMailClientWindowIsActive)
{
    FakeWindowSystem desktop;
    desktop.addWindow({0x20, QStringLiteral("Inbox - Mail"), QStringLiteral("Thunderbird")});
    desktop.setInstanceName(0x20, QStringLiteral("Mail"));
    desktop.addWindow({0x30, QStringLiteral("Terminal"), QStringLiteral("XTerm")});
    desktop.setInstanceName(0x30, QStringLiteral("xterm"));
    MaildirTree tree;
    MaildirApplication app({tree.root()});
    auto *explorer = qobject_cast<MailExplorer *>(app.ActiveExplorer());
    ASSERT_TRUE(explorer);
    QSignalSpy activated(explorer, &host::Explorer::Activate);
    QSignalSpy deactivated(explorer, &host::Explorer::Deactivate);

    desktop.setActiveWindow(0x20);
    EXPECT_FALSE(explorer->isActive()) << "no mail client configured yet";
    EXPECT_FALSE(desktop.watching);

    app.setMailClientWindowClass(QStringLiteral("thunderbird"));
    EXPECT_TRUE(desktop.watching);
    EXPECT_TRUE(explorer->isActive()) << "the client's window already had the focus";
    desktop.setActiveWindow(0x30);
    EXPECT_FALSE(explorer->isActive());
    desktop.setActiveWindow(0x20);
    desktop.setActiveWindow(0x20);
    EXPECT_TRUE(explorer->isActive());
    EXPECT_EQ(activated.count(), 2);
    EXPECT_EQ(deactivated.count(), 1);

    app.setMailClientWindowClass(QString());
    EXPECT_FALSE(explorer->isActive());
}

} // namespace
