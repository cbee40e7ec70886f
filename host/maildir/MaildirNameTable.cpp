#include "host/maildir/MaildirNameTable.h"

#include <QHashFunctions>

#include <cstring>

namespace lumora {

namespace {

constexpr qsizetype kFirstSlots = 16;
constexpr qsizetype kFirstNames = 1024;

} // namespace

MaildirNameTable::MaildirNameTable() = default;
MaildirNameTable::~MaildirNameTable() = default;

size_t MaildirNameTable::hashOf(QByteArrayView uniqueName)
{
    return qHashBits(uniqueName.data(), size_t(uniqueName.size()), 0);
}

QByteArrayView MaildirNameTable::fileName(Id id) const
{
    const Entry &e = m_entries[id];
    return QByteArrayView(namesAt(e.offset), e.nameLength);
}

QByteArrayView MaildirNameTable::uniqueName(Id id) const
{
    const Entry &e = m_entries[id];
    return QByteArrayView(namesAt(e.offset), e.uniqueLength);
}

qint64 MaildirNameTable::timeNs(Id id) const
{
    const Entry &e = m_entries[id];
    if (!e.timed)
        return 0;
    qint64 t;
    std::memcpy(&t, namesAt(e.offset) + e.nameLength, sizeof t);
    return t;
}

void MaildirNameTable::setFlags(Id id, quint8 flags)
{
    m_entries[id].flags = flags & UserFlags;
}

qsizetype MaildirNameTable::memoryBytes() const
{
    return m_namesCapacity + qsizetype(m_entries.capacity() * sizeof(Entry))
        + qsizetype(m_slots.capacity() * sizeof(Id));
}

MaildirNameTable::Id MaildirNameTable::find(QByteArrayView uniqueName) const
{
    if (m_slots.empty())
        return None;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hashOf(uniqueName) & mask;; i = (i + 1) & mask) {
        const Id id = m_slots[i];
        if (id == None)
            return None;
        const Entry &e = m_entries[id];
        if (e.uniqueLength == uniqueName.size()
            && std::memcmp(namesAt(e.offset), uniqueName.data(), size_t(uniqueName.size())) == 0)
            return id;
    }
}

qsizetype MaildirNameTable::slotOf(Id id) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hashOf(uniqueName(id)) & mask;; i = (i + 1) & mask) {
        if (m_slots[i] == id)
            return qsizetype(i);
    }
}

void MaildirNameTable::insertSlot(Id id)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = hashOf(uniqueName(id)) & mask;
    while (m_slots[i] != None)
        i = (i + 1) & mask;
    m_slots[i] = id;
}

void MaildirNameTable::removeSlot(qsizetype slot)
{
    // Backward-shift deletion keeps every probe chain unbroken without tombstones.
    const size_t mask = m_slots.size() - 1;
    size_t hole = size_t(slot);
    m_slots[hole] = None;
    for (size_t j = (hole + 1) & mask; m_slots[j] != None; j = (j + 1) & mask) {
        const size_t home = hashOf(uniqueName(m_slots[j])) & mask;
        // The entry at j may fill the hole when its home is not within (hole, j] cyclically.
        const bool homeBetween = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
        if (!homeBetween) {
            m_slots[hole] = m_slots[j];
            m_slots[j] = None;
            hole = j;
        }
    }
}

void MaildirNameTable::growSlots()
{
    const qsizetype size = m_slots.empty() ? kFirstSlots : qsizetype(m_slots.size()) * 2;
    m_slots.assign(size_t(size), None);
    m_slots.shrink_to_fit();
    forEach([this](Id id) { insertSlot(id); });
}

void MaildirNameTable::reserveNames(qsizetype extra)
{
    if (m_namesUsed + extra <= m_namesCapacity)
        return;
    if (m_namesGarbage > m_namesUsed / 2) {
        compactNames();
        if (m_namesUsed + extra <= m_namesCapacity)
            return;
    }
    // Growing by half keeps copies amortised while leaving little unused; pages never
    // written are not resident anyway.
    const qsizetype capacity = qMax(kFirstNames, (m_namesUsed + extra) * 3 / 2);
    auto names = std::make_unique_for_overwrite<char[]>(size_t(capacity));
    if (m_namesUsed > 0)
        std::memcpy(names.get(), m_names.get(), size_t(m_namesUsed));
    m_names = std::move(names);
    m_namesCapacity = capacity;
}

