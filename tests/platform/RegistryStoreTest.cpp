// The registry calls over their files: semantics, persistence, concurrent writers and
// damaged files on disk.
#include "platform/core/RegistryStore.h"
#include "platform/core/RegFile.h"
#include "platform/core/Registry.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace lumora::reg;
using lumora::RegistryStore;

namespace {

// Each test gets its own configuration folder, so its registry starts empty.
class Registry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_old); }

    QString userFile() const { return m_dir.path() + QStringLiteral("/lumora/registry/user.reg"); }

    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static LONG setString(HKEY key, const QString &name, const QByteArray &text)
    {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const unsigned char *>(text.constData()),
                              DWORD(text.size()));
    }

    static QByteArray query(HKEY key, const QString &name, DWORD *type = nullptr)
    {
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            return QByteArray("<missing>");
        QByteArray data(qsizetype(size), '\0');
        EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<unsigned char *>(data.data()), &size),
                  ERROR_SUCCESS);
        return data.left(qsizetype(size));
    }

    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace

TEST_F(Registry, KeysAndValuesIgnoreCaseAndKeepTheFirstSpelling)
{
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Lumora"), &key), ERROR_SUCCESS);
    EXPECT_EQ(setString(key, QStringLiteral("PopAlign"), QByteArray("3", 2)), ERROR_SUCCESS);
    EXPECT_EQ(setString(key, QString(), QByteArray("dflt", 5)), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    HKEY again = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\corvane\\LUMORA"), &again), ERROR_SUCCESS);
    EXPECT_EQ(query(again, QStringLiteral("popalign")), QByteArray("3", 2));
    EXPECT_EQ(query(again, QString()), QByteArray("dflt", 5));
    EXPECT_EQ(setString(again, QStringLiteral("POPALIGN"), QByteArray("4", 2)), ERROR_SUCCESS);
    QString name;
    EXPECT_EQ(RegEnumKeyA(HKEY_CURRENT_USER, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, QStringLiteral("Software"));
    RegCloseKey(again);

    const QByteArray text = fileBytes(userFile());
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Corvane\\Lumora]\n")) << text.constData();
    EXPECT_TRUE(text.contains("\"PopAlign\"=\"4\"\n")) << text.constData();
    EXPECT_TRUE(text.contains("@=\"dflt\"\n"));
}

TEST_F(Registry, StatusCodesFollowTheWindowsCalls)
{
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, QStringLiteral("Missing"), &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, HKEY(0));
    EXPECT_EQ(RegOpenKeyA(HKEY(0x4242), QString(), &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, QString(), nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QString(256, u'x'), &key), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("A"), &key), ERROR_SUCCESS);
    ASSERT_EQ(setString(key, QStringLiteral("v"), QByteArray("hello", 6)), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, QStringLiteral("v"), nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
    unsigned char small[3] = {'?', '?', '?'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, QStringLiteral("v"), nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueExA(key, QStringLiteral("none"), nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, QStringLiteral("none")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, QStringLiteral("V")), ERROR_SUCCESS);
    EXPECT_EQ(query(key, QStringLiteral("v")), QByteArray("<missing>"));

    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(setString(key, QStringLiteral("v"), QByteArray("x", 2)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, QString()), ERROR_ACCESS_DENIED);
}

