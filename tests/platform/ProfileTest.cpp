#include "platform/core/Profile.h"
#include "platform/core/IniFileCache.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstring>

using namespace lumora;

namespace {

class Profile : public testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("Lumora.ini")) const { return m_dir.filePath(name); }

    void put(const QByteArray &data, const QString &name = QStringLiteral("Lumora.ini")) const
    {
        QSaveFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        ASSERT_TRUE(file.commit());
    }

    QByteArray contents(const QString &name = QStringLiteral("Lumora.ini")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QByteArray read(const char *section, const char *key, const char *def = "", quint32 size = 255) const
    {
        QByteArray buffer(qsizetype(size), '\x7f');
        const quint32 n = GetPrivateProfileStringA(section, key, def, buffer.data(), size, path());
        EXPECT_EQ(buffer[qsizetype(n)], '\0');
        return buffer.left(qsizetype(n));
    }

    // A list result as its bytes without the final NUL, and its count.
    QByteArray section(const char *name, quint32 size, quint32 *count) const
    {
        QByteArray buffer(qsizetype(size), '\x7f');
        *count = GetPrivateProfileSectionA(name, buffer.data(), size, path());
        return buffer;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Profile, ReadsValuesAndDefaults)
{
    put("[Setup]\nInit = 1 \nEmpty=\n[EntryID]\nEID0=00AB|00CD\n");
    EXPECT_EQ(read("setup", "init"), "1");
    EXPECT_EQ(read("SETUP", "empty", "dflt"), "");
    EXPECT_EQ(read("Setup", "missing", "0"), "0");
    EXPECT_EQ(read("Setup", "missing", "pad  \t"), "pad");
    EXPECT_EQ(read("Setup", "missing", nullptr), "");
    EXPECT_EQ(read("Nowhere", "Init", "d"), "d");

    char buffer[8];
    EXPECT_EQ(GetPrivateProfileStringA("Setup", "Init", "d", buffer, 8, path(QStringLiteral("absent.ini"))), 1u);
    EXPECT_STREQ(buffer, "d");
    EXPECT_EQ(GetPrivateProfileStringA("Setup", "Init", "d", buffer, 8, QString()), 1u);
    EXPECT_EQ(GetPrivateProfileStringA("Setup", "Init", "d", buffer, 0, path()), 0u);
}

TEST_F(Profile, TooSmallBuffersCutValuesAndLists)
{
    put("[S]\nlong=abcdefgh\nutf=\xC3\xA4\xC3\xB6\n[T]\n[Third]\n");
    // One value: size - 1 bytes.
    EXPECT_EQ(read("S", "long", "", 5), "abcd");
    EXPECT_EQ(read("S", "long", "", 1), "");
    // Never half a character: "ä" is 2 bytes, so 3 bytes hold only it.
    EXPECT_EQ(read("S", "utf", "", 4), "\xC3\xA4");

    quint32 count = 0;
    QByteArray list = section("S", 64, &count);
    EXPECT_EQ(count, 23u);
    EXPECT_EQ(QByteArray(list.constData(), 24), QByteArray("long=abcdefgh\0utf=\xC3\xA4\xC3\xB6\0\0", 24));

    // A list that does not fit: size - 2, two NULs at the end.
    list = section("S", 10, &count);
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(list, QByteArray("long=abc\0\0", 10));
    // The count a growing-buffer caller tests for: offered 2047 gives 2045.
    put("[S]\nk=" + QByteArray(3000, 'v') + "\n");
    section("S", 2047, &count);
    EXPECT_EQ(count, 2045u);
    section("S", 4095, &count);
    EXPECT_EQ(count, 3003u);

    // Names of sections, null section and null key listings.
    put("[A]\nx=1\ny=2\n[b]\n[a]\nz=3\n");
    char names[32];
    EXPECT_EQ(GetPrivateProfileSectionNamesA(names, sizeof names, path()), 4u);
    EXPECT_EQ(QByteArray(names, 5), QByteArray("A\0b\0\0", 5));
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "ignored", names, sizeof names, path()), 4u);
    EXPECT_EQ(GetPrivateProfileStringA("a", nullptr, "ignored", names, sizeof names, path()), 4u);
    EXPECT_EQ(QByteArray(names, 5), QByteArray("x\0y\0\0", 5));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(names, 3, path()), 1u);
    EXPECT_EQ(QByteArray(names, 3), QByteArray("A\0\0", 3));

    // Empty lists are two NULs and a count of 0.
    std::memset(names, 'x', sizeof names);
    EXPECT_EQ(GetPrivateProfileSectionA("b", names, sizeof names, path()), 0u);
    EXPECT_EQ(QByteArray(names, 2), QByteArray("\0\0", 2));
    EXPECT_EQ(GetPrivateProfileSectionA("missing", names, sizeof names, path(QStringLiteral("no.ini"))), 0u);
}

