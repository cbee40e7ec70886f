#include "tests/host/MaildirTree.h"

#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirFolderIndex.h"
#include "host/maildir/MaildirNameTable.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

using namespace lumora;
using lumora::test::MaildirTree;

namespace {

constexpr qint64 T0 = 1767600000;

QStringList unreadNames(MaildirFolderIndex &index)
{
    return index.unreadOldestFirst();
}

void moveFile(const QString &from, const QString &to)
{
    ASSERT_TRUE(QFile::rename(from, to)) << qPrintable(from) << " -> " << qPrintable(to);
}

TEST(MaildirNameTable, AgreesWithAPlainMapThroughManyChanges)
{
    // Random puts, renames and erases exercise the probing, the backward-shift deletion
    // and the compaction of the name buffer; a plain map says what must be there.
    struct Expected
    {
        QByteArray fileName;
        quint8 flags;
        qint64 time;
    };
    std::map<QByteArray, Expected> expected;
    MaildirNameTable table;
    QRandomGenerator random(42);
    for (int step = 0; step < 60000; ++step) {
        const QByteArray unique =
            QByteArray::number(random.bounded(4000)) + ".M" + QByteArray::number(step % 7) + ".host";
        const int action = random.bounded(10);
        if (action < 6) {
            const bool timed = random.bounded(2) == 0;
            const QByteArray name = unique + (timed ? ":2," : ":2,S") + QByteArray(random.bounded(40), 'F');
            const quint8 flags = quint8(random.bounded(0x80));
            const qint64 time = timed ? T0 * 1000000000LL + step : 0;
            table.put(name, unique.size(), flags, timed, time);
            expected[unique] = {name, flags, time};
        } else {
            const MaildirNameTable::Id id = table.find(unique);
            ASSERT_EQ(id != MaildirNameTable::None, expected.count(unique) == 1) << unique.constData();
            if (id != MaildirNameTable::None) {
                table.erase(id);
                expected.erase(unique);
            }
        }
    }
    ASSERT_EQ(table.size(), qsizetype(expected.size()));
    for (const auto &[unique, e] : expected) {
        const MaildirNameTable::Id id = table.find(unique);
        ASSERT_NE(id, MaildirNameTable::None) << unique.constData();
        EXPECT_EQ(table.fileName(id), e.fileName);
        EXPECT_EQ(table.uniqueName(id), unique);
        EXPECT_EQ(table.flags(id), e.flags);
        EXPECT_EQ(table.timeNs(id), e.time);
    }
    int visited = 0;
    table.forEach([&](MaildirNameTable::Id) { ++visited; });
    EXPECT_EQ(visited, table.size());

    // Emptied, it gives its memory back.
    std::vector<MaildirNameTable::Id> all;
    table.forEach([&](MaildirNameTable::Id id) { all.push_back(id); });
    for (MaildirNameTable::Id id : all)
        table.erase(id);
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(table.memoryBytes(), 0);
    EXPECT_EQ(table.find("1.M1.host"), MaildirNameTable::None);
}

TEST(MaildirNameTable, HoldsAMessageInUnderAHundredBytes)
{
    MaildirNameTable table;
    const int n = 20000;
    qsizetype nameBytes = 0;
    for (int i = 0; i < n; ++i) {
        // A typical delivery agent's name: time, microseconds, pid, counter, host, flags.
        const QByteArray unique = QByteArray::number(1700000000 + i) + ".M" + QByteArray::number(i * 7 % 1000000) + "P"
            + QByteArray::number(4000 + i % 300) + "Q" + QByteArray::number(i) + ".mail.example.org";
        const QByteArray name = unique + ":2,S";
        nameBytes += name.size();
        table.put(name, unique.size(), 0, false, 0);
    }
    const double perMessage = double(table.memoryBytes()) / n;
    EXPECT_LT(perMessage, 100.0);
    EXPECT_LT(perMessage - double(nameBytes) / n, 40.0); // the overhead beyond the name itself
}

TEST(MaildirIndexEvents, MovesFlagChangesAndDeletionsKeepIdsAndCountArrivalsOnce)
{
    MaildirTree tree;
    tree.put({}, QStringLiteral("cur"), QStringLiteral("old.host:2,S"), "Subject: old\n\n", T0);
    MaildirFolderIndex index(tree.root(), tree.root());
    index.refreshAll();
    EXPECT_EQ(index.takeArrivals(), 0); // what the first listing finds is not new

    // Two deliveries within one second keep their sub-second times and their order.
    tree.put({}, QStringLiteral("new"), QStringLiteral("b.host"), "Subject: b\n\n", T0 + 5, 700000000);
    tree.put({}, QStringLiteral("new"), QStringLiteral("a.host"), "Subject: a\n\n", T0 + 5, 200000000);
    index.fileAdded(MaildirFolderIndex::New, "b.host");
    index.fileAdded(MaildirFolderIndex::New, "a.host");
    index.fileAdded(MaildirFolderIndex::New, "a.host"); // the same event twice
    EXPECT_EQ(index.takeArrivals(), 2);
    EXPECT_EQ(index.takeArrivals(), 0);
    EXPECT_EQ(unreadNames(index), (QStringList{QStringLiteral("a.host"), QStringLiteral("b.host")}));
    EXPECT_EQ(index.find(QStringLiteral("a.host"))->mtimeNs, (T0 + 5) * 1000000000LL + 200000000);

    // new/ -> cur/ by a mail client: the same entry, still unread, time kept, no arrival.
    moveFile(tree.root() + QStringLiteral("/new/a.host"), tree.root() + QStringLiteral("/cur/a.host:2,"));
    index.fileRemoved(MaildirFolderIndex::New, "a.host");
    index.fileAdded(MaildirFolderIndex::Cur, "a.host:2,");
    auto a = index.find(QStringLiteral("a.host"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->sub, MaildirFolderIndex::Cur);
    EXPECT_FALSE(a->seen);
    EXPECT_EQ(a->mtimeNs, (T0 + 5) * 1000000000LL + 200000000);
    EXPECT_EQ(index.pathOf(QStringLiteral("a.host")), tree.root() + QStringLiteral("/cur/a.host:2,"));

    // Marked read, then a late event for the name before the change: the entry stays read.
    moveFile(tree.root() + QStringLiteral("/cur/a.host:2,"), tree.root() + QStringLiteral("/cur/a.host:2,S"));
    index.fileAdded(MaildirFolderIndex::Cur, "a.host:2,S");
    index.fileRemoved(MaildirFolderIndex::Cur, "a.host:2,");
    a = index.find(QStringLiteral("a.host"));
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->seen);
    EXPECT_EQ(unreadNames(index), QStringList{QStringLiteral("b.host")});

    // Back from cur/ to new/ within the folder is not new mail; a deletion drops the entry.
    moveFile(tree.root() + QStringLiteral("/cur/a.host:2,S"), tree.root() + QStringLiteral("/new/a.host"));
    index.fileRemoved(MaildirFolderIndex::Cur, "a.host:2,S");
    index.fileAdded(MaildirFolderIndex::New, "a.host", true);
    EXPECT_EQ(index.takeArrivals(), 0);
    QFile::remove(tree.root() + QStringLiteral("/new/b.host"));
    index.fileRemoved(MaildirFolderIndex::New, "b.host");
    EXPECT_FALSE(index.contains(QStringLiteral("b.host")));
    EXPECT_EQ(index.count(), 2);

    // Directories, dot files and names that are already gone are no messages.
    QDir().mkpath(tree.root() + QStringLiteral("/new/sub.dir"));
    index.fileAdded(MaildirFolderIndex::New, "sub.dir");
    index.fileAdded(MaildirFolderIndex::New, ".hidden");
    index.fileAdded(MaildirFolderIndex::New, "vanished.host");
    EXPECT_EQ(index.count(), 2);
    EXPECT_EQ(index.takeArrivals(), 0);

    // A listing agrees with what the events built, and finds no arrival twice.
    const quint64 listingsBefore = MaildirFolderIndex::listings();
    index.refreshAll();
    EXPECT_EQ(MaildirFolderIndex::listings(), listingsBefore + 2);
    EXPECT_EQ(index.count(), 2);
    EXPECT_EQ(index.takeArrivals(), 0);
    EXPECT_EQ(unreadNames(index), QStringList{QStringLiteral("a.host")});
}

TEST(MaildirIndexEvents, ArrivalSeenFirstByAListingIsStillReportedOnce)
{
    // Something relists the folder (an item looking for its moved file) before the watcher
    // reads the delivery's event: the arrival must not be lost, nor counted twice.
    MaildirTree tree;
    MaildirFolderIndex index(tree.root(), tree.root());
    index.refreshAll();
    tree.put({}, QStringLiteral("new"), QStringLiteral("x.host"), "Subject: x\n\n", T0);
    index.refreshAll();
    index.fileAdded(MaildirFolderIndex::New, "x.host");
    EXPECT_EQ(index.takeArrivals(), 1);
    index.refreshAll();
    EXPECT_EQ(index.takeArrivals(), 0);

    // Arrived and gone again before anyone counted it: nothing to report.
    tree.put({}, QStringLiteral("new"), QStringLiteral("y.host"), "Subject: y\n\n", T0);
    index.fileAdded(MaildirFolderIndex::New, "y.host");
    QFile::remove(tree.root() + QStringLiteral("/new/y.host"));
    index.fileRemoved(MaildirFolderIndex::New, "y.host");
    EXPECT_EQ(index.takeArrivals(), 0);
}

TEST(MaildirIndexEvents, SynchroniserRenamesKeepOneEntryWithItsFirstTime)
{
    // A synchroniser that takes a local delivery over writes a copy named with the server's
    // uid appended (and maybe a checksum), then removes the original; readers change flags
    // in any order. Each stays one entry, still unread, with the time of its delivery.
    MaildirTree tree;
    MaildirFolderIndex index(tree.root(), tree.root());
    index.refreshAll();
    const qint64 delivered = (T0 + 5) * 1000000000LL;
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600005.M1P2.host"), "Subject: a\n\n", T0 + 5);
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600005.M3P4.host,S=120"), "Subject: b\n\n", T0 + 5);
    index.fileAdded(MaildirFolderIndex::New, "1767600005.M1P2.host");
    index.fileAdded(MaildirFolderIndex::New, "1767600005.M3P4.host,S=120");
    EXPECT_EQ(index.takeArrivals(), 2);

    // mbsync: the rewritten copy appears first (new time), then the original goes.
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600005.M1P2.host,U=17"), "X-TUID: x\nSubject: a\n\n",
             T0 + 60);
    index.fileAdded(MaildirFolderIndex::New, "1767600005.M1P2.host,U=17");
    QFile::remove(tree.root() + QStringLiteral("/new/1767600005.M1P2.host"));
    index.fileRemoved(MaildirFolderIndex::New, "1767600005.M1P2.host");
    // offlineimap: uid and checksum after the Maildir++ size, moved to cur/ on the way.
    moveFile(tree.root() + QStringLiteral("/new/1767600005.M3P4.host,S=120"),
             tree.root() + QStringLiteral("/cur/1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,"));
    index.fileRemoved(MaildirFolderIndex::New, "1767600005.M3P4.host,S=120");
    index.fileAdded(MaildirFolderIndex::Cur, "1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,");
    EXPECT_EQ(index.takeArrivals(), 0);
    EXPECT_EQ(index.count(), 2);
    EXPECT_EQ(index.unreadOldestFirst(),
              (QStringList{QStringLiteral("1767600005.M1P2.host"), QStringLiteral("1767600005.M3P4.host")}));
    EXPECT_EQ(index.find(QStringLiteral("1767600005.M1P2.host"))->mtimeNs, delivered);
    EXPECT_EQ(index.pathOf(QStringLiteral("1767600005.M3P4.host")),
              tree.root() + QStringLiteral("/cur/1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,"));

