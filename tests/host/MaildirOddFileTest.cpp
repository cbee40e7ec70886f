// Message files that are not what they seem: a named pipe put where a message was, a link
// that comes to lead to one, or out of the store. Nothing waits on them, they are skipped
// and said once, and the mail after them is shown as always.
#include "tests/host/MaildirTree.h"
#include "tests/testsupport/PromptReturn.h"

#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirWatcher.h"
#include "platform/core/Verbose.h"
#include "tests/testsupport/VirtualClock.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumora;
using lumora::test::MaildirTree;

using lumora::test::returnsPromptly;

namespace {

constexpr qint64 T0 = 1767600000;

void replaceByPipe(const QString &path)
{
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

// Subjects of the unread Inbox messages, oldest first.
QStringList scan(MaildirApplication &app)
{
    QStringList subjects;
    host::ItemsPtr items = app.session()->GetDefaultFolder(host::FolderInbox)->items();
    for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
        subjects << i->Subject();
    return subjects;
}

class OddMessageFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Verbose::setSink([this](const QString &line) { said << line; });
    }
    void TearDown() override { Verbose::setSink({}); }

    QString newPath(const QString &name) const { return tree.root() + QStringLiteral("/new/") + name; }

    MaildirTree tree;
    QStringList said;
};

} // namespace

TEST_F(OddMessageFiles, APipePutWhereAMessageWasIsSkippedAndToldOnce)
{
    tree.put({}, QStringLiteral("new"), QStringLiteral("a.host"), MaildirTree::message("first"), T0);
    tree.put({}, QStringLiteral("new"), QStringLiteral("b.host"), MaildirTree::message("second"), T0 + 1);
    MaildirApplication app({tree.root()});
    host::ItemsPtr items = app.session()->GetDefaultFolder(host::FolderInbox)->items();
    ASSERT_EQ(scan(app).size(), 2); // listed while both were files

    // Between the listing and the header read another program swaps in a pipe.
    replaceByPipe(newPath(QStringLiteral("a.host")));
    QStringList subjects;
    QStringList again;
    ASSERT_TRUE(returnsPromptly(
        [&] {
            for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
                subjects << i->Subject();
            for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
                again << i->Subject();
        },
        newPath(QStringLiteral("a.host"))));
    EXPECT_EQ(subjects, (QStringList{QString(), QStringLiteral("second")}));
    EXPECT_EQ(again, QStringList{QStringLiteral("second")}) << "the pipe is skipped from then on";
    ASSERT_EQ(said.size(), 1) << said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(said.first().contains(QStringLiteral("a.host")) && said.first().contains(QStringLiteral("named pipe")))
        << said.first().toStdString();

    // Later mail is read as always.
    tree.put({}, QStringLiteral("new"), QStringLiteral("c.host"), MaildirTree::message("third"), T0 + 2);
    app.checkForChanges();
    EXPECT_EQ(scan(app), (QStringList{QStringLiteral("second"), QStringLiteral("third")}));
    EXPECT_EQ(said.size(), 1);
    // A fresh listing leaves the pipe out too.
    MaildirApplication later({tree.root()});
    EXPECT_EQ(scan(later), (QStringList{QStringLiteral("second"), QStringLiteral("third")}));
}

TEST_F(OddMessageFiles, ALinkIsReadOnlyWhileItLeadsToARegularFileInTheStore)
{
    const QString target =
        tree.put({}, QStringLiteral("cur"), QStringLiteral("t.host:2,S"), MaildirTree::message("kept"));
    ASSERT_TRUE(QFile::link(target, newPath(QStringLiteral("link.host"))));
    tree.put({}, QStringLiteral("new"), QStringLiteral("z.host"), MaildirTree::message("after"), T0 + 5);
    MaildirApplication app({tree.root()});
    QStringList subjects = scan(app);
    subjects.sort();
    EXPECT_EQ(subjects, (QStringList{QStringLiteral("after"), QStringLiteral("kept")}));

    // The file it leads to becomes a pipe: the scan goes on past it.
    MaildirApplication second({tree.root()});
    ASSERT_EQ(scan(second).size(), 2);
    replaceByPipe(target);
    QStringList read;
    ASSERT_TRUE(returnsPromptly([&] { read = scan(second); }, target));
    read.sort();
    EXPECT_EQ(read, (QStringList{QString(), QStringLiteral("after")}));

    // The link is made to lead out of the store after the listing: it is not followed.
    QTemporaryDir outside;
    const QString secret = outside.filePath(QStringLiteral("secret"));
    {
        QFile f(secret);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(MaildirTree::message("secret"));
    }
    QFile::remove(target);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("t.host:2,S"), MaildirTree::message("kept"));
    MaildirApplication third({tree.root()});
    ASSERT_EQ(scan(third).size(), 2);
    ASSERT_TRUE(QFile::remove(newPath(QStringLiteral("link.host"))));
    ASSERT_TRUE(QFile::link(secret, newPath(QStringLiteral("link.host"))));
    said.clear();
    read = scan(third);
    EXPECT_FALSE(read.contains(QStringLiteral("secret")));
    EXPECT_TRUE(read.contains(QStringLiteral("after")));
    ASSERT_EQ(said.size(), 1) << said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(said.first().contains(QStringLiteral("outside"))) << said.first().toStdString();

    // A listing made now leaves it out altogether, and says so once.
    said.clear();
    MaildirApplication fourth({tree.root()});
    EXPECT_EQ(scan(fourth), QStringList{QStringLiteral("after")});
    fourth.checkForChanges();
    ASSERT_EQ(said.size(), 1) << said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(said.first().contains(QStringLiteral("is not followed"))) << said.first().toStdString();
}
