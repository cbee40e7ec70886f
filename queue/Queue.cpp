#include "queue/Queue.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace lumora {

namespace {

QString toText(const QVariant &v)
{
    return v.canConvert<QString>() ? v.toString() : QString();
}

qint16 toShort(const QVariant &v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || d < std::numeric_limits<qint16>::min() - 0.5 || d >= std::numeric_limits<qint16>::max() + 0.5)
        return 0;
    // Banker's rounding, as numeric conversions do everywhere else in the add-in.
    return static_cast<qint16>(std::nearbyint(d));
}

} // namespace

Queue::Queue(QObject *parent)
    : QObject(parent)
{
}

Queue::~Queue()
{
    RemoveAll();
}

qint32 Queue::Size()
{
    if (m_count == 0) {
        m_serial = 0;
        m_max = 0;
    }
    return m_count;
}

void Queue::RemoveAll()
{
    // Unlink iteratively: a recursive unique_ptr chain of 1001 elements is fine, but
    // there is no reason to lean on the stack for it.
    while (m_head)
        m_head = std::move(m_head->NextElement);
    m_tail = nullptr;
    m_count = 0;
    m_serial = 0;
    m_max = 0;
}

QUEUE_ENTRY Queue::Remove()
{
    QUEUE_ENTRY entry;
    if (!m_head) {
        m_serial = 0;
        m_max = 0;
        Q_EMIT QueueEmpty();
        return entry;
    }
    --m_count;
    entry.strMessage = toText(m_head->Value);
    if (m_head->Summed > 0) {
        // Names no single message, so opening or deleting it acts on nothing.
        entry.strSubject = tr("and %n more messages", nullptr, int(qMin<qint64>(m_head->Summed, INT_MAX)));
        entry.strFolder = m_head->SeveralFolders ? tr("several folders") : m_head->Folder;
    } else {
        entry.strFrom = m_head->From;
        entry.strSubject = m_head->Subject;
        entry.strEntryID = m_head->EntryID;
        entry.strStoreID = m_head->StoreID;
        entry.strFolder = m_head->Folder;
    }
    entry.nImportance = m_head->Importance;
    entry.nNo = m_head->No;
    m_head = std::move(m_head->NextElement);
    if (!m_head)
        m_tail = nullptr;
    return entry;
}

void Queue::Add(const QVariant &From, const QVariant &Subject, const QVariant &eid, const QVariant &sid,
                const QVariant &fld, const QVariant &Importance)
{
    if (m_count > Capacity - 1)
        Q_EMIT QueueFull();
    if (IsFull()) {
        sumUp(m_tail, toText(fld), toShort(Importance), toText(eid), toText(sid));
        return;
    }
    auto element = std::make_unique<Element>();
    element->From = toText(From);
    element->Subject = toText(Subject);
    element->EntryID = toText(eid);
    element->StoreID = toText(sid);
    element->Folder = toText(fld);
    element->Importance = toShort(Importance);
    ++m_serial;
    element->No = m_serial > std::numeric_limits<qint16>::max() ? 0 : static_cast<qint16>(m_serial);

    Element *raw = element.get();
    if (!m_tail)
        m_head = std::move(element);
    else
        m_tail->NextElement = std::move(element);
    m_tail = raw;
    ++m_count;
    ++m_max;
}

bool Queue::IsFull() const
{
    // A summary at the tail keeps counting until it is shown: a record queued behind it
    // would be announced before messages that came earlier.
    return m_count >= Capacity || (m_tail && m_tail->Summed > 0);
}

void Queue::sumUp(Element *tail, const QString &folder, qint16 importance, const QString &entryId,
                  const QString &storeId)
{
    if (!entryId.isEmpty()) {
        if (tail->SummedIds.size() < MaxSummedAddresses)
            tail->SummedIds.append({entryId, storeId});
        else if (tail->UnkeptIds < std::numeric_limits<qint32>::max())
            ++tail->UnkeptIds;
    }
    if (tail->Summed == 0)
        tail->Summed = 1; // the record it held is now one of those summed up
    if (tail->Summed < std::numeric_limits<qint32>::max())
        ++tail->Summed;
    if (folder != tail->Folder)
        tail->SeveralFolders = true;
    // The summary shows in the high-importance colour when any of its messages would.
    tail->Importance = std::max(tail->Importance, importance);
}

QList<QPair<QString, QString>> Queue::addresses() const
{
    QList<QPair<QString, QString>> out;
    for (const Element *e = m_head.get(); e; e = e->NextElement.get()) {
        if (!e->EntryID.isEmpty())
            out.append({e->EntryID, e->StoreID});
        out += e->SummedIds;
    }
    return out;
}

qint32 Queue::unaddressed() const
{
    return m_tail ? m_tail->UnkeptIds : 0;
}

QVariant Queue::PeekFirst() const
{
    return m_head ? m_head->Value : QVariant();
}

QVariant Queue::PeekLast() const
{
    return m_tail ? m_tail->Value : QVariant();
}

} // namespace lumora