    // Flags added in either order, then read: the same entry throughout.
    const QString cur = tree.root() + QStringLiteral("/cur/");
    moveFile(cur + QStringLiteral("1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,"),
             cur + QStringLiteral("1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,F"));
    moveFile(cur + QStringLiteral("1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,F"),
             cur + QStringLiteral("1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,FS"));
    index.fileAdded(MaildirFolderIndex::Cur, "1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,FS");
    index.fileRemoved(MaildirFolderIndex::Cur, "1767600005.M3P4.host,S=120,U=18,FMD5=0cc175b9c0f1b6a8:2,");
    EXPECT_TRUE(index.find(QStringLiteral("1767600005.M3P4.host"))->seen);

    // A listing that meets the original and the copy together (the synchroniser between its
    // two steps) keeps the copy, and relisting after the original is gone changes nothing.
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600005.M1P2.host"), "Subject: a\n\n", T0 + 5);
    index.refreshAll();
    EXPECT_EQ(index.find(QStringLiteral("1767600005.M1P2.host"))->fileName,
              QStringLiteral("1767600005.M1P2.host,U=17"));
    QFile::remove(tree.root() + QStringLiteral("/new/1767600005.M1P2.host"));
    index.refreshAll();
    EXPECT_EQ(index.count(), 2);
    EXPECT_EQ(index.takeArrivals(), 0);
    EXPECT_EQ(index.find(QStringLiteral("1767600005.M1P2.host"))->mtimeNs, delivered);
}

class WatchedStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.put({}, QStringLiteral("cur"), QStringLiteral("read.host:2,S"), "Subject: r\n\n", T0);
        tree.put({}, QStringLiteral("new"), QStringLiteral("waiting.host"), "Subject: w\n\n", T0);
        app = std::make_unique<MaildirApplication>(QStringList{tree.root()});
        spy = std::make_unique<QSignalSpy>(app.get(), &host::Application::NewMail);
        index = app->stores().first()->index(QString());
    }

    QString inbox(const char *sub, const char *name) const
    {
        return tree.root() + QLatin1Char('/') + QLatin1String(sub) + QLatin1Char('/') + QLatin1String(name);
    }

    // Lets the watcher read what inotify queued and the burst window close.
    void settle() { QTest::qWait(MaildirWatcher::QuietMs * 2); }

    MaildirTree tree;
    std::unique_ptr<MaildirApplication> app;
    std::unique_ptr<QSignalSpy> spy;
    MaildirFolderIndex *index = nullptr;
};

TEST_F(WatchedStore, EventsKeepTheIndexCurrentWithoutRelisting)
{
    const quint64 listings = MaildirFolderIndex::listings();
    for (int i = 0; i < 20; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("d%1.host").arg(i), "Subject: d\n\n");
    ASSERT_TRUE(spy->wait(3000));
    settle();
    EXPECT_EQ(spy->count(), 1);
    EXPECT_EQ(index->count(), 22);

    // A mail client reads two, moves one to cur/ unread, deletes one: no new mail.
    moveFile(inbox("new", "d0.host"), inbox("cur", "d0.host:2,S"));
    moveFile(inbox("new", "d1.host"), inbox("cur", "d1.host:2,"));
    moveFile(inbox("cur", "read.host:2,S"), inbox("cur", "read.host:2,RS"));
    QFile::remove(inbox("new", "d2.host"));
    settle();
    EXPECT_EQ(spy->count(), 1);
    EXPECT_EQ(index->count(), 21);
    EXPECT_EQ(index->unreadOldestFirst().size(), 19);
    EXPECT_EQ(index->find(QStringLiteral("d1.host"))->sub, MaildirFolderIndex::Cur);
    EXPECT_EQ(index->find(QStringLiteral("read.host"))->fileName, QStringLiteral("read.host:2,RS"));
    EXPECT_EQ(MaildirFolderIndex::listings(), listings); // names came from the events alone
}

