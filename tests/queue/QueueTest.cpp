#include "queue/Queue.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using lumora::Queue;
using lumora::QUEUE_ENTRY;

namespace {

void addOne(Queue &q, const QString &subject = QStringLiteral("s"), const QVariant &importance = 1)
{
    q.Add(QStringLiteral("from"), subject, QStringLiteral("E1"), QStringLiteral("S1"), QStringLiteral("Inbox"),
          importance);
}

} // namespace

TEST(Queue, NewQueueIsEmptyAndRemoveGivesEmptyEntry)
{
    Queue q;
    QSignalSpy empty(&q, &Queue::QueueEmpty);
    EXPECT_EQ(q.Size(), 0);
    EXPECT_EQ(q.Max(), 0);
    const QUEUE_ENTRY e = q.Remove();
    EXPECT_TRUE(e.strFrom.isEmpty());
    EXPECT_TRUE(e.strSubject.isEmpty());
    EXPECT_TRUE(e.strEntryID.isEmpty());
    EXPECT_EQ(e.nNo, 0);
    EXPECT_EQ(e.nImportance, 0);
    EXPECT_EQ(empty.count(), 1);
}

TEST(Queue, CapacityIs1001)
{
    Queue q;
    QSignalSpy full(&q, &Queue::QueueFull);
    for (int i = 0; i < 1001; ++i)
        addOne(q);
    EXPECT_EQ(full.count(), 0);
    addOne(q);
    EXPECT_EQ(full.count(), 1);
    EXPECT_EQ(q.Size(), 1001);
    EXPECT_EQ(q.Max(), 1001);
}

TEST(Queue, FirstInFirstOutWithRunNumbering)
{
    Queue q;
    for (int i = 1; i <= 3; ++i)
        addOne(q, QString::number(i));
    for (int i = 1; i <= 3; ++i) {
        const QUEUE_ENTRY e = q.Remove();
        EXPECT_EQ(e.strSubject, QString::number(i));
        EXPECT_EQ(e.nNo, i);
        EXPECT_EQ(q.Max(), 3);
        EXPECT_EQ(e.strFrom, QStringLiteral("from"));
        EXPECT_EQ(e.strEntryID, QStringLiteral("E1"));
        EXPECT_EQ(e.strStoreID, QStringLiteral("S1"));
        EXPECT_EQ(e.strFolder, QStringLiteral("Inbox"));
        EXPECT_TRUE(e.strMessage.isEmpty());
    }
}

TEST(Queue, RunContinuesUntilSizeIsReadOnEmptyQueue)
{
    {
        Queue q; // add two, remove one, add one
        addOne(q);
        addOne(q);
        EXPECT_EQ(q.Remove().nNo, 1);
        addOne(q);
        EXPECT_EQ(q.Max(), 3);
        EXPECT_EQ(q.Remove().nNo, 2);
        EXPECT_EQ(q.Remove().nNo, 3);
    }
    {
        Queue q; // drained and Size read: a new run
        addOne(q);
        addOne(q);
        q.Remove();
        q.Remove();
        EXPECT_EQ(q.Size(), 0);
        addOne(q);
        EXPECT_EQ(q.Max(), 1);
        EXPECT_EQ(q.Remove().nNo, 1);
    }
    {
        Queue q; // drained without a Size read: numbering goes on
        addOne(q);
        addOne(q);
        q.Remove();
        q.Remove();
        addOne(q);
        EXPECT_EQ(q.Max(), 3);
        EXPECT_EQ(q.Remove().nNo, 3);
    }
}

TEST(Queue, RemoveAllEndsTheRun)
{
    Queue q;
    for (int i = 0; i < 5; ++i)
        addOne(q);
    q.RemoveAll();
    EXPECT_EQ(q.Size(), 0);
    EXPECT_EQ(q.Max(), 0);
    addOne(q);
    EXPECT_EQ(q.Remove().nNo, 1);
}

TEST(Queue, PeeksAreEmptyAndOddImportanceBecomesZero)
{
    Queue q;
    EXPECT_FALSE(q.PeekFirst().isValid());
    addOne(q, QStringLiteral("a"), QStringLiteral("high"));
    addOne(q, QStringLiteral("b"), 2);
    addOne(q, QStringLiteral("c"), 1e9);
    EXPECT_FALSE(q.PeekFirst().isValid());
    EXPECT_FALSE(q.PeekLast().isValid());
    EXPECT_EQ(q.Remove().nImportance, 0);
    EXPECT_EQ(q.Remove().nImportance, 2);
    EXPECT_EQ(q.Remove().nImportance, 0);
}

TEST(Queue, SerialBeyond16BitsGivesZeroNumber)
{
    Queue q;
    // Keep the run alive across 32768 adds by never letting Size see it empty.
    for (int i = 0; i < 32766; ++i) {
        addOne(q);
        q.Remove();
    }
    // The last number that fits is still given, the next is not.
    addOne(q);
    EXPECT_EQ(q.Remove().nNo, 32767);
    addOne(q);
    EXPECT_EQ(q.Remove().nNo, 0);
}

namespace {

void addTo(Queue &q, const QString &subject, const QString &folder, int importance = 1)
{
    q.Add(QStringLiteral("from"), subject, QStringLiteral("E-") + subject, QStringLiteral("S1"), folder, importance);
}

} // namespace

