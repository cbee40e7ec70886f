#include "support/CFileVersionInfo.h"

#include "platform/core/VersionInfo.h"

#include <QByteArray>
#include <QtEndian>

#include <array>
#include <cstring>

namespace lumora {

using namespace lumora::ver;

namespace {

constexpr DWORD kPathBuffer = 260;
constexpr DWORD kLanguageBuffer = 256;
constexpr quint32 kFallbackLanguage = 0x0409;
constexpr int kFixedWords = 13;

const std::array<const char *, 15> kPredefinedNames = {
    "Language",        "Comments",        "Company Name",     "File Description",  "File Version",
    "Internal Name",   "Legal Copyright", "Legal Trademarks", "Original Filename", "Product Name",
    "Product Version", "Private Build",   "Special Build",    "LegalTrademarks1",  "LegalTrademarks2",
};

quint16 LoWord(quint32 value)
{
    return quint16(value & 0xFFFF);
}

quint16 HiWord(quint32 value)
{
    return quint16(value >> 16);
}

QString PadHex(quint32 value, int width)
{
    const QString digits = QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
    return digits.right(width);
}

// "1.06.0005" for 1.6.0.5; "10.00.262701" for 10.0.2627.1.
QString formatVersion(quint32 high, quint32 low)
{
    QString text = QString::number(HiWord(high)) + QLatin1Char('.')
        + QString::number(LoWord(high)).rightJustified(2, QLatin1Char('0')) + QLatin1Char('.');
    if (HiWord(low) > 0)
        text += QString::number(HiWord(low)).rightJustified(2, QLatin1Char('0'))
            + QString::number(LoWord(low)).rightJustified(2, QLatin1Char('0'));
    else
        text += QString::number(LoWord(low)).rightJustified(4, QLatin1Char('0'));
    return text;
}

QString QueryStringValue(const void *block, const QString &path)
{
    const void *value = nullptr;
    quint32 length = 0;
    if (!VerQueryValueA(block, path, &value, &length) || length == 0 || !value)
        return {};
    // The string ends at its terminator, which lies within length bytes.
    const char *text = static_cast<const char *>(value);
    return QString::fromUtf8(text, qsizetype(strnlen(text, length)));
}

} // namespace

void CFileVersionInfo::setFullPathName(const QString &newVal)
{
    QString full;
    DWORD length = GetFullPathNameA(newVal, kPathBuffer, &full);
    // A path longer than the customary buffer is retried with the size asked for, so a
    // long path is read rather than cut short.
    if (length >= kPathBuffer)
        length = GetFullPathNameA(newVal, length, &full);
    if (length == 0 || full.isEmpty())
        return;
    m_fullPathName = full;
    Refresh();
}

QString CFileVersionInfo::PredefinedName(qint32 which)
{
    if (which < 0 || which >= qint32(kPredefinedNames.size()))
        return {};
    return QString::fromLatin1(kPredefinedNames[size_t(which)]);
}

QString CFileVersionInfo::PredefinedValue(qint32 which) const
{
    switch (which) {
    case 0:
        return m_language;
    case 1:
        return m_comments;
    case 2:
        return m_companyName;
    case 3:
        return m_fileDescription;
    case 4:
        return m_fileVersion;
    case 5:
        return m_internalName;
    case 6:
        return m_legalCopyright;
    case 7:
        return m_legalTrademarks;
    case 8:
        return m_originalFilename;
    case 9:
        return m_productName;
    case 10:
        return m_productVersion;
    case 11:
        return m_privateBuild;
    case 12:
        return m_specialBuild;
    case 13:
        return m_legalTrademarks1;
    case 14:
        return m_legalTrademarks2;
    default:
        return {};
    }
}

void CFileVersionInfo::Refresh()
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(m_fullPathName, &handle);
    if (size == 0) {
        m_available = false;
        return;
    }
    QByteArray buffer(qsizetype(size) + 1, '\0');
    // The file may have changed since its size was taken; then it is read as unavailable.
    if (!GetFileVersionInfoA(m_fullPathName, 0, size, buffer.data())) {
        m_available = false;
        return;
    }
    m_available = true;
    readFixedInfo(buffer.constData());
    readStrings(buffer.constData());
}

