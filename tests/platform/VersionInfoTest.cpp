#include "platform/core/VersionInfo.h"
#include "platform/core/LanguageNames.h"
#include "tools/PeWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

using namespace lumora::ver;
using lumora::PeWriter;

namespace {

class VersionInfoFile : public ::testing::Test
{
protected:
    QString write(const PeWriter::VersionData &data, bool pe32Plus = false)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.exe").arg(m_count++));
        EXPECT_TRUE(PeWriter::writeFile(path, PeWriter::image(PeWriter::versionResource(data), pe32Plus)));
        return path;
    }

    QByteArray block(const QString &path)
    {
        DWORD handle = 99;
        const DWORD size = GetFileVersionInfoSizeA(path, &handle);
        EXPECT_EQ(handle, 0u);
        QByteArray b(qsizetype(size), '\0');
        if (size) {
            EXPECT_TRUE(GetFileVersionInfoA(path, 0, size, b.data()));
        }
        return b;
    }

    static QString query(const QByteArray &b, const QString &path)
    {
        const void *value = nullptr;
        quint32 len = 0;
        if (!VerQueryValueA(b.constData(), path, &value, &len))
            return QStringLiteral("<none>");
        return QString::fromUtf8(static_cast<const char *>(value),
                                 qsizetype(strnlen(static_cast<const char *>(value), len)));
    }

    QTemporaryDir m_dir;
    int m_count = 0;
};

PeWriter::VersionData richData()
{
    PeWriter::VersionData data;
    data.fileVersion[0] = 10;
    data.fileVersion[2] = 2627;
    data.fileVersion[3] = 1;
    data.translations = {0x04B00409, 0x04E40407};
    data.stringTables.append({QStringLiteral("040904B0"),
                              {{QStringLiteral("CompanyName"), QStringLiteral("Corvane Software")},
                               {QStringLiteral("Comments"), QString()},
                               {QStringLiteral("ProductName"), QStringLiteral("Grüße ✓")}}});
    data.stringTables.append(
        {QStringLiteral("040704E4"), {{QStringLiteral("CompanyName"), QStringLiteral("Corvane GmbH")}}});
    return data;
}

TEST_F(VersionInfoFile, QueriesFixedTranslationsAndStrings)
{
    for (const bool pe32Plus : {false, true}) {
        const QByteArray b = block(write(richData(), pe32Plus));
        ASSERT_FALSE(b.isEmpty());

        const void *value = nullptr;
        quint32 len = 0;
        ASSERT_TRUE(VerQueryValueA(b.constData(), QStringLiteral("\\"), &value, &len));
        ASSERT_EQ(len, 52u);
        EXPECT_EQ(qFromLittleEndian<quint32>(value), 0xFEEF04BDu);
        EXPECT_EQ(qFromLittleEndian<quint32>(static_cast<const char *>(value) + 8), 0x000A0000u);
        EXPECT_EQ(qFromLittleEndian<quint32>(static_cast<const char *>(value) + 12), 0x0A430001u);

        ASSERT_TRUE(VerQueryValueA(b.constData(), QStringLiteral("\\VarFileInfo\\Translation"), &value, &len));
        ASSERT_EQ(len, 8u);
        EXPECT_EQ(qFromLittleEndian<quint32>(static_cast<const char *>(value) + 4), 0x04E40407u);

        EXPECT_EQ(query(b, QStringLiteral("\\StringFileInfo\\040904B0\\CompanyName")),
                  QStringLiteral("Corvane Software"));
        EXPECT_EQ(query(b, QStringLiteral("\\stringfileinfo\\040904b0\\companyname")),
                  QStringLiteral("Corvane Software"));
        EXPECT_EQ(query(b, QStringLiteral("\\StringFileInfo\\040704E4\\CompanyName")), QStringLiteral("Corvane GmbH"));
        EXPECT_EQ(query(b, QStringLiteral("\\StringFileInfo\\040904B0\\ProductName")), QStringLiteral("Grüße ✓"));
        EXPECT_EQ(query(b, QStringLiteral("\\StringFileInfo\\040904B0\\Missing")), QStringLiteral("<none>"));
        EXPECT_EQ(query(b, QStringLiteral("\\StringFileInfo\\041104B0\\CompanyName")), QStringLiteral("<none>"));
        EXPECT_EQ(query(b, QStringLiteral("\\StringFileInfo\\040904B0")), QStringLiteral("<none>"));

        // An empty value is found but has length 0.
        ASSERT_TRUE(
            VerQueryValueA(b.constData(), QStringLiteral("\\StringFileInfo\\040904B0\\Comments"), &value, &len));
        EXPECT_EQ(len, 0u);
    }
}

