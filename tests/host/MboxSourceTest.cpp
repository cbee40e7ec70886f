#include "host/mbox/MboxSource.h"
#include "host/common/MailApplication.h"
#include "host/mbox/MboxFile.h"
#include "host/mbox/MboxItem.h"
#include "host/mbox/MboxMessageHead.h"
#include "host/mbox/MboxSplitter.h"
#include "host/mbox/MboxStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

using namespace lumora;

namespace {

QByteArray message(const QByteArray &subject, const QByteArray &extraHeaders = {}, const QByteArray &body = "Hello\n")
{
    return "From ann@example.org Mon Jan  5 09:00:00 2026\nFrom: Ann <ann@example.org>\nSubject: " + subject
        + "\nMessage-ID: <" + subject + "@example.org>\n" + extraHeaders + "\n" + body + "\n";
}

void append(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList unreadSubjects(MailSource &source)
{
    QStringList subjects;
    host::ItemsPtr items = source.topFolder()->items();
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
        subjects << item->Subject();
    return subjects;
}

QList<qint64> split(const QByteArray &bytes, qsizetype piece)
{
    MboxSplitter splitter;
    QList<qint64> starts;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        splitter.feed(bytes.constData() + at, qMin(piece, bytes.size() - at), &starts);
    return starts;
}

TEST(MboxSplitter, MessagesStartOnlyAtFromLinesAfterAnEmptyLineWhateverThePieces)
{
    const QByteArray first = "From a@b Mon Jan  5 09:00:00 2026\nSubject: one\n\nBody\nFrom here on, body text\n"
                             ">From quoted\n\n";
    const QByteArray second = "From c@d Mon Jan  5 10:00:00 2026\r\nSubject: two\r\n\r\nx\r\n\r\n";
    const QByteArray third = "From e@f Mon Jan  5 11:00:00 2026\nSubject: three\n\nFrom";
    const QByteArray all = first + second + third;
    const QList<qint64> expected = {0, first.size(), first.size() + second.size()};
    for (const qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(5), qsizetype(7), all.size()})
        EXPECT_EQ(split(all, piece), expected) << "pieces of " << piece;
    // A file that does not begin with a From_ line has no message before its first one.
    EXPECT_EQ(split("junk\n\nFrom x\n", 3), QList<qint64>{6});
    EXPECT_TRUE(split("Fro", 1).isEmpty());
}

TEST(MboxMessageHead, StatusAndMozillaFlagsGiveTheReadState)
{
    struct Row
    {
        QByteArray headers;
        bool seen;
        bool old;
    };
    const Row rows[] = {
        {"", false, false},
        {"Status: O\n", false, true},
        {"Status: RO\n", true, true},
        {"status:R\n", true, false},
        {"X-Mozilla-Status: 0001\n", true, true},
        {"X-Mozilla-Status: 0008\n", true, true}, // expunged, awaiting compaction
        {"X-Mozilla-Status: 0000\n", false, false},
        {"X-Status: R\n", false, false},
        {"Subject: x\n\nStatus: RO\n", false, false}, // in the body
    };
    for (const Row &row : rows) {
        const MboxMessageHead head = MboxMessageHead::parse("From a Mon Jan  5 09:00:00 2026\n" + row.headers + "\n");
        EXPECT_EQ(head.seen, row.seen) << row.headers.constData();
        EXPECT_EQ(head.old, row.old) << row.headers.constData();
        EXPECT_TRUE(head.complete);
    }
    EXPECT_FALSE(MboxMessageHead::parse("From a Mon Jan  5 09:00:00 2026\nSubject: cut").complete);
}

TEST(MboxMessageHead, ArrivalTimeFromTheFromLineElseTheDateHeader)
{
    EXPECT_EQ(MboxMessageHead::fromLineDate("From ann@example.org  Wed Dec  9 01:50:22 2026"),
              QDateTime(QDate(2026, 12, 9), QTime(1, 50, 22)));
    EXPECT_EQ(MboxMessageHead::fromLineDate("From \"a b\"@c Tue Feb  3 04:05 2026"),
              QDateTime(QDate(2026, 2, 3), QTime(4, 5)));
    EXPECT_EQ(MboxMessageHead::fromLineDate("From a Tue Feb  3 04:05:06 +0100 2026"),
              QDateTime(QDate(2026, 2, 3), QTime(3, 5, 6), Qt::UTC).toLocalTime());
    EXPECT_FALSE(MboxMessageHead::fromLineDate("From a Tue Feb 31 04:05:06 2026").isValid());
    EXPECT_FALSE(MboxMessageHead::fromLineDate("From a").isValid());
    const MboxMessageHead head = MboxMessageHead::parse("From MAILER-DAEMON\nDate: Mon, 5 Jan 2026 09:00:00 +0000\n\n");
    EXPECT_EQ(head.received, QDateTime(QDate(2026, 1, 5), QTime(9, 0), Qt::UTC));
}

class MboxFileTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("mbox")); }
    QTemporaryDir dir;
};

