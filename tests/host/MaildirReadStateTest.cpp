// Read state in Maildir stores: marking read by rename, and unread counts that follow
// every client's renames.
#include "tests/host/MaildirTree.h"

#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirStore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;
using lumora::test::MaildirTree;

namespace {

constexpr qint64 T0 = 1767600000;

QStringList namesIn(const MaildirTree &tree, const QString &sub)
{
    QStringList names = QDir(tree.root() + QLatin1Char('/') + sub).entryList(QDir::Files);
    names.sort();
    return names;
}

ino_t inodeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

struct SeenName
{
    const char *before;
    const char *after; // empty: refused
};

class MaildirSeenNames : public ::testing::TestWithParam<SeenName>
{};

TEST_P(MaildirSeenNames, AddSKeepingTheOtherFlagsSorted)
{
    EXPECT_EQ(MaildirStore::seenFileName(QString::fromUtf8(GetParam().before)), QString::fromUtf8(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MaildirSeenNames,
    ::testing::Values(SeenName{"1.M2P3.host", "1.M2P3.host:2,S"}, SeenName{"1.M2P3.host:2,", "1.M2P3.host:2,S"},
                      SeenName{"1.M2P3.host:2", "1.M2P3.host:2,S"}, SeenName{"1.M2P3.host:2,FR", "1.M2P3.host:2,FRS"},
                      SeenName{"1.M2P3.host:2,T", "1.M2P3.host:2,ST"},
                      SeenName{"1.M2P3.host:2,TFa", "1.M2P3.host:2,FSTa"},
                      SeenName{"1.M2P3.host:2,S", "1.M2P3.host:2,S"},
                      SeenName{"1.M2P3.host,S=4,W=5:2,F", "1.M2P3.host,S=4,W=5:2,FS"},
                      SeenName{"1.M2P3.host:2,F,x", "1.M2P3.host:2,FS,x"}, SeenName{"1.M2P3.host:1,anything", ""}));

TEST(MaildirReadState, MarkReadRenamesIntoCurAndNeverRewritesTheFile)
{
    MaildirTree tree;
    const QString fresh =
        tree.put({}, QStringLiteral("new"), QStringLiteral("1.host"), MaildirTree::message("one"), T0);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("2.host:2,RF"), MaildirTree::message("two"), T0 + 1);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("3.host:2,S"), MaildirTree::message("read"), T0 + 2);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("4.host:1,odd"), MaildirTree::message("odd"), T0 + 3);
    const ino_t inode = inodeOf(fresh);

    MaildirApplication app({tree.root()});
    host::NameSpace *ns = app.session();
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    EXPECT_EQ(inbox->UnReadItemCount(), 3);
    host::ItemsPtr items = inbox->items();
    QList<host::ItemPtr> unread;
    for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
        unread.append(i);
    ASSERT_EQ(unread.size(), 3);

    EXPECT_TRUE(unread[0]->MarkRead());
    EXPECT_TRUE(unread[1]->MarkRead());
    EXPECT_TRUE(unread[1]->MarkRead()); // read already: nothing to do
    EXPECT_FALSE(unread[2]->MarkRead());
    EXPECT_TRUE(unread[2]->ErrorText().contains(QStringLiteral("4.host:1,odd")))
        << unread[2]->ErrorText().toStdString();

    EXPECT_TRUE(namesIn(tree, QStringLiteral("new")).isEmpty());
    EXPECT_EQ(namesIn(tree, QStringLiteral("cur")),
              (QStringList{"1.host:2,S", "2.host:2,FRS", "3.host:2,S", "4.host:1,odd"}));
    // The same file, moved: its inode and bytes are the ones delivered.
    EXPECT_EQ(inodeOf(tree.root() + QStringLiteral("/cur/1.host:2,S")), inode);
    QFile moved(tree.root() + QStringLiteral("/cur/1.host:2,S"));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), MaildirTree::message("one"));

    // The ids still name the messages, now read, and the count follows without a listing.
    host::ItemPtr again = ns->GetItemFromID(unread[0]->EntryID(), inbox->StoreID());
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->UnRead());
    EXPECT_EQ(again->Subject(), QStringLiteral("one"));
    EXPECT_EQ(inbox->UnReadItemCount(), 1);
}