TEST_F(Registry, DeletingAKeyTakesItsSubKeysAndLeavesHandlesDangling)
{
    HKEY deep = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, QStringLiteral("Top\\Mid\\Deep"), &deep), ERROR_SUCCESS);
    HKEY sibling = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, QStringLiteral("Top\\Mid2"), &sibling), ERROR_SUCCESS);
    HKEY top = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, QStringLiteral("Top"), &top), ERROR_SUCCESS);
    QStringList names;
    QString name;
    for (DWORD i = 0; RegEnumKeyA(top, i, &name) == ERROR_SUCCESS; ++i)
        names.append(name);
    EXPECT_EQ(names, QStringList({QStringLiteral("Mid"), QStringLiteral("Mid2")}));
    EXPECT_EQ(RegEnumKeyA(top, 2, &name), ERROR_NO_MORE_ITEMS);

    EXPECT_EQ(RegDeleteKeyA(top, QStringLiteral("Mid")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(top, QStringLiteral("Mid")), ERROR_FILE_NOT_FOUND);
    HKEY reopened = 0;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, QStringLiteral("Top\\Mid\\Deep"), &reopened), ERROR_FILE_NOT_FOUND);
    // A value set through a handle to a deleted key does not bring the key back.
    HKEY stale = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, QStringLiteral("Top\\Gone"), &stale), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, QStringLiteral("Top\\Gone")), ERROR_SUCCESS);
    EXPECT_EQ(setString(stale, QStringLiteral("v"), QByteArray("x", 2)), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(RegistryStore::instance().keyExists(RegistryStore::Root::LocalMachine, QStringLiteral("Top\\Gone")));
    for (HKEY h : {deep, sibling, top, stale})
        RegCloseKey(h);
}

TEST_F(Registry, ClassesRootIsTheUsersSoftwareClasses)
{
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, QStringLiteral("Lumora.Connect"), &key), ERROR_SUCCESS);
    ASSERT_EQ(setString(key, QString(), QByteArray("Connect", 8)), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, QStringLiteral("Software\\Classes\\lumora.connect"), &key), ERROR_SUCCESS);
    EXPECT_EQ(query(key, QString()), QByteArray("Connect", 8));
    RegCloseKey(key);
}

TEST_F(Registry, ExactBytesAndTypesSurviveTheFile)
{
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Bytes"), &key), ERROR_SUCCESS);
    const QList<QPair<DWORD, QByteArray>> rows{
        {REG_SZ, QByteArray("nul", 4)},        {REG_SZ, QByteArray("nonul", 5)},
        {REG_SZ, QByteArray("two\0", 5)},      {REG_DWORD, QByteArray("\x01\0\0\0", 4)},
        {REG_BINARY, QByteArray("\0\xff", 2)}, {REG_QWORD, QByteArray(8, '\x7f')}};
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(RegSetValueExA(key, QString::number(i), 0, rows[i].first,
                                 reinterpret_cast<const unsigned char *>(rows[i].second.constData()),
                                 DWORD(rows[i].second.size())),
                  ERROR_SUCCESS);
    }
    // Another writer's file replaces ours: what we read back must come from disk.
    const QByteArray text = fileBytes(userFile());
    writeFile(userFile(), QByteArray());
    EXPECT_EQ(query(key, QStringLiteral("0")), QByteArray("<missing>"));
    writeFile(userFile(), text);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        DWORD type = 0;
        EXPECT_EQ(query(key, QString::number(i), &type), rows[i].second) << i;
        EXPECT_EQ(type, rows[i].first);
    }
    RegCloseKey(key);
}

TEST_F(Registry, ADamagedFileIsKeptAndWhatWasReadableSurvivesTheNextWrite)
{
    const QByteArray damaged("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Keep]\r\n\"a\"=\"1\"\r\n"
                             "\"b\"=dword:zz\r\n[HKEY_CURRENT_USER\\Keep\\Sub]\r\n\"c\"=hex:01,02\r\n\"d\"=\"trunc");
    writeFile(userFile(), damaged);
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Keep"), &key), ERROR_SUCCESS);
    EXPECT_EQ(query(key, QStringLiteral("a")), QByteArray("1", 2));
    EXPECT_EQ(query(key, QStringLiteral("b")), QByteArray("<missing>"));
    ASSERT_EQ(setString(key, QStringLiteral("new"), QByteArray("x", 2)), ERROR_SUCCESS);
    RegCloseKey(key);

    const QStringList copies =
        QDir(QFileInfo(userFile()).absolutePath()).entryList({QStringLiteral("user.reg.corrupt-*")}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(fileBytes(QFileInfo(userFile()).absolutePath() + u'/' + copies[0]), damaged);

    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, QStringLiteral("Keep\\Sub"), &key), ERROR_SUCCESS);
    EXPECT_EQ(query(key, QStringLiteral("c")), QByteArray("\x01\x02", 2));
    RegCloseKey(key);
    EXPECT_EQ(lumora::RegFile::parse(fileBytes(userFile())).errorCount, 0);
}

