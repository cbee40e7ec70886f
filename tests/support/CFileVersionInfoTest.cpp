#include "support/CFileVersionInfo.h"
#include "tools/PeWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumora::CFileVersionInfo;
using lumora::PeWriter;

namespace {

using Strings = QList<QPair<QString, QString>>;

// Fixture files are written by our PE writer into a private folder per test.
class VersionFiles
{
public:
    QString write(const PeWriter::VersionData &data, const QString &name = QString())
    {
        const QString path = m_dir.filePath(name.isEmpty() ? QStringLiteral("f%1.exe").arg(m_count++) : name);
        EXPECT_TRUE(PeWriter::writeFile(path, PeWriter::image(PeWriter::versionResource(data), false)));
        return path;
    }
    QString plainFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("plain.txt"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a program");
        return path;
    }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

PeWriter::VersionData withVersion(quint16 a, quint16 b, quint16 c, quint16 d)
{
    PeWriter::VersionData data;
    const quint16 v[4] = {a, b, c, d};
    std::copy(v, v + 4, data.fileVersion);
    std::copy(v, v + 4, data.productVersion);
    return data;
}

PeWriter::VersionData sample()
{
    PeWriter::VersionData data = withVersion(1, 6, 0, 5);
    data.productVersion[0] = 2;
    data.stringTables.append({QStringLiteral("040904B0"),
                              Strings{{QStringLiteral("CompanyName"), QStringLiteral("Corvane Software")},
                                      {QStringLiteral("FileDescription"), QStringLiteral("Mail notifier")},
                                      {QStringLiteral("ProductName"), QStringLiteral("Lumora")},
                                      {QStringLiteral("FileVersion"), QStringLiteral("1.06.0005")},
                                      {QStringLiteral("LegalTrademarks1"), QStringLiteral("TM one")},
                                      {QStringLiteral("LegalTrademarks2"), QStringLiteral("TM two")}}});
    return data;
}

TEST(CFileVersionInfo, ReadsAllPartsOfAVersionResource)
{
    VersionFiles files;
    CFileVersionInfo info;
    EXPECT_FALSE(info.Available());
    info.setFullPathName(files.write(sample()));

    EXPECT_TRUE(info.Available());
    EXPECT_EQ(info.VerStructure(), QStringLiteral("1.0"));
    EXPECT_EQ(info.VerFile(), QStringLiteral("1.06.0005"));
    EXPECT_EQ(info.FileVersionMajor(), QStringLiteral("1"));
    EXPECT_EQ(info.VerProduct(), QStringLiteral("2.06.0005"));
    EXPECT_EQ(info.FileFlags(), QString());
    EXPECT_EQ(info.FileOS(), QStringLiteral("NT-Win32"));
    EXPECT_EQ(info.FileType(), QStringLiteral("Application"));
    EXPECT_EQ(info.FileSubType(), QString());
    EXPECT_EQ(info.Language(), QStringLiteral("English (United States)"));
    EXPECT_EQ(info.CompanyName(), QStringLiteral("Corvane Software"));
    EXPECT_EQ(info.FileDescription(), QStringLiteral("Mail notifier"));
    EXPECT_EQ(info.ProductName(), QStringLiteral("Lumora"));
    EXPECT_EQ(info.FileVersion(), QStringLiteral("1.06.0005"));
    EXPECT_EQ(info.Comments(), QString());

    EXPECT_EQ(CFileVersionInfo::PredefinedName(0), QStringLiteral("Language"));
    EXPECT_EQ(CFileVersionInfo::PredefinedName(2), QStringLiteral("Company Name"));
    EXPECT_EQ(CFileVersionInfo::PredefinedName(14), QStringLiteral("LegalTrademarks2"));
    EXPECT_EQ(info.PredefinedValue(0), info.Language());
    EXPECT_EQ(info.PredefinedValue(2), QStringLiteral("Corvane Software"));
    EXPECT_EQ(info.PredefinedValue(13), QStringLiteral("TM one"));
    EXPECT_EQ(info.PredefinedValue(14), QStringLiteral("TM two"));
    for (const qint32 which : {15, -1, 1000, INT_MIN}) {
        EXPECT_EQ(CFileVersionInfo::PredefinedName(which), QString()) << which;
        EXPECT_EQ(info.PredefinedValue(which), QString()) << which;
    }
}

struct VersionRow
{
    quint16 parts[4];
    const char *expected;
};

class VersionFormat : public ::testing::TestWithParam<VersionRow>
{};

TEST_P(VersionFormat, FollowsThePaddingRules)
{
    const VersionRow &row = GetParam();
    VersionFiles files;
    CFileVersionInfo info;
    info.setFullPathName(files.write(withVersion(row.parts[0], row.parts[1], row.parts[2], row.parts[3])));
    EXPECT_EQ(info.VerFile(), QLatin1String(row.expected));
    EXPECT_EQ(info.VerProduct(), QLatin1String(row.expected));
    EXPECT_EQ(info.FileVersionMajor(), QString::number(row.parts[0]));
}

INSTANTIATE_TEST_SUITE_P(Rows, VersionFormat,
                         ::testing::Values(VersionRow{{1, 6, 0, 5}, "1.06.0005"},
                                           VersionRow{{10, 0, 2627, 1}, "10.00.262701"},
                                           VersionRow{{2, 15, 3, 45}, "2.15.0345"},
                                           VersionRow{{3, 1, 0, 12345}, "3.01.12345"},
                                           VersionRow{{0, 0, 0, 0}, "0.00.0000"},
                                           VersionRow{{65535, 65535, 65535, 65535}, "65535.65535.6553565535"}));

struct FixedRow
{
    quint32 flags;
    quint32 os;
    quint32 type;
    quint32 subType;
    const char *fileFlags;
    const char *fileOS;
    const char *fileType;
    const char *fileSubType; // after a fresh object reads the file
};

class FixedNames : public ::testing::TestWithParam<FixedRow>
{};

TEST_P(FixedNames, NameFlagsSystemTypeAndSubType)
{
    const FixedRow &row = GetParam();
    PeWriter::VersionData data;
    data.flags = row.flags;
    data.os = row.os;
    data.type = row.type;
    data.subType = row.subType;
    VersionFiles files;
    CFileVersionInfo info;
    info.setFullPathName(files.write(data));
    EXPECT_EQ(info.FileFlags(), QLatin1String(row.fileFlags));
    EXPECT_EQ(info.FileOS(), QLatin1String(row.fileOS));
    EXPECT_EQ(info.FileType(), QLatin1String(row.fileType));
    EXPECT_EQ(info.FileSubType(), QLatin1String(row.fileSubType));
}

INSTANTIATE_TEST_SUITE_P(Rows, FixedNames,
                         ::testing::Values(FixedRow{3, 0x40004, 1, 0, "Debug PreRel", "NT-Win32", "Application", ""},
                                           FixedRow{0x3F, 0x10001, 2, 0, "Debug PreRel Patched Private Info Special",
                                                    "DOS-Win16", "DLL", ""},
                                           FixedRow{0x20, 0x10004, 5, 0, "Special", "DOS-Win32", "VxD", ""},
                                           FixedRow{0x40, 0x20002, 7, 0, "", "OS/2-16 PM-16", "Lib", ""},
                                           FixedRow{0, 0x30003, 0, 0, "", "OS/2-16 PM-32", "Unknown", ""},
                                           FixedRow{0, 4, 2, 0, "", "Unknown", "DLL", ""},
                                           FixedRow{0, 0x40004, 6, 0, "", "NT-Win32", "Unknown", ""},
                                           FixedRow{0, 0x40004, 3, 0, "", "NT-Win32", "Driver", "Unknown"},
                                           FixedRow{0, 0x40004, 3, 4, "", "NT-Win32", "Driver", "Display drv"},
                                           FixedRow{0, 0x40004, 3, 10, "", "NT-Win32", "Driver", "Comm drv"},
                                           FixedRow{0, 0x40004, 3, 11, "", "NT-Win32", "Driver", ""},
                                           FixedRow{0, 0x40004, 4, 3, "", "NT-Win32", "Font", "TrueType Font"},
                                           FixedRow{0, 0x40004, 4, 0, "", "NT-Win32", "Font", ""}));

TEST(CFileVersionInfo, SubTypeAndStringsKeepEarlierValuesWhereTheNewFileHasNone)
{
    VersionFiles files;
    PeWriter::VersionData driver = sample();
    driver.type = 3;
    driver.subType = 9;
    CFileVersionInfo info;
    info.setFullPathName(files.write(driver));
    EXPECT_EQ(info.FileSubType(), QStringLiteral("Sound drv"));

    PeWriter::VersionData app = withVersion(4, 0, 0, 1);
    app.translations.clear();
    info.setFullPathName(files.write(app));
    EXPECT_EQ(info.FileType(), QStringLiteral("Application"));
    EXPECT_EQ(info.FileSubType(), QStringLiteral("Sound drv"));
    EXPECT_EQ(info.VerFile(), QStringLiteral("4.00.0001"));
    // No translation: language and strings stay those of the driver.
    EXPECT_EQ(info.CompanyName(), QStringLiteral("Corvane Software"));
    EXPECT_EQ(info.Language(), QStringLiteral("English (United States)"));
}

TEST(CFileVersionInfo, FallsBackToUsEnglishStringTable)
{
    VersionFiles files;
    PeWriter::VersionData data;
    data.translations = {0x04E40407};
    data.stringTables.append({QStringLiteral("040904E4"),
                              Strings{{QStringLiteral("CompanyName"), QStringLiteral("Corvane Software")},
                                      {QStringLiteral("ProductName"), QStringLiteral("Lumora")}}});
    CFileVersionInfo info;
    info.setFullPathName(files.write(data));
    EXPECT_EQ(info.Language(), QStringLiteral("German (Germany)"));
    EXPECT_EQ(info.CompanyName(), QStringLiteral("Corvane Software"));
    EXPECT_EQ(info.ProductName(), QStringLiteral("Lumora"));

    // The fallback keeps the code page: a table under another code page is not used.
    PeWriter::VersionData otherPage = data;
    otherPage.stringTables[0].key = QStringLiteral("040904B0");
    CFileVersionInfo other;
    other.setFullPathName(files.write(otherPage));
    EXPECT_EQ(other.CompanyName(), QString());
    EXPECT_EQ(other.ProductName(), QString());
}

TEST(CFileVersionInfo, FileWithoutResourceOnlyClearsAvailable)
{
    VersionFiles files;
    CFileVersionInfo info;
    info.setFullPathName(files.write(sample()));
    ASSERT_TRUE(info.Available());

    const QString plain = files.plainFile();
    info.setFullPathName(plain);
    EXPECT_FALSE(info.Available());
    EXPECT_EQ(info.FullPathName(), plain);
    EXPECT_EQ(info.VerFile(), QStringLiteral("1.06.0005"));
    EXPECT_EQ(info.CompanyName(), QStringLiteral("Corvane Software"));
    EXPECT_EQ(info.Language(), QStringLiteral("English (United States)"));

    info.setFullPathName(files.dir() + QStringLiteral("/missing.exe"));
    EXPECT_FALSE(info.Available());
    EXPECT_EQ(info.VerFile(), QStringLiteral("1.06.0005"));
}

TEST(CFileVersionInfo, PathHandling)
{
    VersionFiles files;
    const QString path = files.write(sample(), QStringLiteral("prog.exe"));
    CFileVersionInfo info;
    info.setFullPathName(files.dir() + QStringLiteral("/sub/../prog.exe"));
    EXPECT_EQ(info.FullPathName(), path);
    EXPECT_TRUE(info.Available());

    // An empty path is rejected and changes nothing.
    info.setFullPathName(QString());
    EXPECT_EQ(info.FullPathName(), path);
    EXPECT_TRUE(info.Available());

    // Paths beyond the customary 260 characters are still read in full.
    QString longDir = files.dir();
    while (longDir.size() < 300)
        longDir += QStringLiteral("/abcdefghijklmnopqrstuvwxyz");
    ASSERT_TRUE(QDir().mkpath(longDir));
    const QString longPath = longDir + QStringLiteral("/long.exe");
    ASSERT_TRUE(QFile::copy(path, longPath));
    CFileVersionInfo longInfo;
    longInfo.setFullPathName(longPath);
    EXPECT_EQ(longInfo.FullPathName(), longPath);
    EXPECT_TRUE(longInfo.Available());
    EXPECT_EQ(longInfo.CompanyName(), QStringLiteral("Corvane Software"));

    // Refresh re-reads the file after it changed.
    PeWriter::VersionData newer = sample();
    newer.fileVersion[0] = 7;
    ASSERT_TRUE(PeWriter::writeFile(path, PeWriter::image(PeWriter::versionResource(newer), true)));
    info.Refresh();
    EXPECT_EQ(info.FileVersionMajor(), QStringLiteral("7"));
}

TEST(CFileVersionInfo, MissingFixedRecordClearsNumbersButReadsStrings)
{
    VersionFiles files;
    CFileVersionInfo info;
    info.setFullPathName(files.write(sample()));
    PeWriter::VersionData noFixed = sample();
    noFixed.withFixedInfo = false;
    noFixed.stringTables[0].entries[0].second = QStringLiteral("Other Company");
    info.setFullPathName(files.write(noFixed));
    EXPECT_TRUE(info.Available());
    EXPECT_EQ(info.VerFile(), QString());
    EXPECT_EQ(info.FileVersionMajor(), QString());
    EXPECT_EQ(info.FileType(), QString());
    EXPECT_EQ(info.CompanyName(), QStringLiteral("Other Company"));
}

} // namespace
