#include "settings/CINIFile.h"

#include "platform/core/Profile.h"
#include "settings/modOSVersion.h"

#include <QStringList>

#include <functional>
#include <limits>
#include <optional>

namespace lumora {

namespace {

constexpr quint32 kValueBufferSize = 255;
constexpr quint32 kSectionBufferSize = 32767;
constexpr quint32 kLargeSectionBufferSize = 65534;

// Offers the call ever larger buffers (2047, 4095, 8191, 16383 bytes) until the list fits;
// a count of the offered size - 2 is the sign of a list that was cut. Returns the list's
// bytes without the final NUL, or nothing when even the largest buffer was too small.
QByteArray readGrowing(const std::function<quint32(char *, quint32)> &call)
{
    quint32 size = 1024;
    for (int attempt = 0; attempt < 4; ++attempt) {
        size *= 2;
        QByteArray buffer(qsizetype(size - 1), '\0');
        const quint32 count = call(buffer.data(), size - 1);
        if (count != size - 3)
            return buffer.left(qsizetype(qMin(count, size - 1)));
    }
    return QByteArray();
}

// Cuts a list at its NULs. Every entry counts, the last one too however short it is, and
// a last entry cut off by a full buffer is kept as far as it came. Nothing when the list
// holds more entries than a 16-bit count can report.
std::optional<QList<QByteArray>> splitList(const QByteArray &list)
{
    if (list.isEmpty())
        return QList<QByteArray>();
    QList<QByteArray> entries = list.split('\0');
    if (list.endsWith('\0'))
        entries.removeLast();
    if (entries.size() > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return entries;
}

QString keyOf(const QByteArray &line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : QString::fromUtf8(line.left(eq));
}

QString valueOf(const QByteArray &line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : QString::fromUtf8(line.mid(eq + 1));
}

} // namespace

QVariant CINIFile::getValue(const QString &valueName, const QString &defaultValue, bool *failed) const
{
    QByteArray buffer(kValueBufferSize, '\0');
    const quint32 count =
        GetPrivateProfileStringA(m_section.toUtf8().constData(), valueName.toUtf8().constData(),
                                 defaultValue.toUtf8().constData(), buffer.data(), kValueBufferSize, m_file);
    if (count < 1) {
        if (failed)
            *failed = true;
        return QVariant(defaultValue.isNull() ? QString(QLatin1String("")) : defaultValue);
    }
    if (failed)
        *failed = false;
    return QVariant(QString::fromUtf8(buffer.constData(), qsizetype(count)));
}

void CINIFile::addSection(const QString &name, bool setAsCurrent)
{
    const QByteArray section = name.toUtf8();
    WritePrivateProfileStringA(section.constData(), "Dummy", "Val", m_file);
    WritePrivateProfileStringA(section.constData(), "Dummy", nullptr, m_file);
    if (setAsCurrent)
        m_section = name;
}

std::optional<QList<QByteArray>> CINIFile::currentSectionLines() const
{
    const QByteArray section = m_section.toUtf8();
    return splitList(readGrowing([&](char *buffer, quint32 size) {
        return GetPrivateProfileSectionA(section.constData(), buffer, size, m_file);
    }));
}

qint16 CINIFile::enumSectionKeys(QVariant &arrayResult) const
{
    const std::optional<QList<QByteArray>> entries = currentSectionLines();
    if (!entries || entries->isEmpty()) {
        arrayResult = QVariant();
        return -1;
    }
    QStringList keys;
    for (const QByteArray &entry : *entries)
        keys.append(keyOf(entry));
    arrayResult = keys;
    return qint16(keys.size());
}

qint16 CINIFile::enumSectionValues(QVariant &arrayResult) const
{
    const qint32 os = modOSVersion::GetOSVersion();
    if (m_log)
        m_log->Log(3, QStringLiteral("enumSectionValues"), QStringLiteral("OS Version:") + QString::number(os));
    const quint32 size = os > 3 ? kLargeSectionBufferSize : kSectionBufferSize;
    QByteArray buffer(qsizetype(size), '\0');
    const quint32 count = GetPrivateProfileSectionA(m_section.toUtf8().constData(), buffer.data(), size, m_file);
    if (count == 0) {
        arrayResult = QVariant();
        return -1;
    }
    const std::optional<QList<QByteArray>> entries = splitList(buffer.left(qsizetype(qMin(count, size))));
    if (!entries)
        return 0;
    QVariantList valueList;
    for (const QByteArray &entry : *entries)
        valueList.append(valueOf(entry));
    arrayResult = valueList;
    return qint16(valueList.size());
}

qint16 CINIFile::enumSections(QVariant &arrayResult) const
{
    const QByteArray list =
        readGrowing([&](char *buffer, quint32 size) { return GetPrivateProfileSectionNamesA(buffer, size, m_file); });
    const std::optional<QList<QByteArray>> entries = splitList(list);
    if (!entries || entries->isEmpty()) {
        arrayResult = QVariant();
        return -1;
    }
    QStringList names;
    for (const QByteArray &entry : *entries)
        names.append(QString::fromUtf8(entry));
    arrayResult = names;
    return qint16(names.size());
}

void CINIFile::deleteSection(const QString &sectionName)
{
    WritePrivateProfileStringA(sectionName.toUtf8().constData(), nullptr, nullptr, m_file);
}

void CINIFile::deleteKey(const QString &keyName)
{
    WritePrivateProfileStringA(m_section.toUtf8().constData(), keyName.toUtf8().constData(), nullptr, m_file);
}

qint16 CINIFile::enumSectionValuePairs(QVariant &arrayResult) const
{
    const std::optional<QList<QByteArray>> entries = currentSectionLines();
    if (!entries || entries->isEmpty()) {
        arrayResult = QVariant();
        return -1;
    }
    QStringList keys;
    QStringList valueList;
    for (const QByteArray &entry : *entries) {
        keys.append(keyOf(entry));
        valueList.append(valueOf(entry));
    }
    arrayResult = QVariantList{keys, valueList};
    return qint16(keys.size());
}

void CINIFile::flush()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_file);
}

QVariant CINIFile::values(const QString &valueName) const
{
    return getValue(valueName, QString());
}

void CINIFile::setValues(const QString &valueName, const QVariant &value)
{
    WritePrivateProfileStringA(m_section.toUtf8().constData(), valueName.toUtf8().constData(),
                               value.toString().toUtf8().constData(), m_file);
}

void CINIFile::setFile(const QString &file)
{
    m_file = file;
    m_section.clear();
}

void CINIFile::writeSection(const QVariant &lines)
{
    const int type = lines.typeId();
    if (type != QMetaType::QStringList && type != QMetaType::QVariantList)
        return;
    QByteArray list;
    for (const QVariant &element : lines.toList()) {
        const QByteArray line = element.toString().toUtf8();
        // An empty element would end the NUL-separated list early and drop every line after it.
        if (line.isEmpty())
            continue;
        list += line;
        list += '\0';
    }
    list += '\0';
    list += '\0';
    WritePrivateProfileSectionA(m_section.toUtf8().constData(), list.constData(), m_file);
}

} // namespace lumora