TEST_F(WatchedStore, OverflowRelistsOnceWithNothingLostOrShownTwice)
{
    // Changes the watcher has not read yet when the kernel's queue overflows.
    for (int i = 0; i < 3; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("o%1.host").arg(i), "Subject: o\n\n");
    moveFile(inbox("new", "waiting.host"), inbox("cur", "waiting.host:2,S"));
    moveFile(inbox("new", "o0.host"), inbox("cur", "o0.host:2,"));
    QFile::remove(inbox("new", "o1.host"));
    moveFile(inbox("cur", "read.host:2,S"), inbox("cur", "read.host:2,"));
    tree.makeFolder(QStringLiteral(".Late"));
    tree.put(QStringLiteral(".Late"), QStringLiteral("new"), QStringLiteral("l.host"), "Subject: l\n\n");

    const quint64 listings = MaildirFolderIndex::listings();
    app->watcher()->recoverFromOverflow();
    EXPECT_GT(MaildirFolderIndex::listings(), listings);
    ASSERT_TRUE(spy->wait(3000));
    settle();
    EXPECT_EQ(spy->count(), 1);

    QStringList unread = index->unreadOldestFirst();
    unread.sort();
    EXPECT_EQ(unread, (QStringList{QStringLiteral("o0.host"), QStringLiteral("o2.host"), QStringLiteral("read.host")}));
    EXPECT_EQ(index->count(), 4);
    MaildirFolderIndex *late = app->stores().first()->loadedIndex(QStringLiteral(".Late"));
    ASSERT_TRUE(late);
    EXPECT_EQ(late->unreadOldestFirst(), QStringList{QStringLiteral("l.host")});

    // Events flow again afterwards, for the old folders and the one found by the relisting.
    tree.put(QStringLiteral(".Late"), QStringLiteral("new"), QStringLiteral("l2.host"), "Subject: l2\n\n");
    ASSERT_TRUE(spy->wait(3000));
    settle();
    EXPECT_EQ(spy->count(), 2);
    EXPECT_EQ(late->count(), 2);
}

TEST_F(WatchedStore, FolderRemovedAndMadeAgainIsWatchedAgain)
{
    tree.makeFolder(QStringLiteral(".Box"));
    settle();
    const int watched = app->watcher()->watchedCount();
    QDir(tree.folderPath(QStringLiteral(".Box"))).removeRecursively();
    settle();
    EXPECT_EQ(app->watcher()->watchedCount(), watched - 2);
    EXPECT_FALSE(app->stores().first()->hasFolder(QStringLiteral(".Box")));

    tree.makeFolder(QStringLiteral(".Box"));
    settle();
    tree.put(QStringLiteral(".Box"), QStringLiteral("new"), QStringLiteral("b.host"), "Subject: b\n\n");
    ASSERT_TRUE(spy->wait(3000));
    EXPECT_EQ(app->stores().first()->loadedIndex(QStringLiteral(".Box"))->count(), 1);
}

} // namespace
