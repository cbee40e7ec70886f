#pragma once

#include "platform/core/FileStamp.h"
#include "platform/core/PlatformExport.h"
#include "platform/core/RegFile.h"
#include "platform/core/Registry.h"

#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLockFile;

namespace lumora {

// The file-backed registry: one .reg file per root under $XDG_CONFIG_HOME/lumora/registry.
// Key paths are relative to the root, backslash-separated, compared without regard to case
// (the case first written is kept). Every call sees the file as it is on disk now: a file
// changed by another process is re-read, and a change is written under a lock file after
// re-reading, so two processes writing at once both keep their change.
class LUMORA_PLATFORM_EXPORT RegistryStore
{
public:
    enum class Root {
        CurrentUser,
        LocalMachine
    };

    static RegistryStore &instance();

    // Where a root is kept; follows the environment of the moment.
    static QString filePath(Root root);

    bool keyExists(Root root, const QString &path);
    // Creates the key and any missing parents.
    reg::LONG createKey(Root root, const QString &path);
    std::optional<RegFile::Value> value(Root root, const QString &path, const QString &name);
    // Replaces or adds a value; the key must exist unless createKey is set.
    reg::LONG setValue(Root root, const QString &path, const RegFile::Value &value, bool createKey);
    reg::LONG deleteValue(Root root, const QString &path, const QString &name);
    // Deletes the key and everything below it.
    reg::LONG deleteKey(Root root, const QString &path);
    // Names of the direct sub-keys, in alphabetical order.
    QStringList subKeys(Root root, const QString &path);

    // Until the matching endBatch, changes to root are made in memory, under the file's
    // lock held throughout, and saved once at the end: one logical write of several values
    // costs one atomic save. Batches nest; reads see the changes made so far.
    void beginBatch(Root root);
    // Saves what the outermost batch changed: the status of that save (ERROR_ACCESS_DENIED
    // when the lock could not be taken or the file could not be written).
    reg::LONG endBatch(Root root);

    // Why the latest change that failed to reach its file failed (which file or folder, and
    // the reason), for the caller to show; empty while none has.
    QString lastError();

    // A batch on one root for the lifetime of the object; commit() ends it early and tells
    // whether the save succeeded.
    class LUMORA_PLATFORM_EXPORT Batch
    {
    public:
        explicit Batch(Root root);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        bool commit();

    private:
        Root m_root;
        bool m_open = true;
        bool m_saved = false;
    };

private:
    struct Key
    {
        QString path;
        QList<RegFile::Value> values;
    };

    using Stamp = FileStamp;

    struct RootData
    {
        QString file;
        bool loaded = false;
        bool unreadable = false; // present but not readable: never overwrite it
        Stamp stamp;
        QMap<QString, Key> keys; // by case-folded path; parents always present
        int batchDepth = 0;
        std::unique_ptr<QLockFile> batchLock; // held while a batch is open
        bool batchChanged = false; // changes made in the batch, not saved yet
        bool batchFailed = false;
    };

    using Change = std::function<reg::LONG(RootData &, bool &changed)>;

    RegistryStore();
    ~RegistryStore();
    RootData &current(Root root);
    reg::LONG modify(Root root, const Change &change);
    reg::LONG save(Root root, RootData &data);
    void lockBatch(Root root, RootData &data);
    void load(Root root, RootData &data);
    static void addKey(RootData &data, const QStringList &parts);
    static void keepCorruptCopy(const QString &file, const QByteArray &bytes, int errors);
    // Takes the lock of file; false with m_lastError set when it cannot be had.
    bool lock(QLockFile &lock, const QString &file);
    reg::LONG fail(const QString &why);

    QMutex m_mutex;
    QString m_lastError;
    RootData m_roots[2];
};

} // namespace lumora
