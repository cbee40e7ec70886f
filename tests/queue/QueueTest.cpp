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
