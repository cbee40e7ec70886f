#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace lumora {

// The message file names of one folder, kept compactly: every name lives in one byte
// buffer, an entry is 8 bytes and the lookup table holds 4-byte entry numbers, so a
// message costs its name plus about 16 bytes. Entries are found by their unique name,
// the first uniqueLength bytes of the file name. A time (8 bytes) is kept only for the
// entries that ask for one.
class MaildirNameTable
{
public:
    using Id = quint32;
    static constexpr Id None = 0xffffffffu;
    // Bits a caller may keep with an entry.
    static constexpr quint8 UserFlags = 0x7f;

    MaildirNameTable();
    ~MaildirNameTable();
    MaildirNameTable(const MaildirNameTable &) = delete;
    MaildirNameTable &operator=(const MaildirNameTable &) = delete;

    Id find(QByteArrayView uniqueName) const;
    // Adds an entry, or replaces the one with the same unique name (keeping its id).
    // fileName is at most 255 bytes and uniqueLength at most its size; timeNs is kept
    // when keepTime is set.
    Id put(QByteArrayView fileName, qsizetype uniqueLength, quint8 flags, bool keepTime, qint64 timeNs);
    void erase(Id id);
    void clear();

    // Whether id names a live entry (ids of erased entries may be handed out again).
    bool isLive(Id id) const { return id < m_entries.size() && m_entries[id].alive; }
    QByteArrayView fileName(Id id) const;
    QByteArrayView uniqueName(Id id) const;
    quint8 flags(Id id) const { return m_entries[id].flags & UserFlags; }
    void setFlags(Id id, quint8 flags);
    bool hasTime(Id id) const { return m_entries[id].timed; }
    // The kept time, or 0.
    qint64 timeNs(Id id) const;

    qsizetype size() const { return m_count; }
    // Bytes held for the names, entries and table, counting spare capacity.
    qsizetype memoryBytes() const;

    // Calls f(id) for every entry; f must not add or erase entries.
    template<typename F>
    void forEach(F f) const
    {
        for (Id id = 0; id < Id(m_entries.size()); ++id) {
            if (m_entries[id].alive)
                f(id);
        }
    }

private:
    struct Entry
    {
        quint32 offset = 0; // into m_names; the next free entry while not alive
        quint8 nameLength = 0;
        quint8 uniqueLength = 0;
        quint8 flags = 0;
        bool alive : 1 = false;
        bool timed : 1 = false;
    };

    static size_t hashOf(QByteArrayView uniqueName);
    const char *namesAt(quint32 offset) const { return m_names.get() + offset; }
    quint32 store(QByteArrayView fileName, bool keepTime, qint64 timeNs);
    void release(const Entry &entry);
    qsizetype slotOf(Id id) const;
    void insertSlot(Id id);
    void removeSlot(qsizetype slot);
    void growSlots();
    void reserveNames(qsizetype extra);
    void compactNames();

    std::unique_ptr<char[]> m_names;
    qsizetype m_namesUsed = 0;
    qsizetype m_namesCapacity = 0;
    qsizetype m_namesGarbage = 0;
    std::vector<Entry> m_entries;
    Id m_freeEntry = None;
    std::vector<Id> m_slots; // open addressing, linear probing; size is a power of two
    qsizetype m_count = 0;
};

} // namespace lumora