TEST_F(Profile, WritesEditOneLineAndKeepTheRest)
{
    const QByteArray original = "; Lumora settings\r\n[Setup]\r\nInit=1\r\n\r\n[EntryID]\r\nEID0 = aa|bb\r\n";
    put(original);
    EXPECT_TRUE(WritePrivateProfileStringA("setup", "init", "0", path()));
    EXPECT_TRUE(WritePrivateProfileStringA("EntryID", "EID1", "cc|dd", path()));
    EXPECT_EQ(contents(), "; Lumora settings\r\n[Setup]\r\nInit=0\r\n\r\n[EntryID]\r\nEID0 = aa|bb\r\nEID1=cc|dd\r\n");

    // Null value deletes the key, null key the section; deleting nothing changes nothing.
    EXPECT_TRUE(WritePrivateProfileStringA("EntryID", "eid1", nullptr, path()));
    EXPECT_TRUE(WritePrivateProfileStringA("Missing", nullptr, nullptr, path()));
    EXPECT_EQ(contents(), QByteArray(original).replace("Init=1", "Init=0"));
    EXPECT_TRUE(WritePrivateProfileStringA("ENTRYID", nullptr, nullptr, path()));
    EXPECT_EQ(contents(), "; Lumora settings\r\n[Setup]\r\nInit=0\r\n\r\n");
    // Flush: nothing is held back.
    EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, path()));

    // Writing a whole section.
    EXPECT_TRUE(WritePrivateProfileSectionA("EntryID", "EID0 = x\0EID1 = y\0\0", path()));
    EXPECT_EQ(read("EntryID", "eid1"), "y");
    EXPECT_TRUE(WritePrivateProfileSectionA("EntryID", "EID0 = z\0  \0\0", path()));
    EXPECT_EQ(contents(), "; Lumora settings\r\n[Setup]\r\nInit=0\r\n\r\n[EntryID]\r\nEID0 = z\r\n");
}

TEST_F(Profile, DeletesOnAMissingFileCreateNothingAndWritesCreateIt)
{
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", nullptr, path()));
    EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, path()));
    EXPECT_FALSE(QFileInfo::exists(path()));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", path()));
    EXPECT_EQ(contents(), "[S]\nk=v\n");
    // No folder is created for a file, as the user's data folder is made elsewhere.
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", path(QStringLiteral("sub/x.ini"))));
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", QString()));
    EXPECT_FALSE(QFileInfo::exists(path() + QStringLiteral(".lock")));
}

TEST_F(Profile, RefusesWritesThatWouldInjectLines)
{
    put("[S]\nk=v\n");
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "x\n[Evil]\nk=1", path()));
    EXPECT_FALSE(WritePrivateProfileStringA("S", "a=b", "1", path()));
    EXPECT_FALSE(WritePrivateProfileStringA("S]x", "k", "1", path()));
    EXPECT_FALSE(WritePrivateProfileSectionA("S", "a=1\0[Evil]\0\0", path()));
    EXPECT_FALSE(WritePrivateProfileSectionA("S", "a=1\r\nb=2\0\0", path()));
    EXPECT_EQ(contents(), "[S]\nk=v\n");
}

TEST_F(Profile, WritesGoToTheTargetOfALink)
{
    put("[S]\nk=v\n", QStringLiteral("real.ini"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("real.ini")), path()));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "w", path()));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(contents(QStringLiteral("real.ini")), "[S]\nk=w\n");
}

TEST_F(Profile, SeesChangesMadeBehindItsBack)
{
    put("[S]\nk=1\n");
    EXPECT_EQ(read("S", "k"), "1");
    put("[S]\nk=22\n");
    EXPECT_EQ(read("S", "k"), "22");
    // A write applies to what is on disk now, not to the cached copy.
    put("[S]\nk=22\nother=3\n");
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "4", path()));
    EXPECT_EQ(contents(), "[S]\nk=4\nother=3\n");
    QFile::remove(path());
    EXPECT_EQ(read("S", "k", "gone"), "gone");
}