TEST_F(VersionInfoFile, MissingPartsAndBadArguments)
{
    PeWriter::VersionData bare;
    bare.withFixedInfo = false;
    bare.translations.clear();
    const QByteArray b = block(write(bare));
    ASSERT_FALSE(b.isEmpty());
    const void *value = nullptr;
    quint32 len = 0;
    EXPECT_FALSE(VerQueryValueA(b.constData(), QStringLiteral("\\"), &value, &len));
    EXPECT_FALSE(VerQueryValueA(b.constData(), QStringLiteral("\\VarFileInfo\\Translation"), &value, &len));
    EXPECT_FALSE(VerQueryValueA(nullptr, QStringLiteral("\\"), &value, &len));
    const QByteArray garbage(64, 'x');
    EXPECT_FALSE(VerQueryValueA(garbage.constData(), QStringLiteral("\\"), &value, &len));

    const QString good = write(richData());
    const DWORD size = GetFileVersionInfoSizeA(good, nullptr);
    QByteArray small(qsizetype(size), 'z');
    EXPECT_FALSE(GetFileVersionInfoA(good, 0, size - 1, small.data()));
    EXPECT_EQ(small, QByteArray(qsizetype(size), 'z'));

    EXPECT_EQ(GetFileVersionInfoSizeA(m_dir.filePath(QStringLiteral("absent.exe")), nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(m_dir.path(), nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(QString(), nullptr), 0u);
}

TEST(VerLanguageName, NamesAndBuffers)
{
    char buffer[256];
    ASSERT_GT(VerLanguageNameA(0x0409, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "English (United States)");
    VerLanguageNameA(0x0407, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "German (Germany)");
    VerLanguageNameA(0x0C07, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "German (Austria)");
    VerLanguageNameA(0x081A, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Serbian (Latin, Serbia)");
    VerLanguageNameA(0x7C09, buffer, sizeof buffer); // unlisted sub-language of English
    EXPECT_STREQ(buffer, "English");
    EXPECT_EQ(VerLanguageNameA(0x03FF, buffer, sizeof buffer), 0u);

    char small[8];
    std::memset(small, 'x', sizeof small);
    const DWORD full = VerLanguageNameA(0x0409, small, sizeof small);
    EXPECT_EQ(full, DWORD(std::strlen("English (United States)")));
    EXPECT_STREQ(small, "English");
    EXPECT_EQ(VerLanguageNameA(0x0409, nullptr, 0), full);
}

// Every primary language we list must come out with a real name, not a code or "C".
TEST(VerLanguageName, EveryListedLanguageHasAName)
{
    for (quint32 id = 1; id <= 0xFFFF; ++id) {
        const QString name = lumora::LanguageNames::name(id);
        if (name.isEmpty())
            continue;
        EXPECT_TRUE(name.at(0).isUpper()) << std::hex << id << ' ' << qPrintable(name);
        EXPECT_FALSE(name.startsWith(QLatin1String("C "))) << std::hex << id;
    }
}

TEST(GetFullPathName, AbsoluteCleanedAndSized)
{
    QString result = QStringLiteral("untouched");
    EXPECT_EQ(GetFullPathNameA(QString(), 260, &result), 0u);
    EXPECT_EQ(result, QStringLiteral("untouched"));

    const QString expected = QDir::cleanPath(QDir::currentPath() + QStringLiteral("/b/c.exe"));
    EXPECT_EQ(GetFullPathNameA(QStringLiteral("a/../b//c.exe"), 260, &result), DWORD(expected.size()));
    EXPECT_EQ(result, expected);
    EXPECT_EQ(GetFullPathNameA(QStringLiteral("/x/./y/../z"), 260, &result), 4u);
    EXPECT_EQ(result, QStringLiteral("/x/z"));

    result = QStringLiteral("untouched");
    EXPECT_EQ(GetFullPathNameA(QStringLiteral("/x/z"), 4, &result), 5u);
    EXPECT_EQ(result, QStringLiteral("untouched"));
}

} // namespace
