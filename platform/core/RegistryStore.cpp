#include "platform/core/RegistryStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Clock.h"
#include "platform/core/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutexLocker>

namespace lumora {

namespace {

constexpr int kLockWaitMs = 10000;
constexpr qsizetype kMaxKeyNameLength = 255;
// Settings take a few kilobytes; a file far larger is not ours.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

QString rootName(RegistryStore::Root root)
{
    return root == RegistryStore::Root::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                                    : QStringLiteral("HKEY_LOCAL_MACHINE");
}

// Where a section of a file belongs below the file's root; false for another root.
bool sectionParts(RegistryStore::Root root, const QString &path, QStringList *parts)
{
    *parts = RegFile::splitPath(path);
    const QString first = parts->isEmpty() ? QString() : parts->takeFirst().toUpper();
    if (root == RegistryStore::Root::CurrentUser) {
        if (first == QLatin1String("HKEY_CURRENT_USER") || first == QLatin1String("HKCU"))
            return true;
        if (first == QLatin1String("HKEY_CLASSES_ROOT") || first == QLatin1String("HKCR")) {
            parts->prepend(QStringLiteral("Classes"));
            parts->prepend(QStringLiteral("Software"));
            return true;
        }
        return false;
    }
    return first == QLatin1String("HKEY_LOCAL_MACHINE") || first == QLatin1String("HKLM");
}

QString normalised(const QString &path)
{
    return RegFile::splitPath(path).join(u'\\');
}

bool validKeyPath(const QString &path)
{
    for (const QString &part : RegFile::splitPath(path)) {
        if (part.size() > kMaxKeyNameLength || part.contains(u'\n') || part.contains(u'\r'))
            return false;
    }
    return true;
}

qsizetype findValue(const QList<RegFile::Value> &values, const QString &name)
{
    const QString folded = name.toCaseFolded();
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values.at(i).name.toCaseFolded() == folded)
            return i;
    }
    return -1;
}

} // namespace

RegistryStore::RegistryStore() = default;
RegistryStore::~RegistryStore() = default;

RegistryStore &RegistryStore::instance()
{
    static RegistryStore store;
    return store;
}

QString RegistryStore::filePath(Root root)
{
    QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/lumora/registry/")
        + (root == Root::CurrentUser ? QStringLiteral("user.reg") : QStringLiteral("machine.reg"));
}

void RegistryStore::addKey(RootData &data, const QStringList &parts)
{
    // Parents are kept as keys of their own, so existence and enumeration are lookups.
    QString path;
    for (const QString &part : parts) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        const QString folded = path.toCaseFolded();
        if (!data.keys.contains(folded))
            data.keys.insert(folded, Key{path, {}});
    }
}

void RegistryStore::keepCorruptCopy(const QString &file, const QByteArray &bytes, int errors)
{
    const QString base =
        file + QStringLiteral(".corrupt-") + Clock::instance().now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n) {
        // Bounded by the content looked for: a larger file cannot hold it.
        QByteArray existing;
        if (RegularFile::readFile(target, bytes.size(), &existing) && existing == bytes)
            return; // this very content is already kept
        target = base + u'-' + QString::number(n);
    }
    const AtomicFile::Result saved = AtomicFile::write(target, bytes);
    if (saved) {
        qWarning("lumora: %d unreadable line(s) in %s; the original is kept as %s", errors, qPrintable(file),
                 qPrintable(target));
    } else {
        qWarning("lumora: %d unreadable line(s) in %s; could not keep a copy at %s: %s", errors, qPrintable(file),
                 qPrintable(target), qPrintable(saved.error));
    }
}

void RegistryStore::load(Root root, RootData &data)
{
    const Stamp stamp = FileStamp::of(data.file);
    if (data.loaded && stamp == data.stamp)
        return;
    data.keys.clear();
    data.unreadable = false;
    data.loaded = true;
    data.stamp = stamp;
    if (!stamp.exists)
        return;

    // A named pipe, a device or a huge file in its place is refused rather than waited on or
    // read without end; like any unreadable file it is then never overwritten.
    QByteArray bytes;
    QString why;
    if (!RegularFile::readFile(data.file, kMaxFileBytes, &bytes, &why)) {
        data.unreadable = true;
        qWarning("lumora: cannot read %s: %s", qPrintable(data.file), qPrintable(why));
        return;
    }
    const RegFile::Parsed parsed = RegFile::parse(bytes);
    int errors = parsed.errorCount;
    for (const RegFile::Key &section : parsed.keys) {
        QStringList parts;
        if (!sectionParts(root, section.path, &parts) || !validKeyPath(parts.join(u'\\'))) {
            ++errors;
            continue;
        }
        addKey(data, parts);
        Key &key = data.keys[parts.join(u'\\').toCaseFolded()];
        for (const RegFile::Value &v : section.values) {
            const qsizetype i = findValue(key.values, v.name);
            if (i < 0)
                key.values.append(v);
            else
                key.values[i] = RegFile::Value{key.values.at(i).name, v.type, v.data};
        }
    }
    if (errors > 0)
        keepCorruptCopy(data.file, bytes, errors);
}

