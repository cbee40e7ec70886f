#include "host/mh/MhSource.h"
#include "host/mh/MhSequences.h"
#include "host/mh/MhStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

const QStringList Unseen{QStringLiteral("unseen")};

TEST(MhSequences, RangesContinuationsAndHostileNumbers)
{
    const MhSequences s = MhSequences::parse("cur: 4\nunseen: 2-4 9\n 12-13\nother: 20\nbad: x-3 7-5 0 99999999999\n"
                                             "huge: 1-2147483647\n");
    for (const int n : {2, 3, 4, 9, 12, 13})
        EXPECT_TRUE(s.contains(Unseen, n)) << n;
    for (const int n : {1, 5, 8, 10, 14, 20})
        EXPECT_FALSE(s.contains(Unseen, n)) << n;
    EXPECT_TRUE(s.contains({QStringLiteral("x"), QStringLiteral("other")}, 20));
    for (const int n : {0, 3, 5, 7})
        EXPECT_FALSE(s.contains({QStringLiteral("bad")}, n)) << n;
    EXPECT_TRUE(s.contains({QStringLiteral("huge")}, 2147483647));
    EXPECT_FALSE(MhSequences::parse("unseen 1-3\n").contains(Unseen, 2));
}

TEST(MhSequences, TakingAMessageOutKeepsEverythingElse)
{
    const MhSequences s = MhSequences::parse("cur: 3\nunseen: 1-5 7\nmine: 3\n");
    EXPECT_EQ(s.without(Unseen, 3), "cur: 3\nunseen: 1-2 4-5 7\nmine: 3\n");
    EXPECT_EQ(s.without(Unseen, 1), "cur: 3\nunseen: 2-5 7\nmine: 3\n");
    EXPECT_EQ(MhSequences::parse("unseen: 7\nx: 1\n").without(Unseen, 7), "x: 1\n");
}

class MhTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(mail() + QStringLiteral("/inbox")));
        writeProfile("Unseen-Sequence: unseen\n");
    }
    void TearDown() override { qunsetenv("MH"); }

    QString mail() const { return dir.filePath(QStringLiteral("Mail")); }
    void writeProfile(const QByteArray &extra) const
    {
        const QString profile = dir.filePath(QStringLiteral("profile"));
        write(profile, "Path: " + QFile::encodeName(mail()) + "\n" + extra);
        qputenv("MH", QFile::encodeName(profile));
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    static QByteArray message(const QByteArray &subject)
    {
        return "From: Ann <ann@example.org>\nSubject: " + subject + "\n\nHello\n";
    }
    static QStringList unreadSubjects(const host::FolderPtr &folder)
    {
        QStringList subjects;
        host::ItemsPtr items = folder->items();
        for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
            subjects << item->Subject();
        return subjects;
    }
    // Runs an nmh program with the test's profile.
    static bool nmh(const QString &program, const QStringList &args, const QByteArray &input = {})
    {
        QString path = QStringLiteral("/usr/bin/mh/") + program;
        if (!QFile::exists(path))
            path = QStandardPaths::findExecutable(program);
        QProcess run;
        run.start(path, args);
        if (!input.isEmpty())
            run.write(input);
        run.closeWriteChannel();
        return run.waitForFinished(10000) && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
    }

    QTemporaryDir dir;
};

