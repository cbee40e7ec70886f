#pragma once

#include "queue/Element.h"
#include "queue/QueueEntry.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace lumora {

// First-in, first-out queue of new-mail records with the run numbering behind the
// popup's "n of m" caption. A run starts when the queue is found empty and ends when
// Size is read on an empty queue (or Remove/RemoveAll meet it empty).
class Queue : public QObject
{
    Q_OBJECT
public:
    static constexpr qint32 Capacity = 1001;
    // The summary keeps the addresses of this many of the messages it stands for: a stream of
    // tens of thousands must not grow the notifier without end.
    static constexpr qint32 MaxSummedAddresses = 1000;

    explicit Queue(QObject *parent = nullptr);
    ~Queue() override;

    // Elements held. Reading it on an empty queue ends the run (numbering restarts at 1).
    qint32 Size();
    // How many elements were added in the current run.
    qint32 Max() const { return m_max; }
    void RemoveAll();
    // The oldest record; an empty record (and QueueEmpty) when nothing is held.
    QUEUE_ENTRY Remove();
    // The oldest record keep() accepts, the ones before it dropped; nullopt (with the queue
    // left empty) when keep() accepts none.
    std::optional<QUEUE_ENTRY> RemoveUntil(const std::function<bool(const QUEUE_ENTRY &)> &keep);
    // Queues one record. Values that do not convert leave their field empty or 0. On a
    // full queue (QueueFull) the last element becomes a summary, "and N more messages",
    // that counts this and every later record until it is removed, so none is forgotten.
    void Add(const QVariant &From, const QVariant &Subject, const QVariant &eid, const QVariant &sid,
             const QVariant &fld, const QVariant &Importance);
    QVariant PeekFirst() const;
    QVariant PeekLast() const;
    // True when the next Add is summed up rather than queued as itself; its text is not
    // shown then, so callers may leave it unread.
    bool IsFull() const;
    // Every message the queue holds, summed up ones included, oldest first: (entry id, store
    // id). Records that name no message are left out.
    QList<QPair<QString, QString>> addresses() const;
    // How many messages the summary stands for beyond the addresses it keeps.
    qint32 unaddressed() const;
    // How many messages the summary at the tail stands for; 0 when there is none.
    qint32 SummedUp() const { return m_tail ? m_tail->Summed : 0; }

Q_SIGNALS:
    void QueueFull();
    void QueueEmpty();

private:
    static void sumUp(Element *tail, const QString &folder, qint16 importance, const QString &entryId,
                      const QString &storeId);

    qint32 m_count = 0;
    qint32 m_serial = 0;
    qint32 m_max = 0;
    Element *m_tail = nullptr;
    std::unique_ptr<Element> m_head;
};

} // namespace lumora
