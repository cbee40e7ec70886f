#include "settings/CINIFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumora::CINIFile;

namespace {

class RecordingLogWriter : public lumora::host::LogWriter
{
public:
    void Log(int level, const QString &procedure, const QString &message) override
    {
        entries.append(QString::number(level) + QLatin1Char('|') + procedure + QLatin1Char('|') + message);
    }
    QStringList entries;
};

class CINIFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_dir.filePath(QStringLiteral("Lumora.ini"));
        ini.setFile(m_path);
    }

    void put(const QByteArray &data)
    {
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(data);
    }

    QByteArray contents() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
    QString m_path;
    CINIFile ini;
};

} // namespace

TEST_F(CINIFileTest, GetValueFailedReportsAnEmptyResultNotAMissingKey)
{
    put("[Setup]\nInit=1\nEmpty=\n");
    ini.setSection(QStringLiteral("Setup"));
    bool failed = true;

    EXPECT_EQ(ini.getValue(QStringLiteral("init"), QString(), &failed), QVariant(QStringLiteral("1")));
    EXPECT_FALSE(failed);
    EXPECT_EQ(ini.getValue(QStringLiteral("Missing"), QStringLiteral("0"), &failed), QVariant(QStringLiteral("0")));
    EXPECT_FALSE(failed);
    const QVariant none = ini.getValue(QStringLiteral("Missing"), QString(), &failed);
    EXPECT_EQ(none.typeId(), QMetaType::QString);
    EXPECT_EQ(none.toString(), QString());
    EXPECT_TRUE(failed);
    EXPECT_EQ(ini.getValue(QStringLiteral("Empty"), QStringLiteral("dflt"), &failed), QVariant(QStringLiteral("dflt")));
    EXPECT_TRUE(failed);

    EXPECT_EQ(ini.values(QStringLiteral("Init")), QVariant(QStringLiteral("1")));
    EXPECT_EQ(ini.values(QStringLiteral("Missing")), QVariant(QString()));
}

TEST_F(CINIFileTest, LongValuesAreCutTo254Characters)
{
    ini.setSection(QStringLiteral("S"));
    ini.setValues(QStringLiteral("long"), QString(300, QLatin1Char('x')));
    EXPECT_EQ(ini.getValue(QStringLiteral("long")).toString(), QString(254, QLatin1Char('x')));
}

TEST_F(CINIFileTest, ValuesRoundTripAndDeletes)
{
    ini.setSection(QStringLiteral("Setup"));
    ini.setValues(QStringLiteral("Init"), 1);
    ini.setValues(QStringLiteral("Other"), QStringLiteral("x"));
    ini.setSection(QStringLiteral("EntryID"));
    ini.setValues(QStringLiteral("EID0"), QStringLiteral("00AB|00CD"));
    EXPECT_EQ(contents(), "[Setup]\nInit=1\nOther=x\n[EntryID]\nEID0=00AB|00CD\n");

    ini.setSection(QStringLiteral("setup"));
    ini.deleteKey(QStringLiteral("OTHER"));
    ini.deleteSection(QStringLiteral("entryid"));
    ini.flush();
    EXPECT_EQ(contents(), "[Setup]\nInit=1\n");
}

TEST_F(CINIFileTest, AddSectionLeavesAnEmptyHeader)
{
    put("[Setup]\nInit=0\n");
    ini.setSection(QStringLiteral("Setup"));
    ini.addSection(QStringLiteral("EntryID"));
    EXPECT_EQ(contents(), "[Setup]\nInit=0\n[EntryID]\n");
    EXPECT_EQ(ini.section(), QStringLiteral("Setup"));
    ini.addSection(QStringLiteral("Other"), true);
    EXPECT_EQ(ini.section(), QStringLiteral("Other"));
    EXPECT_FALSE(contents().contains("Dummy"));
}

TEST_F(CINIFileTest, SettingTheFileEmptiesTheSection)
{
    ini.setSection(QStringLiteral("Setup"));
    ini.setFile(m_dir.filePath(QStringLiteral("other.ini")));
    EXPECT_EQ(ini.section(), QString());
    EXPECT_EQ(ini.file(), m_dir.filePath(QStringLiteral("other.ini")));
}