TEST_F(MhTest, FoldersUnreadStateAndIdsComeFromTheDirectoryAndItsSequences)
{
    write(mail() + QStringLiteral("/inbox/1"), message("one"));
    write(mail() + QStringLiteral("/inbox/2"), message("two"));
    write(mail() + QStringLiteral("/inbox/017"), message("not a message name"));
    write(mail() + QStringLiteral("/inbox/,3"), message("removed by rmm"));
    write(mail() + QStringLiteral("/inbox/.mh_sequences"), "cur: 1\nunseen: 2-40\n");
    ASSERT_TRUE(QDir().mkpath(mail() + QStringLiteral("/work/lists")));
    write(mail() + QStringLiteral("/work/lists/5"), message("list"));
    write(mail() + QStringLiteral("/work/lists/.mh_sequences"), "unseen: 5\n");
    ASSERT_TRUE(QFile::link(mail(), mail() + QStringLiteral("/loop")));

    MhSource source(mail());
    ASSERT_TRUE(source.isValid());
    EXPECT_TRUE(source.problems().isEmpty()) << source.problems().toStdString();
    const host::FolderPtr inbox = source.topFolder();
    EXPECT_EQ(inbox->Name(), QStringLiteral("Inbox"));
    EXPECT_EQ(unreadSubjects(inbox), QStringList{QStringLiteral("two")});
    EXPECT_EQ(inbox->items()->Count(), 2);
    EXPECT_TRUE(source.holdsWaitingMail());
    // The other folders show below the Inbox; a link is not followed.
    host::FoldersPtr children = inbox->folders();
    ASSERT_EQ(children->Count(), 1);
    const host::FolderPtr work = children->Item(1);
    EXPECT_EQ(work->Name(), QStringLiteral("work"));
    ASSERT_EQ(work->folders()->Count(), 1);
    const host::FolderPtr lists = work->folders()->Item(1);
    EXPECT_EQ(lists->UnReadItemCount(), 1);
    ASSERT_TRUE(source.folderFromId(lists->EntryID()));
    EXPECT_EQ(source.folderFromId(lists->EntryID())->FolderPath(), mail() + QStringLiteral("/work/lists"));
    host::ItemPtr item = lists->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    ASSERT_TRUE(source.itemFromId(item->EntryID()));
    EXPECT_EQ(source.itemFromId(item->EntryID())->Subject(), QStringLiteral("list"));
    // Ids that lead out of the mail directory or to nothing are refused.
    EXPECT_FALSE(source.folderFromId(MhStore::folderEntryId(QStringLiteral("../Mail/inbox"))));
    EXPECT_FALSE(source.folderFromId(MhStore::folderEntryId(QStringLiteral("loop"))));
    EXPECT_FALSE(source.itemFromId(MhStore::itemEntryId(QStringLiteral("../x"), 1)));
    EXPECT_FALSE(source.itemFromId(MhStore::itemEntryId(QStringLiteral("inbox"), 3)));
}

TEST_F(MhTest, TheProfileNamesTheUnseenSequence)
{
    writeProfile("Unseen-Sequence: fresh  new\n");
    write(mail() + QStringLiteral("/inbox/1"), message("one"));
    write(mail() + QStringLiteral("/inbox/2"), message("two"));
    write(mail() + QStringLiteral("/inbox/.mh_sequences"), "unseen: 1-2\nnew: 2\n");
    MhSource source(mail());
    EXPECT_EQ(unreadSubjects(source.topFolder()), QStringList{QStringLiteral("two")});
}

TEST_F(MhTest, DeleteRenamesIntoTrashAndMarkReadLeavesOtherSequences)
{
    write(mail() + QStringLiteral("/inbox/1"), message("one"));
    write(mail() + QStringLiteral("/inbox/2"), message("two"));
    write(mail() + QStringLiteral("/inbox/.mh_sequences"), "unseen: 1-2\nflagged: 1\n");
    ASSERT_TRUE(QDir().mkpath(mail() + QStringLiteral("/trash")));
    write(mail() + QStringLiteral("/trash/4"), message("deleted before"));
    MhSource source(mail());
    host::ItemsPtr items = source.topFolder()->items();
    host::ItemPtr first = items->Find(QStringLiteral("[Unread] = true"));
    host::ItemPtr second = items->FindNext();
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->MarkRead()) << first->ErrorText().toStdString();
    EXPECT_FALSE(first->UnRead());
    QFile sequences(mail() + QStringLiteral("/inbox/.mh_sequences"));
    ASSERT_TRUE(sequences.open(QIODevice::ReadOnly));
    EXPECT_EQ(sequences.readAll(), "unseen: 2\nflagged: 1\n");

    ASSERT_TRUE(second->Delete()) << second->ErrorText().toStdString();
    EXPECT_FALSE(QFile::exists(mail() + QStringLiteral("/inbox/2")));
    QFile moved(mail() + QStringLiteral("/trash/5"));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), message("two"));
    EXPECT_TRUE(unreadSubjects(source.topFolder()).isEmpty());
    ASSERT_TRUE(source.defaultFolder(host::FolderDeletedItems));
    EXPECT_EQ(source.defaultFolder(host::FolderDeletedItems)->items()->Count(), 2);
}