// Stands in for a second process; runs only when the parent test below starts it.
TEST(ProfileChild, WriteKeys)
{
    const QString file = qEnvironmentVariable("LUMORA_INI_CHILD_FILE");
    if (file.isEmpty())
        GTEST_SKIP() << "only run as a child of TwoProcessesKeepEachOthersWrites";
    for (int i = 0; i < 40; ++i) {
        const QByteArray key = "child" + QByteArray::number(i);
        ASSERT_TRUE(WritePrivateProfileStringA("S", key.constData(), "c", file));
    }
}

TEST_F(Profile, TwoProcessesKeepEachOthersWrites)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMORA_INI_CHILD_FILE"), path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ProfileChild.WriteKeys")});
    ASSERT_TRUE(child.waitForStarted(10000));
    // Start writing once the child does, so that the two really overlap.
    QElapsedTimer waited;
    waited.start();
    while (read("S", "child0") != "c" && waited.elapsed() < 30000)
        QThread::msleep(2);
    for (int i = 0; i < 40; ++i) {
        const QByteArray key = "parent" + QByteArray::number(i);
        ASSERT_TRUE(WritePrivateProfileStringA("S", key.constData(), "p", path()));
    }
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();

    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(read("S", ("parent" + QByteArray::number(i)).constData()), "p") << i;
        EXPECT_EQ(read("S", ("child" + QByteArray::number(i)).constData()), "c") << i;
    }
}

TEST_F(Profile, InterleavedWritersInOneProcessKeepEachOthersWrites)
{
    // Two users of one file that each remember what they read, as two plugins would.
    char buffer[16];
    GetPrivateProfileStringA("S", "a", "", buffer, sizeof buffer, path());
    const QString otherSpelling = m_dir.path() + QStringLiteral("/./Lumora.ini");
    GetPrivateProfileStringA("S", "b", "", buffer, sizeof buffer, otherSpelling);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(WritePrivateProfileStringA("S", "a", QByteArray::number(i).constData(), path()));
        EXPECT_TRUE(WritePrivateProfileStringA("S", "b", QByteArray::number(i).constData(), otherSpelling));
    }
    EXPECT_EQ(contents(), "[S]\na=9\nb=9\n");
}

TEST_F(Profile, ABatchSavesOnceAndReadsItsOwnWrites)
{
    put("[Setup]\nInit=1\n");
    {
        IniFileCache::Batch batch(path());
        EXPECT_TRUE(WritePrivateProfileStringA("Setup", "Init", "0", path()));
        EXPECT_TRUE(WritePrivateProfileStringA("EntryID", "Dummy", "Val", path()));
        EXPECT_TRUE(WritePrivateProfileStringA("EntryID", "Dummy", nullptr, path()));
        EXPECT_TRUE(WritePrivateProfileStringA("EntryID", "EID0", "AB|CD", path()));
        EXPECT_EQ(read("Setup", "Init"), "0");
        EXPECT_EQ(read("EntryID", "EID0"), "AB|CD");
        EXPECT_EQ(contents(), "[Setup]\nInit=1\n"); // nothing saved yet
        QLockFile other(path() + QStringLiteral(".lock"));
        EXPECT_FALSE(other.tryLock(0));
    }
    EXPECT_EQ(contents(), "[Setup]\nInit=0\n[EntryID]\nEID0=AB|CD\n");

    // A batch that changes nothing leaves the file alone; one on a fresh file creates it.
    const QFileInfo before(path());
    {
        IniFileCache::Batch batch(path());
        EXPECT_TRUE(WritePrivateProfileStringA("Setup", "Init", "0", path()));
        EXPECT_TRUE(batch.commit());
    }
    EXPECT_EQ(QFileInfo(path()).lastModified(), before.lastModified());
    {
        IniFileCache::Batch batch(path(QStringLiteral("new.ini")));
        EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "v", path(QStringLiteral("new.ini"))));
    }
    EXPECT_EQ(contents(QStringLiteral("new.ini")), "[A]\nk=v\n");
}
