// The settings' registry routines over the registry store, and the data folder.
#include "settings/modRegistry.h"
#include "settings/SettingsLocation.h"
#include "settings/modSpecialFolders.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::reg;

namespace {

const QString kKey = QStringLiteral("Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora");

class ModRegistry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_old); }

    // Stores raw bytes the way another tool might.
    static void storeRaw(const QString &name, DWORD type, const QByteArray &bytes)
    {
        HKEY key = 0;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const unsigned char *>(bytes.constData()),
                                 DWORD(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    static QByteArray storedBytes(const QString &keyPath, const QString &name)
    {
        HKEY key = 0;
        if (RegOpenKeyA(HKEY_CURRENT_USER, keyPath, &key) != ERROR_SUCCESS)
            return QByteArray("<no key>");
        DWORD size = 0;
        QByteArray data;
        if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(qsizetype(size));
            RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<unsigned char *>(data.data()), &size);
        } else {
            data = "<no value>";
        }
        RegCloseKey(key);
        return data;
    }

    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace

TEST_F(ModRegistry, StringsAreStoredWithOneNulAndReadWithout)
{
    EXPECT_TRUE(modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("MessageDelay"),
                                                QStringLiteral("4000"), 1));
    EXPECT_EQ(storedBytes(kKey, QStringLiteral("MessageDelay")), QByteArray("4000", 5));
    const QVariant v = modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("messagedelay"));
    EXPECT_EQ(v.typeId(), QMetaType::QString);
    EXPECT_EQ(v.toString(), QStringLiteral("4000"));

    // Only the one stored terminator is dropped; text stored without one is kept whole.
    storeRaw(QStringLiteral("NoNul"), REG_SZ, QByteArray("abc"));
    storeRaw(QStringLiteral("TwoNuls"), REG_SZ, QByteArray("abc\0\0", 5));
    storeRaw(QStringLiteral("JustNul"), REG_SZ, QByteArray(1, '\0'));
    storeRaw(QStringLiteral("Utf8"), REG_SZ, QStringLiteral("/home/ü/new.wav").toUtf8() + '\0');
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("NoNul")).toString(),
              QStringLiteral("abc"));
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("TwoNuls")).toString(),
              QString::fromUtf8("abc\0", 4));
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("JustNul")).toString(), QString());
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Utf8")).toString(),
              QStringLiteral("/home/ü/new.wav"));
}

