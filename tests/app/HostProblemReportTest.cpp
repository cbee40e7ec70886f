// The host's problems reach the user where they look: standard error, the log and the tray
// icon's tip, from a real Maildir store with a folder that may not be read.
#include "app/HostProblemReport.h"

#include "host/maildir/MaildirApplication.h"
#include "tests/host/MaildirTree.h"
#include "tests/testsupport/FakeNotifyIconHost.h"
#include "tests/testsupport/Unprivileged.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using namespace lumora::test;

namespace {

QString logText()
{
    QFile f(HostProblemReport::logFile());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(HostProblemReport, AFolderThatMayNotBeReadIsToldUntilItMay)
{
    FakeNotifyIconHost tray;
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Private"));
    const QString privatePath = tree.root() + QStringLiteral("/.Private");
    // Open to everyone but the one folder (a temporary directory is its owner's only).
    QFile::setPermissions(tree.root(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(privatePath, QFileDevice::Permissions());
    std::unique_ptr<MaildirApplication> app;
    {
        Unprivileged unprivileged;
        app = std::make_unique<MaildirApplication>(QStringList{tree.root()});
    }
    QStringList said;
    new HostProblemReport(app.get(), QStringLiteral("MaildirHost"), [&said](const QString &line) { said << line; });

    const QString problem = QStringLiteral("The mail folder %1 cannot be read: Permission denied. Its new mail is "
                                           "announced once it can be read.")
                                .arg(privatePath);
    EXPECT_EQ(said, QStringList{QStringLiteral("Lumora: ") + problem});
    EXPECT_EQ(tray.statusNote(), problem);
    EXPECT_TRUE(logText().contains(QStringLiteral(" MaildirHost: ") + problem)) << logText().toStdString();

    chmodAsOwner(privatePath, 0x7700);
    QTest::qWait(100); // the store's watch sees the permission change
    EXPECT_EQ(tray.statusNote(), QString());
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[1], QStringLiteral("Lumora: The problems reported before are over: all new mail is noticed again."));
    EXPECT_TRUE(logText().contains(QStringLiteral("all new mail is noticed again")));
    app.reset();
}