// What a full queue cannot hold is summed up in its last element, never forgotten: the
// popup shows 1000 messages, then "and N more messages" as 1001 of 1001.
TEST(QueueOverflow, MessagesBeyondCapacityAreSummedUpInTheLastElement)
{
    Queue q;
    QSignalSpy full(&q, &Queue::QueueFull);
    for (int i = 1; i <= 10000; ++i)
        addTo(q, QString::number(i), QStringLiteral("Inbox"), i == 5000 ? 2 : 1);
    EXPECT_EQ(full.count(), 10000 - 1001);
    EXPECT_EQ(q.Size(), 1001);
    EXPECT_EQ(q.Max(), 1001);
    for (int i = 1; i <= 1000; ++i) {
        const QUEUE_ENTRY e = q.Remove();
        ASSERT_EQ(e.strSubject, QString::number(i));
        ASSERT_EQ(e.nNo, i);
    }
    const QUEUE_ENTRY summary = q.Remove();
    EXPECT_EQ(summary.strSubject, QStringLiteral("and 9000 more messages"));
    EXPECT_EQ(summary.strFolder, QStringLiteral("Inbox"));
    EXPECT_EQ(summary.nNo, 1001);
    EXPECT_EQ(summary.nImportance, 2); // one of them was important
    // It names no message, so the popup's open and delete act on nothing.
    EXPECT_TRUE(summary.strEntryID.isEmpty());
    EXPECT_TRUE(summary.strStoreID.isEmpty());
    EXPECT_TRUE(summary.strFrom.isEmpty());
    EXPECT_EQ(q.Size(), 0);
}

TEST(QueueOverflow, TheSummaryCountsOnUntilShownAndTheRunGoesOnAfterIt)
{
    Queue q;
    for (int i = 1; i <= 1002; ++i)
        addTo(q, QString::number(i), QStringLiteral("Inbox"));
    q.Remove();
    // Room again, but a record behind the summary would be shown before older mail.
    addTo(q, QStringLiteral("late"), QStringLiteral("Lists"));
    EXPECT_EQ(q.Size(), 1000);
    EXPECT_EQ(q.Max(), 1001);
    for (int i = 2; i <= 1000; ++i)
        q.Remove();
    const QUEUE_ENTRY summary = q.Remove();
    EXPECT_EQ(summary.strSubject, QStringLiteral("and 3 more messages"));
    EXPECT_EQ(summary.strFolder, QStringLiteral("several folders"));
    EXPECT_EQ(summary.nImportance, 1);
    // Once shown, new mail queues as itself and the run's numbering goes on.
    addTo(q, QStringLiteral("after"), QStringLiteral("Inbox"));
    EXPECT_EQ(q.Max(), 1002);
    const QUEUE_ENTRY after = q.Remove();
    EXPECT_EQ(after.strSubject, QStringLiteral("after"));
    EXPECT_EQ(after.nNo, 1002);
}

TEST(QueueOverflow, RemoveAllDiscardsTheSummaryToo)
{
    Queue q;
    for (int i = 1; i <= 1005; ++i)
        addTo(q, QString::number(i), QStringLiteral("Inbox"));
    q.RemoveAll();
    EXPECT_FALSE(q.IsFull());
    addTo(q, QStringLiteral("fresh"), QStringLiteral("Inbox"));
    const QUEUE_ENTRY e = q.Remove();
    EXPECT_EQ(e.strSubject, QStringLiteral("fresh"));
    EXPECT_EQ(e.nNo, 1);
}

TEST(QueueOverflow, AddressesReachEveryMessageTheSummaryStandsFor)
{
    Queue q;
    for (int i = 1; i <= 1003; ++i)
        q.Add(QString(), QString(), QStringLiteral("E%1").arg(i), QStringLiteral("S%1").arg(i % 2),
              QStringLiteral("Inbox"), 1);
    q.Add(QString(), QStringLiteral("no id"), QString(), QString(), QStringLiteral("Inbox"), 1);
    q.Remove(); // shown: no longer the queue's
    const QList<QPair<QString, QString>> all = q.addresses();
    ASSERT_EQ(all.size(), 1002);
    EXPECT_EQ(all.first(), qMakePair(QStringLiteral("E2"), QStringLiteral("S0")));
    EXPECT_EQ(all.last(), qMakePair(QStringLiteral("E1003"), QStringLiteral("S1")));
    EXPECT_EQ(q.unaddressed(), 0);
    q.RemoveAll();
    EXPECT_TRUE(q.addresses().isEmpty());
}

// An endless stream keeps a bounded number of addresses and says how many it could not keep.
TEST(QueueOverflow, TheSummaryKeepsABoundedNumberOfAddressesAndCountsTheRest)
{
    Queue q;
    const int total = Queue::Capacity + Queue::MaxSummedAddresses + 500;
    for (int i = 1; i <= total; ++i)
        q.Add(QString(), QString(), QStringLiteral("E%1").arg(i), QStringLiteral("S"), QStringLiteral("Inbox"), 1);
    EXPECT_EQ(q.addresses().size(), Queue::Capacity + Queue::MaxSummedAddresses);
    EXPECT_EQ(q.unaddressed(), 500);
    EXPECT_EQ(q.addresses().size() + q.unaddressed(), total);
}