QString RegistryStore::lastError()
{
    QMutexLocker locker(&m_mutex);
    return m_lastError;
}

reg::LONG RegistryStore::fail(const QString &why)
{
    m_lastError = why;
    return reg::ERROR_ACCESS_DENIED;
}

bool RegistryStore::lock(QLockFile &lock, const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        fail(QCoreApplication::translate("RegistryStore", "The folder %1 cannot be created").arg(folder));
        return false;
    }
    if (lock.tryLock(kLockWaitMs))
        return true;
    switch (lock.error()) {
    case QLockFile::PermissionError:
        fail(QCoreApplication::translate("RegistryStore", "There is no permission to write in the folder %1")
                 .arg(folder));
        break;
    case QLockFile::LockFailedError:
        fail(QStringLiteral("%1 stays locked by another program writing it").arg(file));
        break;
    default:
        fail(QCoreApplication::translate("RegistryStore", "The lock file %1.lock cannot be written (is the disk full?)")
                 .arg(file));
        break;
    }
    return false;
}

RegistryStore::RootData &RegistryStore::current(Root root)
{
    RootData &data = m_roots[root == Root::CurrentUser ? 0 : 1];
    // Inside a batch the memory holds changes the file does not have yet.
    if (data.batchChanged)
        return data;
    const QString file = filePath(root);
    if (file != data.file) {
        data.file = file;
        data.loaded = false;
    }
    load(root, data);
    return data;
}

reg::LONG RegistryStore::modify(Root root, const Change &change)
{
    RootData &batch = m_roots[root == Root::CurrentUser ? 0 : 1];
    if (batch.batchDepth > 0 && !batch.batchLock && !batch.batchFailed)
        lockBatch(root, batch);
    if (batch.batchLock) {
        // The batch holds the lock; the change is saved when the batch ends.
        RootData &data = current(root);
        if (data.unreadable)
            return fail(QStringLiteral("%1 cannot be read, so it is not overwritten").arg(data.file));
        bool changed = false;
        const reg::LONG rc = change(data, changed);
        data.batchChanged = data.batchChanged || changed;
        return rc;
    }

    const QString file = filePath(root);
    QLockFile fileLock(file + QStringLiteral(".lock"));
    if (!lock(fileLock, file))
        return reg::ERROR_ACCESS_DENIED;

    // Under the lock, so the change applies to what is on disk now and to nothing older.
    RootData &data = current(root);
    if (data.unreadable)
        return fail(QStringLiteral("%1 cannot be read, so it is not overwritten").arg(file));
    bool changed = false;
    const reg::LONG rc = change(data, changed);
    if (rc != reg::ERROR_SUCCESS || !changed)
        return rc;
    return save(root, data);
}

reg::LONG RegistryStore::save(Root root, RootData &data)
{
    const QString file = data.file;
    QList<RegFile::Key> keys;
    keys.reserve(data.keys.size());
    for (const Key &key : std::as_const(data.keys)) {
        if (key.path.isEmpty() && key.values.isEmpty())
            continue;
        const QString full = key.path.isEmpty() ? rootName(root) : rootName(root) + u'\\' + key.path;
        keys.append({full, key.values});
    }
    const QByteArray bytes = RegFile::serialise(keys);
    const AtomicFile::Result saved = AtomicFile::write(file, bytes);
    if (!saved) {
        qWarning("lumora: cannot write %s: %s", qPrintable(file), qPrintable(saved.error));
        data.loaded = false; // drop the unsaved change; the next call re-reads the file
        return fail(QStringLiteral("%1 cannot be written: %2").arg(file, saved.error));
    }
    data.stamp = FileStamp::of(file);
    return reg::ERROR_SUCCESS;
}

bool RegistryStore::keyExists(Root root, const QString &path)
{
    QMutexLocker locker(&m_mutex);
    const QString p = normalised(path);
    return p.isEmpty() || current(root).keys.contains(p.toCaseFolded());
}

reg::LONG RegistryStore::createKey(Root root, const QString &path)
{
    if (!validKeyPath(path))
        return reg::ERROR_INVALID_PARAMETER;
    QMutexLocker locker(&m_mutex);
    const QStringList parts = RegFile::splitPath(path);
    if (parts.isEmpty() || current(root).keys.contains(parts.join(u'\\').toCaseFolded()))
        return reg::ERROR_SUCCESS;
    return modify(root, [&](RootData &data, bool &changed) {
        const qsizetype before = data.keys.size();
        addKey(data, parts);
        changed = data.keys.size() != before;
        return reg::ERROR_SUCCESS;
    });
}

std::optional<RegFile::Value> RegistryStore::value(Root root, const QString &path, const QString &name)
{
    QMutexLocker locker(&m_mutex);
    const RootData &data = current(root);
    const auto it = data.keys.constFind(normalised(path).toCaseFolded());
    if (it == data.keys.cend())
        return std::nullopt;
    const qsizetype i = findValue(it->values, name);
    if (i < 0)
        return std::nullopt;
    return it->values.at(i);
}