TEST(MaildirReadState, MarkReadFollowsAMessageAnotherClientMovedAndFailsForOneGone)
{
    MaildirTree tree;
    const QString path = tree.put({}, QStringLiteral("new"), QStringLiteral("5.host"), MaildirTree::message("m"), T0);
    tree.put({}, QStringLiteral("new"), QStringLiteral("6.host"), MaildirTree::message("gone"), T0 + 1);
    MaildirApplication app({tree.root()});
    host::ItemsPtr items = app.session()->GetDefaultFolder(host::FolderInbox)->items();
    host::ItemPtr moving = items->Find(QStringLiteral("[Unread] = true"));
    host::ItemPtr gone = items->FindNext();
    ASSERT_TRUE(moving && gone);
    // Another client moves one to cur/ (still unread) and removes the other, before we hear of it.
    ASSERT_TRUE(QFile::rename(path, tree.root() + QStringLiteral("/cur/5.host:2,F")));
    ASSERT_TRUE(QFile::remove(tree.root() + QStringLiteral("/new/6.host")));

    EXPECT_TRUE(moving->MarkRead());
    EXPECT_EQ(namesIn(tree, QStringLiteral("cur")), QStringList{"5.host:2,FS"});
    EXPECT_FALSE(gone->MarkRead());
    EXPECT_FALSE(gone->ErrorText().isEmpty());
}

// Another mail client reads a message: it renames the file to carry S, and the count and
// the signal follow through inotify alone.
TEST(MaildirReadState, CountFollowsReadsAndDeletesByAnotherClient)
{
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Lists"));
    for (int i = 0; i < 3; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("in%1.host").arg(i), MaildirTree::message("in"), T0 + i);
    tree.put(QStringLiteral(".Lists"), QStringLiteral("cur"), QStringLiteral("l.host:2,"), MaildirTree::message("l"),
             T0);
    MaildirApplication app({tree.root()});
    app.setStartupCheckMs(600000);
    app.start();
    host::NameSpace *ns = app.session();
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    host::FolderPtr lists =
        ns->GetFolderFromID(MaildirStore::folderEntryId(QStringLiteral(".Lists")), inbox->StoreID());
    ASSERT_TRUE(lists);
    EXPECT_EQ(inbox->UnReadItemCount(), 3);
    EXPECT_EQ(lists->UnReadItemCount(), 1);
    QSignalSpy changed(&app, &host::Application::UnreadChanged);

    ASSERT_TRUE(QFile::rename(tree.root() + QStringLiteral("/new/in0.host"),
                              tree.root() + QStringLiteral("/cur/in0.host:2,S")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return inbox->UnReadItemCount() == 2 && changed.count() > 0; }, 5000));
    ASSERT_TRUE(QFile::rename(tree.folderPath(QStringLiteral(".Lists")) + QStringLiteral("/cur/l.host:2,"),
                              tree.folderPath(QStringLiteral(".Lists")) + QStringLiteral("/cur/l.host:2,S")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return lists->UnReadItemCount() == 0; }, 5000));

    // Unread again (S taken away), and one deleted by the other client.
    changed.clear();
    ASSERT_TRUE(QFile::rename(tree.root() + QStringLiteral("/cur/in0.host:2,S"),
                              tree.root() + QStringLiteral("/cur/in0.host:2,")));
    ASSERT_TRUE(QFile::remove(tree.root() + QStringLiteral("/new/in1.host")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() > 0 && inbox->UnReadItemCount() == 2; }, 5000));
    EXPECT_EQ(inbox->UnReadItemCount(), 2);
}

// The look just before mail is shown: a message another client read since (renamed to
// carry S) is known read, an unread one unread, one removed unknown.
TEST(MaildirReadState, KnownUnreadFollowsAnotherClientsRename)
{
    MaildirTree tree;
    for (int i = 0; i < 3; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("k%1.host").arg(i), MaildirTree::message("k"), T0 + i);
    MaildirApplication app({tree.root()});
    app.setStartupCheckMs(600000);
    app.start();
    host::NameSpace *ns = app.session();
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    host::ItemsPtr items = inbox->items();
    QStringList ids;
    for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
        ids.append(i->EntryID());
    ASSERT_EQ(ids.size(), 3);

    ASSERT_TRUE(
        QFile::rename(tree.root() + QStringLiteral("/new/k0.host"), tree.root() + QStringLiteral("/cur/k0.host:2,S")));
    ASSERT_TRUE(QFile::remove(tree.root() + QStringLiteral("/new/k2.host")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ns->KnownUnread(ids.at(0), inbox->StoreID()) == 0; }, 5000));
    EXPECT_EQ(ns->KnownUnread(ids.at(1), inbox->StoreID()), 1);
    EXPECT_EQ(ns->KnownUnread(ids.at(2), inbox->StoreID()), -1);
}

} // namespace
