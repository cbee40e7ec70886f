#pragma once

#include "platform/core/FileStamp.h"
#include "platform/core/IniDocument.h"
#include "platform/core/PlatformExport.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <functional>
#include <memory>

class QLockFile;

namespace lumora {

// The process's parsed copies of INI files, one per file (keyed by its resolved path).
// Reads are served from the copy until the file on disk changes (size, times or inode),
// so another process's write is seen at the next read. Writes go through to disk at once:
// under a lock file beside the INI file the current file is read again, the edit applied
// and the result saved atomically, so two writers never lose each other's changes.
class LUMORA_PLATFORM_EXPORT IniFileCache
{
public:
    static IniFileCache &instance();

    // The file's current content; empty when it is missing or unreadable.
    IniDocument document(const QString &path);

    // Applies edit to the file's current content and saves the result when edit reports a
    // change. A missing file counts as empty and is created only by a change. False when
    // the lock could not be taken or the file could not be written.
    bool modify(const QString &path, const std::function<bool(IniDocument &)> &edit);

    // Nothing is held back from disk, so this only checks that the path names a file we
    // could write; kept so callers can ask for a flush as on other platforms.
    bool flush(const QString &path);

    // Drops every cached copy.
    void clear();

    // Until the matching endBatch, edits of the file are applied in memory, under its lock
    // held throughout, and saved once at the end, so one logical write of several values
    // costs one atomic save. Batches nest; reads see the edits made so far.
    void beginBatch(const QString &path);
    // Saves what the outermost batch changed; false when the lock could not be taken or
    // the file could not be written.
    bool endBatch(const QString &path);

    // A batch on one file for the lifetime of the object; commit() ends it early.
    class LUMORA_PLATFORM_EXPORT Batch
    {
    public:
        explicit Batch(const QString &path);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        bool commit();

    private:
        QString m_path;
        bool m_open = true;
        bool m_saved = false;
    };

    // How long a writer waits for another one holding the lock.
    static constexpr int kLockTimeoutMs = 10000;

private:
    using Stamp = FileStamp;
    struct Entry
    {
        Stamp stamp;
        IniDocument doc;
    };

    struct OpenBatch
    {
        int depth = 0;
        std::shared_ptr<QLockFile> lock; // null when it could not be taken
        Entry entry;
        bool changed = false;
        bool failed = false;
    };

    static QString resolve(const QString &path);
    static bool load(const QString &path, Entry *entry);
    bool save(const QString &resolved, Entry &entry);
    void lockBatch(const QString &resolved, OpenBatch &batch);

    QMutex m_mutex;
    QHash<QString, Entry> m_entries;
    QHash<QString, OpenBatch> m_batches; // by resolved path
};

} // namespace lumora