reg::LONG RegistryStore::setValue(Root root, const QString &path, const RegFile::Value &value, bool createKey)
{
    if (!validKeyPath(path))
        return reg::ERROR_INVALID_PARAMETER;
    QMutexLocker locker(&m_mutex);
    const QStringList parts = RegFile::splitPath(path);
    const QString folded = parts.join(u'\\').toCaseFolded();
    return modify(root, [&](RootData &data, bool &changed) {
        if (!data.keys.contains(folded)) {
            if (!createKey && !parts.isEmpty())
                return reg::ERROR_FILE_NOT_FOUND;
            if (parts.isEmpty())
                data.keys.insert(folded, Key{});
            else
                addKey(data, parts);
        }
        Key &key = data.keys[folded];
        const qsizetype i = findValue(key.values, value.name);
        if (i < 0) {
            key.values.append(value);
            changed = true;
        } else if (key.values.at(i).type != value.type || key.values.at(i).data != value.data) {
            key.values[i].type = value.type;
            key.values[i].data = value.data;
            changed = true;
        }
        return reg::ERROR_SUCCESS;
    });
}

reg::LONG RegistryStore::deleteValue(Root root, const QString &path, const QString &name)
{
    QMutexLocker locker(&m_mutex);
    const QString folded = normalised(path).toCaseFolded();
    return modify(root, [&](RootData &data, bool &changed) {
        const auto it = data.keys.find(folded);
        if (it == data.keys.end())
            return reg::ERROR_FILE_NOT_FOUND;
        const qsizetype i = findValue(it->values, name);
        if (i < 0)
            return reg::ERROR_FILE_NOT_FOUND;
        it->values.removeAt(i);
        changed = true;
        return reg::ERROR_SUCCESS;
    });
}

reg::LONG RegistryStore::deleteKey(Root root, const QString &path)
{
    const QString folded = normalised(path).toCaseFolded();
    if (folded.isEmpty())
        return reg::ERROR_ACCESS_DENIED; // a root cannot be deleted
    QMutexLocker locker(&m_mutex);
    return modify(root, [&](RootData &data, bool &changed) {
        if (!data.keys.remove(folded))
            return reg::ERROR_FILE_NOT_FOUND;
        const QString prefix = folded + u'\\';
        for (auto it = data.keys.lowerBound(prefix); it != data.keys.end() && it.key().startsWith(prefix);)
            it = data.keys.erase(it);
        changed = true;
        return reg::ERROR_SUCCESS;
    });
}

void RegistryStore::beginBatch(Root root)
{
    QMutexLocker locker(&m_mutex);
    RootData &data = m_roots[root == Root::CurrentUser ? 0 : 1];
    if (data.batchDepth++ > 0)
        return;
    // The lock is taken by the first change: a batch that changes nothing costs nothing.
    data.batchChanged = false;
    data.batchFailed = false;
}

void RegistryStore::lockBatch(Root root, RootData &data)
{
    const QString file = filePath(root);
    auto batchLock = std::make_unique<QLockFile>(file + QStringLiteral(".lock"));
    if (!lock(*batchLock, file)) {
        // Without the lock each change goes its own way (and fails as it would have).
        data.batchFailed = true;
        return;
    }
    data.batchLock = std::move(batchLock);
    current(root); // what is on disk now, under the lock
}

reg::LONG RegistryStore::endBatch(Root root)
{
    QMutexLocker locker(&m_mutex);
    RootData &data = m_roots[root == Root::CurrentUser ? 0 : 1];
    if (data.batchDepth == 0 || --data.batchDepth > 0)
        return reg::ERROR_SUCCESS;
    reg::LONG rc = data.batchFailed ? reg::ERROR_ACCESS_DENIED : reg::ERROR_SUCCESS;
    if (data.batchChanged) {
        data.batchChanged = false;
        rc = save(root, data);
    }
    data.batchLock.reset();
    return rc;
}

QStringList RegistryStore::subKeys(Root root, const QString &path)
{
    QMutexLocker locker(&m_mutex);
    const RootData &data = current(root);
    const QString folded = normalised(path).toCaseFolded();
    const QString prefix = folded.isEmpty() ? QString() : folded + u'\\';
    QStringList names;
    for (auto it = data.keys.lowerBound(prefix); it != data.keys.cend() && it.key().startsWith(prefix); ++it) {
        if (it.key().size() == prefix.size() || it.key().indexOf(u'\\', prefix.size()) >= 0)
            continue;
        names.append(it->path.section(u'\\', -1));
    }
    return names;
}

RegistryStore::Batch::Batch(Root root)
    : m_root(root)
{
    RegistryStore::instance().beginBatch(root);
}

RegistryStore::Batch::~Batch()
{
    commit();
}

bool RegistryStore::Batch::commit()
{
    if (m_open) {
        m_open = false;
        m_saved = RegistryStore::instance().endBatch(m_root) == reg::ERROR_SUCCESS;
    }
    return m_saved;
}

} // namespace lumora