TEST_F(ModRegistry, NumbersReadAsSigned32BitValues)
{
    storeRaw(QStringLiteral("Small"), REG_DWORD, QByteArray("\x2a\0\0\0", 4));
    storeRaw(QStringLiteral("High"), REG_DWORD, QByteArray("\xff\xff\xff\xff", 4));
    storeRaw(QStringLiteral("Short"), REG_DWORD, QByteArray("\x05", 1));
    storeRaw(QStringLiteral("Long"), REG_DWORD, QByteArray(8, '\x01'));
    const QVariant small = modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Small"));
    EXPECT_EQ(small.typeId(), QMetaType::Int);
    EXPECT_EQ(small.toInt(), 42);
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("High")).toInt(), -1);
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Short")).toInt(), 5);
    EXPECT_TRUE(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Long")).isNull());

    EXPECT_TRUE(
        modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("W"), QStringLiteral("300"), 4));
    EXPECT_EQ(storedBytes(kKey, QStringLiteral("W")), QByteArray("\x2c\x01\0\0", 4));
    EXPECT_TRUE(modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("W"), 4294967295.0, 4));
    EXPECT_EQ(storedBytes(kKey, QStringLiteral("W")), QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_FALSE(
        modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Bad"), QStringLiteral("x"), 4));
    EXPECT_EQ(storedBytes(kKey, QStringLiteral("Bad")), QByteArray("<no value>"));
}

TEST_F(ModRegistry, QueryValueExReportsEachOutcome)
{
    storeRaw(QStringLiteral("Bin"), REG_BINARY, QByteArray("\x01\x02", 2));
    storeRaw(QStringLiteral("Text"), REG_SZ, QByteArray("t", 2));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, kKey, &key), ERROR_SUCCESS);
    QVariant v = QStringLiteral("stale");
    EXPECT_EQ(modRegistry::QueryValueEx(key, QStringLiteral("Bin"), v), -1);
    EXPECT_TRUE(v.isNull());
    v = QStringLiteral("stale");
    EXPECT_EQ(modRegistry::QueryValueEx(key, QStringLiteral("Missing"), v), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(v.isNull());
    EXPECT_EQ(modRegistry::QueryValueEx(key, QStringLiteral("Text"), v), ERROR_SUCCESS);
    EXPECT_EQ(v.toString(), QString::fromUtf8("t\0", 2)); // the terminator is the reader's to drop
    EXPECT_EQ(modRegistry::QueryValueEx(HKEY(0x4242), QStringLiteral("Text"), v), ERROR_INVALID_HANDLE);

    // A type the routines do not write is refused rather than reported as written.
    EXPECT_NE(modRegistry::SetValueEx(key, QStringLiteral("Other"), 3, QStringLiteral("x")), ERROR_SUCCESS);
    EXPECT_EQ(storedBytes(kKey, QStringLiteral("Other")), QByteArray("<no value>"));
    RegCloseKey(key);
    EXPECT_TRUE(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Bin")).isNull());
}

TEST_F(ModRegistry, KeyPathsAreTakenBelowTheRoot)
{
    const QString slashed = u'\\' + kKey;
    EXPECT_TRUE(modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, slashed, QStringLiteral("PopAlign"),
                                                QStringLiteral("3"), 1));
    EXPECT_EQ(storedBytes(kKey, QStringLiteral("PopAlign")), QByteArray("3", 2));

    // An empty path (also one left empty by the dropped backslash) writes nothing at the root.
    EXPECT_FALSE(modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, QString(), QStringLiteral("PopAlign"),
                                                 QStringLiteral("1"), 1));
    EXPECT_FALSE(modRegistry::WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("\\"), QStringLiteral("PopAlign"),
                                                 QStringLiteral("1"), 1));
    EXPECT_EQ(storedBytes(QString(), QStringLiteral("PopAlign")), QByteArray("<no value>"));
    // Reading with an empty path looks directly under the root, where nothing is.
    EXPECT_TRUE(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, QString(), QStringLiteral("PopAlign")).isNull());
    EXPECT_TRUE(modRegistry::ReadRegistryValue(HKEY_CURRENT_USER, QStringLiteral("No\\Such\\Key"), QStringLiteral("x"))
                    .isNull());
    EXPECT_EQ(modRegistry::ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("PopAlign")), QVariant());
}

TEST(SpecialFolders, ApplicationDataIsTheXdgDataHome)
{
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const QByteArray oldHome = qgetenv("HOME");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());

    qputenv("XDG_DATA_HOME", "/data/home/");
    EXPECT_EQ(modSpecialFolders::GetSpecialFolder(26), QStringLiteral("/data/home"));
    qputenv("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(modSpecialFolders::GetSpecialFolder(26), home.path() + QStringLiteral("/.local/share"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(modSpecialFolders::GetSpecialFolder(26), home.path() + QStringLiteral("/.local/share"));
    for (qint32 other : {0, 5, 25, 27, 28, -1})
        EXPECT_EQ(modSpecialFolders::GetSpecialFolder(other), QString()) << other;

    qputenv("XDG_DATA_HOME", oldData);
    qputenv("HOME", oldHome);
}

// Both plugins and the stored files depend on these two places never moving.
TEST(SettingsLocation, KeyByHostVersionAndDataFolderUnderApplicationData)
{
    EXPECT_EQ(SettingsLocation::registryKey(QStringLiteral("10")), kKey);
    EXPECT_EQ(SettingsLocation::registryKey(QStringLiteral("9")),
              QStringLiteral("Software\\Microsoft\\Office\\9.0\\Outlook\\Options\\Lumora"));
    EXPECT_EQ(SettingsLocation::dataFolder(),
              modSpecialFolders::GetSpecialFolder(26) + QStringLiteral("/Corvane Software/Lumora"));
}