// nmh's own programs change the folders while the source watches: each message inc brings
// is announced once, and mark changing the unseen sequence announces nothing.
TEST_F(MhTest, IncAndMarkAreSeenThroughInotify)
{
    const QString spool = dir.filePath(QStringLiteral("spool"));
    auto spoolWith = [&](const QList<QByteArray> &subjects) {
        QByteArray bytes;
        for (const QByteArray &subject : subjects)
            bytes += "From ann@example.org Mon Jan  5 09:00:00 2026\n" + message(subject) + "\n";
        write(spool, bytes);
    };
    spoolWith({"before"});
    ASSERT_TRUE(nmh(QStringLiteral("inc"),
                    {QStringLiteral("-file"), spool, QStringLiteral("-truncate"), QStringLiteral("-silent")}))
        << "nmh is not installed (scripts/install-deps)";
    MhSource source(mail());
    QSignalSpy newMail(&source, &MailSource::newMail);
    EXPECT_EQ(unreadSubjects(source.topFolder()), QStringList{QStringLiteral("before")});

    spoolWith({"a", "b", "c"});
    ASSERT_TRUE(nmh(QStringLiteral("inc"),
                    {QStringLiteral("-file"), spool, QStringLiteral("-truncate"), QStringLiteral("-silent")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return newMail.count() == 1; }, 10000));
    QTest::qWait(600); // a second announcement would come within the burst's quiet time
    EXPECT_EQ(newMail.count(), 1);
    EXPECT_EQ(unreadSubjects(source.topFolder()),
              (QStringList{QStringLiteral("before"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));

    QSignalSpy unreadChanged(&source, &MailSource::unreadChanged);
    ASSERT_TRUE(nmh(QStringLiteral("mark"),
                    {QStringLiteral("+inbox"), QStringLiteral("1-3"), QStringLiteral("-sequence"),
                     QStringLiteral("unseen"), QStringLiteral("-delete")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return unreadSubjects(source.topFolder()).size() == 1; }, 10000));
    EXPECT_GE(unreadChanged.count(), 1);

    spoolWith({"d"});
    ASSERT_TRUE(nmh(QStringLiteral("inc"),
                    {QStringLiteral("-file"), spool, QStringLiteral("-truncate"), QStringLiteral("-silent")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return newMail.count() == 2; }, 10000));
    QTest::qWait(600);
    EXPECT_EQ(newMail.count(), 2);
    EXPECT_EQ(unreadSubjects(source.topFolder()), (QStringList{QStringLiteral("c"), QStringLiteral("d")}));

    // A folder made by nmh is watched too.
    ASSERT_TRUE(nmh(QStringLiteral("folder"), {QStringLiteral("-create"), QStringLiteral("+later")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return source.topFolder()->folders()->Count() == 1; }, 10000));
    spoolWith({"filed"});
    ASSERT_TRUE(nmh(QStringLiteral("inc"),
                    {QStringLiteral("+later"), QStringLiteral("-file"), spool, QStringLiteral("-truncate"),
                     QStringLiteral("-silent")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return newMail.count() == 3; }, 10000));
    EXPECT_TRUE(source.problems().isEmpty());
}

} // namespace
