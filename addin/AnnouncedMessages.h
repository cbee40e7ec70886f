#pragma once

#include <QSet>
#include <QString>

#include <deque>

namespace lumora {

// The messages already shown, by a key that names the message rather than its file (see
// host::Item::MessageKey), so that one message is announced once: after a synchroniser
// rewrites its file, after a move to another watched folder, after a restart. Kept as
// 64-bit hashes, oldest first, at most `capacity` of them, in a small text file written
// whole and atomically.
class AnnouncedMessages
{
public:
    static constexpr int DefaultCapacity = 10000;

    explicit AnnouncedMessages(const QString &path, int capacity = DefaultCapacity);

    // Reads the file; a missing file is an empty memory. Lines that are no hash are skipped.
    // False (with *error) when the file is there but cannot be read.
    bool load(QString *error = nullptr);
    bool contains(const QString &key) const;
    // Remembers key; the oldest key is forgotten once capacity is reached.
    void add(const QString &key);
    // Writes the file when something was added since the last save; false (with *error,
    // and the change kept for the next save) when it could not be written.
    bool save(QString *error = nullptr);

    int size() const { return int(m_order.size()); }
    QString path() const { return m_path; }

private:
    static quint64 hashOf(const QString &key);

    QString m_path;
    int m_capacity;
    std::deque<quint64> m_order;
    QSet<quint64> m_known;
    bool m_dirty = false;
};

} // namespace lumora
