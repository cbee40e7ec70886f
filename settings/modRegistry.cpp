#include "settings/modRegistry.h"

#include "platform/core/RegistryStore.h"

#include <QtEndian>

#include <cmath>
#include <limits>

namespace lumora::modRegistry {

namespace {

constexpr qint32 kOtherType = -1;

// The 32-bit pattern of a number given as a number or as decimal text; accepts signed
// and unsigned 32-bit values.
bool toDword(const QVariant &value, quint32 *out)
{
    bool ok = false;
    qint64 n = value.toLongLong(&ok);
    if (!ok) {
        const double d = value.toDouble(&ok);
        if (!ok || !std::isfinite(d) || std::fabs(d) > 1e12)
            return false;
        n = qint64(std::nearbyint(d));
    }
    if (n < std::numeric_limits<qint32>::min() || n > qint64(std::numeric_limits<quint32>::max()))
        return false;
    *out = quint32(n);
    return true;
}

} // namespace

qint32 QueryValueEx(reg::HKEY key, const QString &valueName, QVariant &value)
{
    value = QVariant();
    reg::DWORD type = 0;
    reg::DWORD size = 0;
    reg::LONG rc = reg::RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    if (rc != reg::ERROR_SUCCESS)
        return rc;
    if (type == reg::REG_SZ) {
        QByteArray buffer(qsizetype(size), '\0');
        rc = reg::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<unsigned char *>(buffer.data()),
                                   &size);
        // The text keeps its stored terminating NUL; the reader drops it.
        if (rc == reg::ERROR_SUCCESS)
            value = QString::fromUtf8(buffer.constData(), qsizetype(qMin<reg::DWORD>(size, buffer.size())));
        return rc;
    }
    if (type == reg::REG_DWORD) {
        unsigned char bytes[4] = {0, 0, 0, 0};
        size = sizeof bytes;
        rc = reg::RegQueryValueExA(key, valueName, nullptr, &type, bytes, &size);
        if (rc == reg::ERROR_SUCCESS)
            value = qint32(qFromLittleEndian<quint32>(bytes));
        return rc;
    }
    return kOtherType;
}

qint32 SetValueEx(reg::HKEY key, const QString &valueName, qint32 valueType, const QVariant &value)
{
    if (valueType == qint32(reg::REG_SZ)) {
        QByteArray text = value.toString().toUtf8();
        text.append('\0');
        return reg::RegSetValueExA(key, valueName, 0, reg::REG_SZ,
                                   reinterpret_cast<const unsigned char *>(text.constData()), reg::DWORD(text.size()));
    }
    if (valueType == qint32(reg::REG_DWORD)) {
        quint32 number = 0;
        if (!toDword(value, &number))
            return reg::ERROR_INVALID_PARAMETER;
        unsigned char bytes[4];
        qToLittleEndian(number, bytes);
        return reg::RegSetValueExA(key, valueName, 0, reg::REG_DWORD, bytes, sizeof bytes);
    }
    // Nothing was written, so say so rather than report success.
    return reg::ERROR_INVALID_PARAMETER;
}

QVariant ReadRegistryValue(reg::HKEY root, const QString &keyPath, const QString &valueName)
{
    reg::HKEY key = 0;
    if (reg::RegOpenKeyA(root, keyPath, &key) != reg::ERROR_SUCCESS)
        return QVariant();
    QVariant value;
    QueryValueEx(key, valueName, value);
    reg::RegCloseKey(key);
    if (value.typeId() == QMetaType::QString) {
        QString text = value.toString();
        if (!text.isEmpty() && text.back() == QChar(u'\0'))
            text.chop(1);
        value = text;
    }
    return value;
}

QString LastWriteError()
{
    return RegistryStore::instance().lastError();
}

bool WriteRegistryValue(reg::HKEY root, const QString &keyPath, const QString &valueName, const QVariant &value,
                        qint32 valueType)
{
    QString path = keyPath;
    if (path.startsWith(u'\\'))
        path.remove(0, 1);
    // Checked after the backslash is gone, so "\" alone cannot write at the root either.
    if (path.isEmpty())
        return false;
    // Creating the key and setting the value is one write: one save of the file.
    RegistryStore::Batch batch(root == reg::HKEY_LOCAL_MACHINE ? RegistryStore::Root::LocalMachine
                                                               : RegistryStore::Root::CurrentUser);
    reg::HKEY key = 0;
    if (reg::RegCreateKeyA(root, path, &key) != reg::ERROR_SUCCESS)
        return false;
    const qint32 rc = SetValueEx(key, valueName, valueType, value);
    reg::RegCloseKey(key);
    return batch.commit() && rc == reg::ERROR_SUCCESS;
}

} // namespace lumora::modRegistry
