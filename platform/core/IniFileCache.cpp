#include "platform/core/IniFileCache.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutexLocker>

namespace lumora {

namespace {

// A settings file this large is not ours; refusing it keeps a stray file from exhausting
// memory, and a refused file is never overwritten.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

// Says once per file and reason why a file is not read: every look-up of a setting tries
// again, and the user needs to hear it once, not thousands of times.
void tellRefused(const QString &path, const QString &why)
{
    static QMutex mutex;
    static QHash<QString, QString> told;
    QMutexLocker locker(&mutex);
    if (told.value(path) == why)
        return;
    told.insert(path, why);
    Verbose::warning(QCoreApplication::translate("IniFileCache",
                                                 "the settings in %1 are not used, and the file is left as it is: %2")
                         .arg(path, why));
}

} // namespace

IniFileCache &IniFileCache::instance()
{
    static IniFileCache cache;
    return cache;
}

// Resolving links makes two spellings of one file share a copy, and makes saving replace
// the link's target rather than the link itself.
QString IniFileCache::resolve(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (dir.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return dir + QLatin1Char('/') + info.fileName();
}

// Reads until the file holds still across the read, so the stamp kept belongs to the
// content kept. False when an existing file cannot be read.
bool IniFileCache::load(const QString &path, Entry *entry)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const Stamp before = FileStamp::of(path);
        if (!before.exists) {
            *entry = Entry{before, IniDocument()};
            return true;
        }
        // A named pipe or device in its place would make the read wait forever or never end.
        RegularFile file;
        QByteArray data;
        if (!file.openForReading(path) || !file.readAll(kMaxFileSize, &data)) {
            tellRefused(path, file.errorString());
            return false;
        }
        file.close();
        const Stamp after = FileStamp::of(path);
        entry->stamp = after;
        entry->doc = IniDocument::parse(data);
        if (before == after)
            return true;
    }
    // Still changing under us: the last read is complete in itself (writers replace the
    // file whole), only its stamp may be newer, which costs one more read later.
    entry->stamp = Stamp();
    return true;
}

IniDocument IniFileCache::document(const QString &path)
{
    const QString resolved = resolve(path);
    if (resolved.isEmpty())
        return IniDocument();
    QMutexLocker locker(&m_mutex);
    const auto batch = m_batches.constFind(resolved);
    if (batch != m_batches.cend() && batch->lock)
        return batch->entry.doc;
    const auto it = m_entries.constFind(resolved);
    if (it != m_entries.cend() && it->stamp.exists && it->stamp == FileStamp::of(resolved))
        return it->doc;
    Entry entry;
    if (!load(resolved, &entry)) {
        m_entries.remove(resolved);
        return IniDocument();
    }
    m_entries.insert(resolved, entry);
    return entry.doc;
}

bool IniFileCache::modify(const QString &path, const std::function<bool(IniDocument &)> &edit)
{
    const QString resolved = resolve(path);
    if (resolved.isEmpty())
        return false;
    QMutexLocker locker(&m_mutex);
    const auto batch = m_batches.find(resolved);
    if (batch != m_batches.end() && !batch->lock && !batch->failed)
        lockBatch(resolved, *batch);
    if (batch != m_batches.end() && batch->lock) {
        // The batch holds the lock; the edit is saved when the batch ends.
        batch->changed = edit(batch->entry.doc) || batch->changed;
        return true;
    }
    QLockFile lock(resolved + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        return false;

    // Always from disk: a stamp can repeat when inodes are reused within one clock tick,
    // and a lost update is worse than one extra read of a small file.
    Entry entry;
    if (!load(resolved, &entry))
        return false;
    if (!edit(entry.doc)) {
        m_entries.insert(resolved, entry);
        return true;
    }
    return save(resolved, entry);
}

bool IniFileCache::save(const QString &resolved, Entry &entry)
{
    const AtomicFile::Result saved = AtomicFile::write(resolved, entry.doc.serialize());
    if (!saved) {
        qWarning("lumora: cannot write %s: %s", qPrintable(resolved), qPrintable(saved.error));
        m_entries.remove(resolved);
        return false;
    }
    // Another process may replace the file right after our rename; an empty stamp makes
    // the next read look at the disk instead of trusting a stamp taken too late.
    entry.stamp = Stamp();
    m_entries.insert(resolved, entry);
    return true;
}

void IniFileCache::beginBatch(const QString &path)
{
    const QString resolved = resolve(path);
    if (resolved.isEmpty())
        return;
    QMutexLocker locker(&m_mutex);
    // The lock is taken by the first edit: a batch that edits nothing costs nothing.
    ++m_batches[resolved].depth;
}

void IniFileCache::lockBatch(const QString &resolved, OpenBatch &batch)
{
    auto lock = std::make_shared<QLockFile>(resolved + QStringLiteral(".lock"));
    // Without the lock (or a readable file) each edit goes its own way, as outside a batch.
    if (lock->tryLock(kLockTimeoutMs) && load(resolved, &batch.entry))
        batch.lock = std::move(lock);
    else
        batch.failed = true;
}

bool IniFileCache::endBatch(const QString &path)
{
    const QString resolved = resolve(path);
    QMutexLocker locker(&m_mutex);
    const auto it = m_batches.find(resolved);
    if (it == m_batches.end())
        return false;
    if (--it->depth > 0)
        return true;
    OpenBatch batch = std::move(*it);
    m_batches.erase(it);
    if (!batch.lock)
        return !batch.failed;
    if (!batch.changed) {
        m_entries.insert(resolved, batch.entry);
        return true;
    }
    return save(resolved, batch.entry);
}

IniFileCache::Batch::Batch(const QString &path)
    : m_path(path)
{
    IniFileCache::instance().beginBatch(path);
}

IniFileCache::Batch::~Batch()
{
    commit();
}

bool IniFileCache::Batch::commit()
{
    if (m_open) {
        m_open = false;
        m_saved = IniFileCache::instance().endBatch(m_path);
    }
    return m_saved;
}

bool IniFileCache::flush(const QString &path)
{
    return !resolve(path).isEmpty();
}

void IniFileCache::clear()
{
    QMutexLocker locker(&m_mutex);
    m_entries.clear();
}

} // namespace lumora