TEST_F(CINIFileTest, EnumerationsOfOneSection)
{
    put("[EntryID]\na=1\nb = 2\n; comment\nbare\n");
    ini.setSection(QStringLiteral("EntryID"));
    QVariant result;

    EXPECT_EQ(ini.enumSectionKeys(result), 3);
    EXPECT_EQ(result, QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b"), QString()}));

    EXPECT_EQ(ini.enumSectionValues(result), 3);
    EXPECT_EQ(result.typeId(), QMetaType::QVariantList);
    EXPECT_EQ(result, QVariant(QVariantList{QStringLiteral("1"), QStringLiteral("2"), QString()}));

    EXPECT_EQ(ini.enumSectionValuePairs(result), 3);
    const QVariantList pair = result.toList();
    ASSERT_EQ(pair.size(), 2);
    EXPECT_EQ(pair[0], QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b"), QString()}));
    EXPECT_EQ(pair[1], QVariant(QStringList{QStringLiteral("1"), QStringLiteral("2"), QString()}));
}

TEST_F(CINIFileTest, EnumerationsOfNothingGiveMinusOneAndNull)
{
    put("[Empty]\n[Full]\nk=v\n");
    for (const QString &section : {QStringLiteral("Empty"), QStringLiteral("Missing")}) {
        ini.setSection(section);
        QVariant result = QStringLiteral("stale");
        EXPECT_EQ(ini.enumSectionKeys(result), -1);
        EXPECT_TRUE(result.isNull());
        result = QStringLiteral("stale");
        EXPECT_EQ(ini.enumSectionValues(result), -1);
        EXPECT_TRUE(result.isNull());
        result = QStringLiteral("stale");
        EXPECT_EQ(ini.enumSectionValuePairs(result), -1);
        EXPECT_TRUE(result.isNull());
    }
    ini.setFile(m_dir.filePath(QStringLiteral("absent.ini")));
    QVariant result = QStringLiteral("stale");
    EXPECT_EQ(ini.enumSections(result), -1);
    EXPECT_TRUE(result.isNull());
}

TEST_F(CINIFileTest, ShortLastEntriesAreReturned)
{
    put("[Setup]\nInit=0\n[EntryID]\nEID0=x\n[b]\nk=1\n[a]\nk=1\nz=\n");
    QVariant result;
    EXPECT_EQ(ini.enumSections(result), 4);
    EXPECT_EQ(result,
              QVariant(QStringList{QStringLiteral("Setup"), QStringLiteral("EntryID"), QStringLiteral("b"),
                                   QStringLiteral("a")}));
    ini.setSection(QStringLiteral("a"));
    EXPECT_EQ(ini.enumSectionKeys(result), 2);
    EXPECT_EQ(result, QVariant(QStringList{QStringLiteral("k"), QStringLiteral("z")}));
    EXPECT_EQ(ini.enumSectionValuePairs(result), 2);
    EXPECT_EQ(ini.enumSectionValues(result), 2);
    EXPECT_EQ(result, QVariant(QVariantList{QStringLiteral("1"), QString()}));

    put("[a]\nk\n");
    EXPECT_EQ(ini.enumSectionKeys(result), 1);
    EXPECT_EQ(ini.enumSections(result), 1);
    EXPECT_EQ(result, QVariant(QStringList{QStringLiteral("a")}));
}

TEST_F(CINIFileTest, SectionsBeyondTheGrowingBufferAreListedOnlyByValues)
{
    // 20 lines of about 1000 characters: more than 16383, less than 32767.
    QByteArray data = "[Big]\n";
    for (int i = 0; i < 20; ++i)
        data += "k" + QByteArray::number(i) + "=" + QByteArray(1000, char('a' + i)) + "\n";
    put(data);
    ini.setSection(QStringLiteral("Big"));
    QVariant result;
    EXPECT_EQ(ini.enumSectionKeys(result), -1);
    EXPECT_TRUE(result.isNull());
    EXPECT_EQ(ini.enumSectionValuePairs(result), -1);
    EXPECT_TRUE(result.isNull());
    EXPECT_EQ(ini.enumSectionValues(result), 20);
    EXPECT_EQ(result.toList().at(19).toString(), QString(1000, QLatin1Char('t')));

    // Beyond the fixed buffer the values come back as far as they fit.
    data = "[Big]\n";
    for (int i = 0; i < 40; ++i)
        data += "k" + QByteArray::number(i) + "=" + QByteArray(1000, 'v') + "\n";
    put(data);
    const qint16 count = ini.enumSectionValues(result);
    EXPECT_EQ(count, 33);
    EXPECT_EQ(result.toList().size(), 33);
    EXPECT_EQ(result.toList().at(31).toString(), QString(1000, QLatin1Char('v')));
    EXPECT_LT(result.toList().at(32).toString().size(), 1000);
}

TEST_F(CINIFileTest, EnumSectionValuesLogsTheSystemCode)
{
    auto log = std::make_shared<RecordingLogWriter>();
    ini.setLogWriter(log);
    ini.setSection(QStringLiteral("Any"));
    QVariant result;
    ini.enumSectionValues(result);
    ini.enumSectionKeys(result);
    EXPECT_EQ(log->entries, QStringList{QStringLiteral("3|enumSectionValues|OS Version:0")});
}

TEST_F(CINIFileTest, WriteSectionTakesOnlyArrays)
{
    const QByteArray original = "[Setup]\nInit=0\n\n[EntryID]\nEID0=old\n";
    put(original);
    ini.setSection(QStringLiteral("EntryID"));
    ini.writeSection(QStringLiteral("EID0 = new"));
    ini.writeSection(QVariant());
    ini.writeSection(42);
    EXPECT_EQ(contents(), original);

    ini.writeSection(QStringList{QStringLiteral("EID0 = aa|bb"), QStringLiteral("EID1 = cc|dd")});
    EXPECT_EQ(contents(), "[Setup]\nInit=0\n\n[EntryID]\nEID0 = aa|bb\nEID1 = cc|dd\n");
    QVariant result;
    EXPECT_EQ(ini.enumSectionValues(result), 2);
    EXPECT_EQ(result, QVariant(QVariantList{QStringLiteral("aa|bb"), QStringLiteral("cc|dd")}));

    // An empty element does not cut off the lines after it.
    ini.writeSection(QVariantList{QStringLiteral("EID0 = x"), QString(), QStringLiteral("EID1 = y")});
    EXPECT_EQ(ini.getValue(QStringLiteral("eid1")), QVariant(QStringLiteral("y")));
}