TEST_F(MboxFileTest, AnAppendIsReadFromTheOldEndOnly)
{
    QByteArray bulk;
    for (int i = 0; i < 200; ++i)
        bulk += message("old" + QByteArray::number(i), "Status: RO\n", QByteArray(2000, 'x') + "\n");
    overwrite(path(), bulk);
    MboxFile file(path());
    int fresh = -1;
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Reread);
    EXPECT_EQ(fresh, 0);
    EXPECT_EQ(file.entries().size(), 200u);

    const QByteArray added = message("new");
    append(path(), added);
    const quint64 before = MboxFile::bytesRead();
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Appended);
    EXPECT_EQ(fresh, 1);
    ASSERT_EQ(file.entries().size(), 201u);
    EXPECT_EQ(file.entries().back().offset, bulk.size());
    // The two samples that prove the old part unchanged, the new bytes, and its head.
    EXPECT_LT(MboxFile::bytesRead() - before, quint64(4 * 256 + 2 * added.size() + 4096));
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Unchanged);
    EXPECT_EQ(file.unreadCount(), 1);
}

TEST_F(MboxFileTest, AClientRewritingTheFileGivesOneFullReadAndKeepsTheIds)
{
    overwrite(path(), message("a") + message("b") + message("a-twin"));
    MboxFile file(path());
    file.update();
    ASSERT_EQ(file.entries().size(), 3u);
    const quint64 b = file.entries()[1].identity;
    // A client marks "a" read: the file grows, but its earlier part changed.
    overwrite(path(), message("a", "Status: RO\n") + message("b") + message("a-twin") + message("c"));
    int fresh = -1;
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Reread);
    EXPECT_EQ(fresh, 1); // only "c": the others were known before
    ASSERT_EQ(file.entries().size(), 4u);
    EXPECT_TRUE(file.entries()[0].flags & MboxFile::Seen);
    EXPECT_EQ(file.find(b, 0), 1);
    // The same length with other content (a flag changed in place) is a rewrite too.
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &st), 0);
    overwrite(path(),
              QByteArray(message("a", "Status: RO\n") + message("b") + message("a-twin") + message("c"))
                  .replace("Subject: c", "Subject: C"));
    timespec later[2] = {{st.st_mtim.tv_sec + 5, 0}, {st.st_mtim.tv_sec + 5, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path()).constData(), later, 0);
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Reread);
    EXPECT_EQ(fresh, 0);
    // Emptied by a client: nothing is left, and nothing counts as new.
    overwrite(path(), {});
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Reread);
    EXPECT_TRUE(file.entries().empty());
    QFile::remove(path());
    EXPECT_EQ(file.update(&fresh), MboxFile::Update::Unchanged);
}

TEST_F(MboxFileTest, TwinMessagesHaveDistinctIdsAndAHeadCutByADeliveryIsReadAgain)
{
    const QByteArray twin = message("same");
    overwrite(path(), twin + twin);
    MboxFile file(path());
    file.update();
    ASSERT_EQ(file.entries().size(), 2u);
    EXPECT_EQ(file.entries()[0].identity, file.entries()[1].identity);
    EXPECT_EQ(file.entries()[1].occurrence, 1);

    append(path(), "From bo@example.org Mon Jan  5 10:00:00 2026\nSubject: late\nStat");
    file.update();
    ASSERT_EQ(file.entries().size(), 3u);
    EXPECT_FALSE(file.entries()[2].flags & MboxFile::Complete);
    append(path(), "us: RO\nMessage-ID: <late@x>\n\nbody\n");
    file.update();
    EXPECT_TRUE(file.entries()[2].flags & MboxFile::Complete);
    EXPECT_TRUE(file.entries()[2].flags & MboxFile::Seen);
    EXPECT_EQ(file.message(2, 1 << 20), "Subject: late\nStatus: RO\nMessage-ID: <late@x>\n\nbody\n");
    EXPECT_TRUE(file.message(7, 100).isEmpty());
}

