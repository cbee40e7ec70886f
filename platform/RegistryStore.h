#pragma once

#include "platform/FileStamp.h"
#include "platform/PlatformExport.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"

#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

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
    };

    using Change = std::function<reg::LONG(RootData &, bool &changed)>;

    RegistryStore() = default;
    RootData &current(Root root);
    reg::LONG modify(Root root, const Change &change);
    void load(Root root, RootData &data);
    static void addKey(RootData &data, const QStringList &parts);
    static void keepCorruptCopy(const QString &file, const QByteArray &bytes, int errors);

    QMutex m_mutex;
    RootData m_roots[2];
};

} // namespace lumora