void CFileVersionInfo::readFixedInfo(const void *block)
{
    const void *address = nullptr;
    quint32 length = 0;
    if (!VerQueryValueA(block, QStringLiteral("\\"), &address, &length) || !address || length < kFixedWords * 4) {
        // Without the fixed record the numbers of an earlier file would be wrong for this one.
        m_verStructure.clear();
        m_fileVersionMajor.clear();
        m_verFile.clear();
        m_verProduct.clear();
        m_fileFlags.clear();
        m_fileOS.clear();
        m_fileType.clear();
        m_fileSubType.clear();
        return;
    }
    std::array<quint32, kFixedWords> w{};
    for (int i = 0; i < kFixedWords; ++i)
        w[size_t(i)] = qFromLittleEndian<quint32>(static_cast<const char *>(address) + i * 4);
    const quint32 structVersion = w[1], fileHigh = w[2], fileLow = w[3], productHigh = w[4], productLow = w[5],
                  flags = w[7], os = w[8], type = w[9], subType = w[10];

    m_verStructure = QString::number(HiWord(structVersion)) + QLatin1Char('.') + QString::number(LoWord(structVersion));
    m_fileVersionMajor = QString::number(HiWord(fileHigh));
    m_verFile = formatVersion(fileHigh, fileLow);
    m_verProduct = formatVersion(productHigh, productLow);

    QString flagText;
    static const std::array<std::pair<quint32, const char *>, 6> flagNames = {{
        {0x01, "Debug "},
        {0x02, "PreRel "},
        {0x04, "Patched "},
        {0x08, "Private "},
        {0x10, "Info "},
        {0x20, "Special "},
    }};
    for (const auto &[bit, name] : flagNames) {
        if (flags & bit)
            flagText += QLatin1String(name);
    }
    m_fileFlags = flagText.trimmed();

    switch (os) {
    case 0x10001:
        m_fileOS = QStringLiteral("DOS-Win16");
        break;
    case 0x10004:
        m_fileOS = QStringLiteral("DOS-Win32");
        break;
    case 0x20002:
        m_fileOS = QStringLiteral("OS/2-16 PM-16");
        break;
    case 0x30003:
        m_fileOS = QStringLiteral("OS/2-16 PM-32");
        break;
    case 0x40004:
        m_fileOS = QStringLiteral("NT-Win32");
        break;
    default:
        m_fileOS = QStringLiteral("Unknown");
        break;
    }

    static const std::array<const char *, 11> driverNames = {
        "Unknown",     "Printer drv", "Keyboard drv", "Language drv", "Display drv", "Mouse drv",
        "Network drv", "System drv",  "Installable",  "Sound drv",    "Comm drv",
    };
    static const std::array<const char *, 3> fontNames = {"Raster Font", "Vector Font", "TrueType Font"};
    switch (type) {
    case 1:
        m_fileType = QStringLiteral("Application");
        break;
    case 2:
        m_fileType = QStringLiteral("DLL");
        break;
    case 3:
        m_fileType = QStringLiteral("Driver");
        if (subType < driverNames.size())
            m_fileSubType = QLatin1String(driverNames[subType]);
        break;
    case 4:
        m_fileType = QStringLiteral("Font");
        if (subType >= 1 && subType <= fontNames.size())
            m_fileSubType = QLatin1String(fontNames[subType - 1]);
        break;
    case 5:
        m_fileType = QStringLiteral("VxD");
        break;
    case 7:
        m_fileType = QStringLiteral("Lib");
        break;
    default:
        m_fileType = QStringLiteral("Unknown");
        break;
    }
}

void CFileVersionInfo::readStrings(const void *block)
{
    const void *address = nullptr;
    quint32 length = 0;
    if (!VerQueryValueA(block, QStringLiteral("\\VarFileInfo\\Translation"), &address, &length) || !address
        || length < 4)
        return;
    const quint32 translation = qFromLittleEndian<quint32>(address);
    const quint32 language = LoWord(translation);
    const quint32 codePage = HiWord(translation);

    char name[kLanguageBuffer] = {};
    const DWORD nameLength = VerLanguageNameA(language, name, kLanguageBuffer);
    m_language = QString::fromUtf8(name, qsizetype(qMin<DWORD>(nameLength, kLanguageBuffer - 1)));

    const auto prefixFor = [codePage](quint32 lang) {
        return QStringLiteral("\\StringFileInfo\\") + PadHex(lang, 4) + PadHex(codePage, 4) + QLatin1Char('\\');
    };
    QString prefix = prefixFor(language);
    m_companyName = QueryStringValue(block, prefix + QStringLiteral("CompanyName"));
    if (m_companyName.isEmpty()) {
        // Many files list a translation whose string table was only written in US English.
        const QString fallback = prefixFor(kFallbackLanguage);
        m_companyName = QueryStringValue(block, fallback + QStringLiteral("CompanyName"));
        if (!m_companyName.isEmpty())
            prefix = fallback;
    }
    const auto entry = [&](const char *key) { return QueryStringValue(block, prefix + QLatin1String(key)); };
    m_comments = entry("Comments");
    m_fileDescription = entry("FileDescription");
    m_fileVersion = entry("FileVersion");
    m_internalName = entry("InternalName");
    m_legalCopyright = entry("LegalCopyright");
    m_legalTrademarks = entry("LegalTrademarks");
    m_originalFilename = entry("OriginalFilename");
    m_productName = entry("ProductName");
    m_productVersion = entry("ProductVersion");
    m_privateBuild = entry("PrivateBuild");
    m_specialBuild = entry("SpecialBuild");
    m_legalTrademarks1 = entry("LegalTrademarks1");
    m_legalTrademarks2 = entry("LegalTrademarks2");
}

} // namespace lumora