TEST_F(MboxFileTest, AFreshDotLockDefersTheReadAndAStaleOneIsIgnored)
{
    overwrite(path(), message("a"));
    const QString lock = path() + QStringLiteral(".lock");
    overwrite(lock, {});
    MboxFile file(path());
    EXPECT_EQ(file.update(), MboxFile::Update::Busy);
    EXPECT_TRUE(file.entries().empty());
    const time_t old = ::time(nullptr) - 2 * MboxFile::StaleLockSecs;
    timespec stale[2] = {{old, 0}, {old, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lock).constData(), stale, 0), 0);
    EXPECT_EQ(file.update(), MboxFile::Update::Reread);
    EXPECT_EQ(file.entries().size(), 1u);
    // Reading never wrote the mailbox or its lock.
    QFile mbox(path());
    ASSERT_TRUE(mbox.open(QIODevice::ReadOnly));
    EXPECT_EQ(mbox.readAll(), message("a"));
}

TEST_F(MboxFileTest, WhatIsNoRegularFileIsAProblemNotAWait)
{
    ASSERT_TRUE(QDir().mkdir(path()));
    MboxFile file(path());
    EXPECT_EQ(file.update(), MboxFile::Update::Failed);
    EXPECT_TRUE(file.error().contains(path()));
}

TEST(MboxIds, ItemIdsRoundTripAndForeignIdsAreRefused)
{
    quint64 identity = 0;
    quint16 occurrence = 0;
    ASSERT_TRUE(
        MboxStore::parseItemEntryId(MboxStore::itemEntryId(0xFEDCBA9876543210ULL, 65535), &identity, &occurrence));
    EXPECT_EQ(identity, 0xFEDCBA9876543210ULL);
    EXPECT_EQ(occurrence, 65535);
    for (const QString &id : {QString(), QStringLiteral("XYZ"), MboxStore::folderEntryId(),
                              QString::fromLatin1(QByteArray("B0123456789abcdef.70000").toHex().toUpper()),
                              QString::fromLatin1(QByteArray("B0123456789abcdeg.1").toHex().toUpper())})
        EXPECT_FALSE(MboxStore::parseItemEntryId(id, &identity, &occurrence)) << id.toStdString();
}

class MboxSourceTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("spool")); }
    QTemporaryDir dir;
};

TEST_F(MboxSourceTest, MailAtStartIsNoNewMailAndItemsAreFoundAgainById)
{
    overwrite(path(), message("read", "Status: RO\n") + message("seen arriving", "Status: O\n") + message("waiting"));
    MboxSource source(path());
    EXPECT_TRUE(source.problems().isEmpty());
    EXPECT_EQ(unreadSubjects(source), (QStringList{QStringLiteral("seen arriving"), QStringLiteral("waiting")}));
    EXPECT_TRUE(source.holdsWaitingMail());
    EXPECT_EQ(source.topFolder()->UnReadItemCount(), 2);
    EXPECT_EQ(source.topFolder()->FolderPath(), path());
    EXPECT_FALSE(source.defaultFolder(host::FolderDeletedItems));

    host::ItemPtr item = source.topFolder()->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    host::ItemPtr again = source.itemFromId(item->EntryID());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Subject(), QStringLiteral("seen arriving"));
    EXPECT_EQ(again->SenderName(), QStringLiteral("Ann"));
    EXPECT_EQ(again->ReceivedTime(), QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    EXPECT_TRUE(source.folderFromId(source.topFolder()->EntryID()));
    // A second source over the same file names its items the same way (ids last across starts).
    MboxSource restarted(path());
    EXPECT_TRUE(restarted.itemFromId(item->EntryID()));
    EXPECT_FALSE(source.itemFromId(MboxStore::itemEntryId(1, 0)));
}

TEST_F(MboxSourceTest, DeleteAndMarkReadAreRefusedAndTheFileIsLeftAlone)
{
    const QByteArray content = message("keep me");
    overwrite(path(), content);
    MboxSource source(path());
    host::ItemPtr item = source.topFolder()->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->Delete());
    EXPECT_TRUE(item->ErrorText().contains(QStringLiteral("rewriting the mailbox")));
    EXPECT_FALSE(item->MarkRead());
    EXPECT_TRUE(item->ErrorText().contains(path()));
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
}

