// The INI and registry stores under hand edits and hostile conditions: a full disk, a
// writer killed mid-write. Whatever happens, the file on disk stays whole and a failed
// write is reported as failed.
#include "platform/core/IniFileCache.h"
#include "platform/core/Profile.h"
#include "platform/core/RegFile.h"
#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/TempHome.h"
#include "tests/testsupport/Unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace lumora;
using lumora::test::fileBytes;
using lumora::test::FullDisk;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray profileRead(const char *section, const char *key, const QString &file)
{
    QByteArray buffer(256, '\0');
    const quint32 n = GetPrivateProfileStringA(section, key, "<default>", buffer.data(), 256, file);
    return buffer.left(qsizetype(n));
}

class StoreFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        IniFileCache::instance().clear();
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_oldConfig); }

    QString ini() const { return m_dir.filePath(QStringLiteral("Lumora.ini")); }
    QString reg() const { return RegistryStore::filePath(RegistryStore::Root::CurrentUser); }

    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
};

} // namespace

TEST_F(StoreFaults, HandEditedIniFilesReadAsTheirAuthorMeantThem)
{
    // Quoted values, and lines ended by a lone CR as old Mac editors write them.
    writeFile(ini(), "[Setup]\rInit=\"1\"\rName = \"two words\" \rOdd=\"half\r[EntryID]\rEID0=\"\"\r");
    EXPECT_EQ(profileRead("Setup", "Init", ini()), "1");
    EXPECT_EQ(profileRead("Setup", "Name", ini()), "two words");
    EXPECT_EQ(profileRead("Setup", "Odd", ini()), "\"half");
    EXPECT_EQ(profileRead("EntryID", "EID0", ini()), "");

    // An edit keeps the file's own line ends.
    EXPECT_TRUE(WritePrivateProfileStringA("Setup", "Init", "0", ini()));
    EXPECT_EQ(fileBytes(ini()), "[Setup]\rInit=0\rName = \"two words\" \rOdd=\"half\r[EntryID]\rEID0=\"\"\r");

    // A write that names no section writes nothing and says so.
    const QByteArray before = fileBytes(ini());
    EXPECT_FALSE(WritePrivateProfileStringA("", "Key", "v", ini()));
    EXPECT_FALSE(WritePrivateProfileStringA("  ", "Key", "v", ini()));
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "Key", "v", ini()));
    EXPECT_FALSE(WritePrivateProfileSectionA("", "a=b\0", ini()));
    EXPECT_EQ(fileBytes(ini()), before);
    EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini())); // the flush
}

TEST_F(StoreFaults, RegFilesWithLoneCrLineEndsRead)
{
    const RegFile::Parsed parsed =
        RegFile::parse("Windows Registry Editor Version 5.00\r\r[HKEY_CURRENT_USER\\Software\\A]\r\"Name\"=\"v\"\r"
                       "\"Num\"=dword:0000002a\r");
    EXPECT_EQ(parsed.errorCount, 0);
    ASSERT_EQ(parsed.keys.size(), 1);
    ASSERT_EQ(parsed.keys[0].values.size(), 2);
    EXPECT_EQ(parsed.keys[0].values[0].name, QStringLiteral("Name"));
    EXPECT_EQ(parsed.keys[0].values[1].type, quint32(reg::REG_DWORD));
}