void MaildirNameTable::compactNames()
{
    const qsizetype live = m_namesUsed - m_namesGarbage;
    const qsizetype capacity = qMax(kFirstNames, live * 3 / 2);
    auto names = std::make_unique_for_overwrite<char[]>(size_t(capacity));
    qsizetype used = 0;
    for (Entry &e : m_entries) {
        if (!e.alive)
            continue;
        const qsizetype length = e.nameLength + (e.timed ? qsizetype(sizeof(qint64)) : 0);
        std::memcpy(names.get() + used, namesAt(e.offset), size_t(length));
        e.offset = quint32(used);
        used += length;
    }
    m_names = std::move(names);
    m_namesCapacity = capacity;
    m_namesUsed = used;
    m_namesGarbage = 0;
}

quint32 MaildirNameTable::store(QByteArrayView fileName, bool keepTime, qint64 timeNs)
{
    const qsizetype length = fileName.size() + (keepTime ? qsizetype(sizeof timeNs) : 0);
    reserveNames(length);
    char *at = m_names.get() + m_namesUsed;
    std::memcpy(at, fileName.data(), size_t(fileName.size()));
    if (keepTime)
        std::memcpy(at + fileName.size(), &timeNs, sizeof timeNs);
    const quint32 offset = quint32(m_namesUsed);
    m_namesUsed += length;
    return offset;
}

void MaildirNameTable::release(const Entry &entry)
{
    m_namesGarbage += entry.nameLength + (entry.timed ? qsizetype(sizeof(qint64)) : 0);
}

MaildirNameTable::Id MaildirNameTable::put(QByteArrayView fileName, qsizetype uniqueLength, quint8 flags, bool keepTime,
                                           qint64 timeNs)
{
    Q_ASSERT(fileName.size() <= 255 && uniqueLength <= fileName.size());
    Id id = find(fileName.first(uniqueLength));
    if (id != None) {
        Entry &e = m_entries[id];
        // Same name and time layout: update in place, nothing to copy.
        if (e.nameLength == fileName.size() && e.timed == keepTime
            && std::memcmp(namesAt(e.offset), fileName.data(), size_t(fileName.size())) == 0) {
            e.flags = flags & UserFlags;
            if (keepTime)
                std::memcpy(m_names.get() + e.offset + e.nameLength, &timeNs, sizeof timeNs);
            return id;
        }
        release(e);
        // Out of the table while storing, so a compaction leaves the old name behind.
        e.alive = false;
        const quint32 offset = store(fileName, keepTime, timeNs);
        Entry &moved = m_entries[id];
        moved.alive = true;
        moved.offset = offset;
        moved.nameLength = quint8(fileName.size());
        moved.uniqueLength = quint8(uniqueLength);
        moved.flags = flags & UserFlags;
        moved.timed = keepTime;
        return id;
    }

    if (qsizetype(m_slots.size()) * 3 <= (m_count + 1) * 4)
        growSlots();
    const quint32 offset = store(fileName, keepTime, timeNs);
    if (m_freeEntry != None) {
        id = m_freeEntry;
        m_freeEntry = m_entries[id].offset;
    } else {
        id = Id(m_entries.size());
        m_entries.emplace_back();
    }
    Entry &e = m_entries[id];
    e.offset = offset;
    e.nameLength = quint8(fileName.size());
    e.uniqueLength = quint8(uniqueLength);
    e.flags = flags & UserFlags;
    e.alive = true;
    e.timed = keepTime;
    insertSlot(id);
    ++m_count;
    return id;
}

void MaildirNameTable::erase(Id id)
{
    Entry &e = m_entries[id];
    if (!e.alive)
        return;
    removeSlot(slotOf(id));
    release(e);
    e = Entry{};
    e.offset = m_freeEntry;
    m_freeEntry = id;
    --m_count;
    if (m_count == 0)
        clear();
}

void MaildirNameTable::clear()
{
    m_names.reset();
    m_namesUsed = m_namesCapacity = m_namesGarbage = 0;
    // Assigning {} would keep the capacity; swapping with empty vectors frees it.
    std::vector<Entry>().swap(m_entries);
    m_freeEntry = None;
    std::vector<Id>().swap(m_slots);
    m_count = 0;
}

} // namespace lumora