TEST_F(MboxSourceTest, OpeningSavesAPrivateCopyOfTheMessage)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.filePath(QStringLiteral("run"))));
    QDir().mkpath(dir.filePath(QStringLiteral("run")));
    ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("run"))).constData(), 0700);
    overwrite(path(), message("first") + message("open me"));
    MboxSource source(path());
    const QString shown = dir.filePath(QStringLiteral("shown"));
    source.setDisplayCommand(QStringLiteral("cp %f ") + shown);
    host::ItemsPtr items = source.topFolder()->items();
    items->Find(QStringLiteral("[Unread] = true"));
    host::ItemPtr item = items->FindNext();
    ASSERT_TRUE(item);
    ASSERT_TRUE(item->Display()) << item->ErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(shown).size() > 0; }, 5000));
    QFile copy(shown);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray full = message("open me");
    EXPECT_EQ(copy.readAll(), full.mid(full.indexOf('\n') + 1));
    const QFileInfoList saved = QDir(MboxItem::displayFolder()).entryInfoList(QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    qunsetenv("XDG_RUNTIME_DIR");
}

// procmail delivers (with its dot-lock and kernel lock) while the source watches: every
// delivery is one new unread message, found from inotify alone.
TEST_F(MboxSourceTest, ProcmailAndFormailDeliveriesAreEachAnnouncedOnce)
{
    const QString procmail = QStandardPaths::findExecutable(QStringLiteral("procmail"));
    const QString formail = QStandardPaths::findExecutable(QStringLiteral("formail"));
    ASSERT_FALSE(procmail.isEmpty() || formail.isEmpty()) << "procmail is not installed (scripts/install-deps)";
    overwrite(path(), message("old", "Status: RO\n"));
    MailApplication app;
    auto owned = std::make_unique<MboxSource>(path());
    MboxSource *source = owned.get();
    ASSERT_TRUE(app.addSource(std::move(owned)));
    app.setStartupCheckMs(600000);
    app.start();
    QSignalSpy newMail(source, &MailSource::newMail);
    const QStringList deliver = {QStringLiteral("-f"), QStringLiteral("bo@example.org"), QStringLiteral("-m"),
                                 QStringLiteral("DEFAULT=") + path(), QStringLiteral("/dev/null")};
    QSet<QString> ids;
    auto check = [&](const QStringList &expected) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return newMail.count() == 1; }, 10000));
        QTest::qWait(2 * 300); // a second announcement would come within the burst's quiet time
        EXPECT_EQ(newMail.count(), 1);
        newMail.clear();
        EXPECT_EQ(unreadSubjects(*source), expected);
        host::ItemsPtr items = source->topFolder()->items();
        for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
            ids.insert(item->EntryID());
    };
    QStringList expected;
    for (int i = 1; i <= 3; ++i) {
        QProcess run;
        run.start(procmail, deliver);
        run.write("From: Bo <bo@example.org>\nSubject: delivery " + QByteArray::number(i) + "\n\nHi\n");
        run.closeWriteChannel();
        ASSERT_TRUE(run.waitForFinished(10000));
        ASSERT_EQ(run.exitCode(), 0);
        expected << QStringLiteral("delivery %1").arg(i);
        check(expected);
    }
    // formail splits a digest into one procmail delivery each: one burst, two messages.
    QProcess split;
    split.start(formail, QStringList{QStringLiteral("-ds"), procmail} + deliver);
    split.write(message("digest 1") + message("digest 2"));
    split.closeWriteChannel();
    ASSERT_TRUE(split.waitForFinished(10000));
    expected << QStringLiteral("digest 1") << QStringLiteral("digest 2");
    check(expected);
    EXPECT_EQ(ids.size(), 5);
    EXPECT_TRUE(source->problems().isEmpty());
}

TEST_F(MboxSourceTest, ASpoolCreatedByTheFirstDeliveryIsNoticed)
{
    MboxSource source(path());
    EXPECT_TRUE(source.problems().isEmpty());
    EXPECT_TRUE(unreadSubjects(source).isEmpty());
    QSignalSpy newMail(&source, &MailSource::newMail);
    overwrite(path(), message("first ever"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return newMail.count() == 1; }, 10000));
    EXPECT_EQ(unreadSubjects(source), QStringList{QStringLiteral("first ever")});
    // Replaced by a rename (as a client that rewrites does): read again, nothing new.
    const QString temp = dir.filePath(QStringLiteral("spool.tmp"));
    overwrite(temp, message("first ever", "Status: RO\n"));
    ASSERT_TRUE(QFile::rename(path(), dir.filePath(QStringLiteral("spool.old"))));
    ASSERT_TRUE(QFile::rename(temp, path()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return unreadSubjects(source).isEmpty(); }, 10000));
    append(path(), message("after the rewrite"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return newMail.count() == 2; }, 10000));
    EXPECT_EQ(unreadSubjects(source), QStringList{QStringLiteral("after the rewrite")});
}

} // namespace