TEST_F(Registry, AnUnreadableFileIsNeverOverwritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    writeFile(userFile(), QByteArray("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n"));
    QFile::setPermissions(userFile(), QFileDevice::Permissions());
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Y"), &key), ERROR_ACCESS_DENIED);
    QFile::setPermissions(userFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(fileBytes(userFile()), QByteArray("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n"));
}

TEST_F(Registry, TwoProcessesWritingAtOnceKeepBothChanges)
{
    constexpr int kWrites = 40;
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Shared"), &key), ERROR_SUCCESS);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int failures = 0;
        for (int i = 0; i < kWrites; ++i)
            failures += setString(key, QStringLiteral("child%1").arg(i), QByteArray("c", 2)) != ERROR_SUCCESS;
        _exit(failures == 0 ? 0 : 1);
    }
    for (int i = 0; i < kWrites; ++i)
        EXPECT_EQ(setString(key, QStringLiteral("parent%1").arg(i), QByteArray("p", 2)), ERROR_SUCCESS);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(query(key, QStringLiteral("child%1").arg(i)), QByteArray("c", 2)) << i;
        EXPECT_EQ(query(key, QStringLiteral("parent%1").arg(i)), QByteArray("p", 2)) << i;
    }
    RegCloseKey(key);
}

TEST_F(Registry, ABatchSavesOnceUnderItsLockAndReadsItsOwnWrites)
{
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Before"), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    const QByteArray before = fileBytes(userFile());
    {
        RegistryStore::Batch batch(RegistryStore::Root::CurrentUser);
        {
            RegistryStore::Batch nested(RegistryStore::Root::CurrentUser);
            ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Settings\\Popup"), &key), ERROR_SUCCESS);
            for (int i = 0; i < 10; ++i)
                EXPECT_EQ(setString(key, QStringLiteral("v%1").arg(i), QByteArray::number(i)), ERROR_SUCCESS);
            ASSERT_EQ(setString(HKEY_CLASSES_ROOT, QStringLiteral("Cls"), "c"), ERROR_SUCCESS);
            EXPECT_TRUE(nested.commit()); // the outer batch still holds the save
        }
        EXPECT_EQ(fileBytes(userFile()), before);
        EXPECT_EQ(query(key, QStringLiteral("v9")), QByteArray("9"));
        EXPECT_EQ(RegistryStore::instance().subKeys(RegistryStore::Root::CurrentUser, QStringLiteral("Settings")),
                  QStringList{QStringLiteral("Popup")});
        // No other writer gets in while the batch is open.
        QLockFile other(userFile() + QStringLiteral(".lock"));
        EXPECT_FALSE(other.tryLock(0));
        EXPECT_TRUE(batch.commit());
    }
    const QByteArray after = fileBytes(userFile());
    EXPECT_TRUE(after.contains("[HKEY_CURRENT_USER\\Settings\\Popup]"));
    EXPECT_TRUE(after.contains("\"v0\"") && after.contains("\"v9\""));
    EXPECT_TRUE(after.contains("[HKEY_CURRENT_USER\\Software\\Classes]"));
    EXPECT_TRUE(after.contains("[HKEY_CURRENT_USER\\Before]"));
    QLockFile other(userFile() + QStringLiteral(".lock"));
    EXPECT_TRUE(other.tryLock(0));
    RegCloseKey(key);
}
