#include "tests/addin/AddInFixture.h"

#include "addin/AnnouncedMessages.h"
#include "queue/Queue.h"

#include <QDir>
#include <QFile>

using namespace lumora;
using namespace lumora::test;

namespace {

// One message is announced once, however the store comes to list it again: a synchroniser's
// new copy with a new time, a move into another watched folder, a restart.
class Announced : public AddInFixture
{
protected:
    void SetUp() override
    {
        lists = app.addFolder(inbox, QStringLiteral("Lists"));
        watch({entryFor(inbox), entryFor(lists)});
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        trace.clear();
    }

    MemoryItemPtr deliverKeyed(const QString &subject, const QString &key, const MemoryFolderPtr &folder = {},
                               const QDateTime &origin = {})
    {
        MemoryItemPtr item = deliver(subject, clock.now(), 1, folder);
        item->setMessageKey(key);
        item->setOriginTime(origin);
        return item;
    }

    // Lets the quiet time pass, scans, and shows whatever was queued.
    int queuedByNextScan()
    {
        const int before = traceCount(QStringLiteral("queued:"));
        clock.advance(5000);
        const int queued = traceCount(QStringLiteral("queued:")) - before;
        drainPopup();
        return queued;
    }

    MemoryFolderPtr lists;
};

} // namespace

TEST_F(Announced, ACopyOrAMoveOfAShownMessageIsNotShownAgainButOtherMailIs)
{
    MemoryItemPtr first = deliverKeyed(QStringLiteral("hello"), QStringLiteral("<a@example.org>"));
    EXPECT_EQ(queuedByNextScan(), 1);

    // The synchroniser's copy: a new item, a later time, the same message.
    clock.advance(60000);
    first->folder()->removeItem(first.get());
    deliverKeyed(QStringLiteral("hello"), QStringLiteral("<a@example.org>"));
    EXPECT_EQ(queuedByNextScan(), 0);
    EXPECT_EQ(traceCount(QStringLiteral("scan: folder \"Personal Folders\": 1 shown before, 0 old mail")), 1);

    // Moved by the reader into the other watched folder, still unread.
    clock.advance(60000);
    deliverKeyed(QStringLiteral("hello"), QStringLiteral("<a@example.org>"), lists);
    EXPECT_EQ(queuedByNextScan(), 0);

    // Other mail, keyed or not, still comes through; unkeyed mail is judged by its date alone.
    clock.advance(60000);
    deliverKeyed(QStringLiteral("other"), QStringLiteral("<b@example.org>"), lists);
    deliver(QStringLiteral("no id 1"), clock.now());
    deliver(QStringLiteral("no id 2"), clock.now().addSecs(1));
    EXPECT_EQ(queuedByNextScan(), 3);
}

TEST_F(Announced, WhatWasShownIsRememberedAcrossARestart)
{
    deliverKeyed(QStringLiteral("before restart"), QStringLiteral("<r@example.org>"));
    EXPECT_EQ(queuedByNextScan(), 1);
    disconnectAddIn();
    EXPECT_TRUE(QFile::exists(dataFolder() + QStringLiteral("/Announced.txt")));

    // Within the three hours a new start looks back: only the new message is shown.
    clock.advance(10 * 60 * 1000);
    connectAddIn();
    deliverKeyed(QStringLiteral("after restart"), QStringLiteral("<s@example.org>"));
    EXPECT_EQ(queuedByNextScan(), 1);
    EXPECT_EQ(traceCount(QStringLiteral(
                  "queued: folder \"Personal Folders\", from \"Ann Sender\", subject \"before restart\"")),
              1);
}

TEST_F(Announced, OldMailWrittenWithNewTimesIsNotNewButRecentMailIs)
{
    // A first sync: unread mail the server took in days ago, now in files of this minute.
    for (int i = 0; i < 3; ++i)
        deliverKeyed(QStringLiteral("old %1").arg(i), QStringLiteral("<old%1@example.org>").arg(i), {},
                     clock.now().addDays(-3 - i));
    // Mail the server took in a moment ago, in the same sync.
    deliverKeyed(QStringLiteral("recent"), QStringLiteral("<new@example.org>"), {}, clock.now().addSecs(-600));
    EXPECT_EQ(queuedByNextScan(), 1);
    EXPECT_EQ(traceCount(QStringLiteral("scan: folder \"Personal Folders\": 0 shown before, 3 old mail")), 1);
    // The old mail still counts as unread for the tray.
    clock.advance(1000);
    EXPECT_EQ(controller()->UnreadCount(), 4);
}

TEST(AnnouncedMessages, KeepsTheNewestWithinItsCapacityAndSkipsDamagedLines)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/sub/Announced.txt");
    {
        AnnouncedMessages memory(path, 3);
        ASSERT_TRUE(memory.load()); // missing: empty
        for (const char *key : {"<1@x>", "<2@x>", "<3@x>", "<4@x>"})
            memory.add(QString::fromLatin1(key));
        memory.add(QStringLiteral("<4@x>"));
        memory.add(QString());
        EXPECT_EQ(memory.size(), 3);
        EXPECT_FALSE(memory.contains(QStringLiteral("<1@x>")));
        EXPECT_FALSE(memory.contains(QString()));
        ASSERT_TRUE(memory.save());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("not a hash\n0123\nzzzzzzzzzzzzzzzz\n");
    file.close();
    AnnouncedMessages again(path, 3);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.size(), 3);
    for (const char *key : {"<2@x>", "<3@x>", "<4@x>"})
        EXPECT_TRUE(again.contains(QString::fromLatin1(key))) << key;
}

TEST(AnnouncedMessages, AFailedWriteIsReportedAndKeptForTheNext)
{
    QTemporaryDir dir;
    // A directory where the file should be: it cannot be replaced.
    const QString path = dir.path() + QStringLiteral("/Announced.txt");
    ASSERT_TRUE(QDir().mkpath(path));
    AnnouncedMessages memory(path);
    memory.add(QStringLiteral("<k@x>"));
    QString error;
    EXPECT_FALSE(memory.save(&error));
    EXPECT_TRUE(error.contains(path)) << qPrintable(error);
    ASSERT_TRUE(QDir(path).removeRecursively());
    EXPECT_TRUE(memory.save());
    AnnouncedMessages reread(path);
    ASSERT_TRUE(reread.load());
    EXPECT_TRUE(reread.contains(QStringLiteral("<k@x>")));
}