TEST_F(StoreFaults, AFullDiskKeepsTheOldFilesWholeAndTheWriteFails)
{
    ASSERT_TRUE(WritePrivateProfileStringA("EntryID", "EID0", "AAAA|BBBB", ini()));
    RegistryStore &store = RegistryStore::instance();
    ASSERT_EQ(store.setValue(RegistryStore::Root::CurrentUser, QStringLiteral("Software\\Lumora"),
                             RegFile::Value{QStringLiteral("Kept"), reg::REG_SZ, QByteArray("old\0", 4)}, true),
              reg::ERROR_SUCCESS);
    const QByteArray iniBefore = fileBytes(ini());
    const QByteArray regBefore = fileBytes(reg());
    const QByteArray big(64 * 1024, 'x');
    {
        FullDisk full(4096);
        EXPECT_FALSE(WritePrivateProfileStringA("EntryID", "EID1", big.constData(), ini()));
        EXPECT_NE(store.setValue(RegistryStore::Root::CurrentUser, QStringLiteral("Software\\Lumora"),
                                 RegFile::Value{QStringLiteral("Big"), reg::REG_SZ, big}, true),
                  reg::ERROR_SUCCESS);
    }
    // The store says which file could not be written and why, for the caller to show.
    EXPECT_EQ(store.lastError(), QStringLiteral("%1 cannot be written: File too large").arg(reg()))
        << store.lastError().toStdString();
    EXPECT_EQ(fileBytes(ini()), iniBefore);
    EXPECT_EQ(fileBytes(reg()), regBefore);
    EXPECT_EQ(profileRead("EntryID", "EID0", ini()), "AAAA|BBBB");
    EXPECT_EQ(profileRead("EntryID", "EID1", ini()), "<default>");
    EXPECT_FALSE(
        store.value(RegistryStore::Root::CurrentUser, QStringLiteral("Software\\Lumora"), QStringLiteral("Big")));
    EXPECT_TRUE(
        store.value(RegistryStore::Root::CurrentUser, QStringLiteral("Software\\Lumora"), QStringLiteral("Kept")));
    // No temporary files are left behind.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(StoreFaults, AFolderThatMayNotBeWrittenIsNamedAndTheFileStaysWhole)
{
    RegistryStore &store = RegistryStore::instance();
    const QString key = QStringLiteral("Software\\Lumora");
    ASSERT_EQ(store.setValue(RegistryStore::Root::CurrentUser, key,
                             RegFile::Value{QStringLiteral("Kept"), reg::REG_SZ, QByteArray("old\0", 4)}, true),
              reg::ERROR_SUCCESS);
    const QByteArray before = fileBytes(reg());
    const QString folder = QFileInfo(reg()).absolutePath();
    QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(QFileInfo(folder).absolutePath(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
    {
        test::Unprivileged unprivileged;
        EXPECT_EQ(store.setValue(RegistryStore::Root::CurrentUser, key,
                                 RegFile::Value{QStringLiteral("New"), reg::REG_SZ, QByteArray("x\0", 2)}, true),
                  reg::ERROR_ACCESS_DENIED);
        EXPECT_EQ(store.lastError(), QStringLiteral("There is no permission to write in the folder %1").arg(folder));
    }
    QFile::setPermissions(folder, QFileDevice::Permissions(0x7700));
    EXPECT_EQ(fileBytes(reg()), before);
    EXPECT_FALSE(store.value(RegistryStore::Root::CurrentUser, key, QStringLiteral("New")));

    // A file that is a folder cannot be read, and is never written over.
    QFile::remove(reg());
    ASSERT_TRUE(QDir().mkpath(reg()));
    EXPECT_NE(store.setValue(RegistryStore::Root::CurrentUser, key,
                             RegFile::Value{QStringLiteral("New"), reg::REG_SZ, QByteArray("x\0", 2)}, true),
              reg::ERROR_SUCCESS);
    EXPECT_EQ(store.lastError(), QStringLiteral("%1 cannot be read, so it is not overwritten").arg(reg()));
    EXPECT_TRUE(QFileInfo(reg()).isDir());
}

// Stands in for a writer that is killed; runs only when the test below starts it.
TEST(StoreFaultsChild, WriteUntilKilled)
{
    const QString file = qEnvironmentVariable("LUMORA_KILLED_WRITER_INI");
    if (file.isEmpty())
        GTEST_SKIP() << "only run as a child of AWriterKilledMidWriteLeavesWholeFiles";
    // The test runner gave this process a home of its own; write where the parent reads.
    qputenv("XDG_CONFIG_HOME", qgetenv("LUMORA_KILLED_WRITER_CONFIG"));
    RegistryStore &store = RegistryStore::instance();
    for (int i = 0;; ++i) {
        const QByteArray value = QByteArray::number(i) + QByteArray(2000 + i % 500, 'v');
        WritePrivateProfileStringA("S", ("k" + QByteArray::number(i % 50)).constData(), value.constData(), file);
        store.setValue(RegistryStore::Root::CurrentUser, QStringLiteral("Software\\Kill"),
                       RegFile::Value{QStringLiteral("v%1").arg(i % 50), reg::REG_SZ, value}, true);
        if (i == 0) {
            std::fputs("writing\n", stdout);
            std::fflush(stdout);
        }
    }
}

TEST_F(StoreFaults, AWriterKilledMidWriteLeavesWholeFiles)
{
    for (int round = 0; round < 5; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMORA_KILLED_WRITER_INI"), ini());
        env.insert(QStringLiteral("LUMORA_KILLED_WRITER_CONFIG"), m_dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=StoreFaultsChild.WriteUntilKilled")});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray output;
        while (!output.contains("writing\n") && child.waitForReadyRead(30000))
            output += child.readAllStandardOutput();
        ASSERT_TRUE(output.contains("writing\n")) << output.toStdString();
        QThread::msleep(20 + 37 * round);
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));

        // Every key the INI holds has a whole value, and the registry file parses cleanly.
        IniFileCache::instance().clear();
        const QByteArray text = fileBytes(ini());
        ASSERT_TRUE(text.startsWith("[S]")) << round;
        for (const QByteArray &line : text.split('\n')) {
            if (!line.startsWith('k'))
                continue;
            const QByteArray value = line.mid(line.indexOf('=') + 1);
            const int i = value.left(value.indexOf('v')).toInt();
            EXPECT_EQ(value.size(), QByteArray::number(i).size() + 2000 + i % 500) << round;
        }
        const RegFile::Parsed parsed = RegFile::parse(fileBytes(reg()));
        EXPECT_EQ(parsed.errorCount, 0) << round;
        EXPECT_FALSE(parsed.keys.isEmpty()) << round;
    }
}
