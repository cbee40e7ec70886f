// Settings files that are not files: a named pipe, a link to a device, a file far too large.
// Each is refused at once with a reason, read as empty and left as it is.
#include "platform/core/IniFileCache.h"
#include "platform/core/Profile.h"
#include "platform/core/Registry.h"
#include "platform/core/RegularFile.h"
#include "platform/core/Verbose.h"
#include "tests/testsupport/PromptReturn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumora;
using namespace lumora::reg;

using lumora::test::returnsPromptly;

namespace {

bool isFifo(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

class SpecialFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        IniFileCache::instance().clear();
        Verbose::setSink([this](const QString &line) { m_said << line; });
        QDir().mkpath(QFileInfo(reg()).absolutePath());
    }
    void TearDown() override
    {
        Verbose::setSink({});
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }

    QString ini() const { return m_dir.filePath(QStringLiteral("Lumora.ini")); }
    QString reg() const { return m_dir.path() + QStringLiteral("/lumora/registry/user.reg"); }
    void makeFifo(const QString &path) const { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }
    // A sparse file: its size without the disk space.
    void makeHuge(const QString &path, qint64 bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(bytes));
    }

    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    QStringList m_said;
};

QByteArray profileRead(const QString &file)
{
    QByteArray buffer(64, '\0');
    const quint32 n = GetPrivateProfileStringA("Setup", "Init", "<default>", buffer.data(), 64, file);
    return buffer.left(qsizetype(n));
}

} // namespace

TEST_F(SpecialFiles, AnIniFileThatIsAPipeReadsEmptyIsNeverWrittenAndIsToldOnce)
{
    makeFifo(ini());
    QByteArray first;
    QByteArray second;
    bool written = true;
    ASSERT_TRUE(returnsPromptly(
        [&] {
            first = profileRead(ini());
            second = profileRead(ini());
            written = WritePrivateProfileStringA("Setup", "Init", "1", ini());
        },
        ini()));
    EXPECT_EQ(first, "<default>");
    EXPECT_EQ(second, "<default>");
    EXPECT_FALSE(written);
    EXPECT_TRUE(isFifo(ini())) << "the pipe was replaced";
    ASSERT_EQ(m_said.size(), 1) << m_said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(m_said.first().contains(ini()) && m_said.first().contains(QStringLiteral("named pipe")))
        << m_said.first().toStdString();
}

TEST_F(SpecialFiles, IniFilesLinkedToADeviceOrFarTooLargeAreRefused)
{
    const QString zero = m_dir.filePath(QStringLiteral("zero.ini"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    EXPECT_EQ(profileRead(zero), "<default>");
    EXPECT_FALSE(WritePrivateProfileStringA("Setup", "Init", "1", zero));
    EXPECT_EQ(QFileInfo(zero).symLinkTarget(), QStringLiteral("/dev/zero"));

    makeHuge(ini(), 100 * 1024 * 1024);
    EXPECT_EQ(profileRead(ini()), "<default>");
    EXPECT_FALSE(WritePrivateProfileStringA("Setup", "Init", "1", ini()));
    EXPECT_EQ(QFileInfo(ini()).size(), 100 * 1024 * 1024);
    const QString told = m_said.join(QLatin1Char('\n'));
    EXPECT_TRUE(told.contains(QStringLiteral("a device"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("larger than"))) << told.toStdString();
}

TEST_F(SpecialFiles, ARegistryFileThatIsAPipeADeviceOrHugeIsReadAsUnreadableAndKept)
{
    const auto tryIt = [&] {
        HKEY key = 0;
        LONG opened = ERROR_SUCCESS;
        LONG created = ERROR_SUCCESS;
        ASSERT_TRUE(returnsPromptly(
            [&] {
                opened = RegOpenKeyA(HKEY_CURRENT_USER, QStringLiteral("Software"), &key);
                created = RegCreateKeyA(HKEY_CURRENT_USER, QStringLiteral("Software\\Lumora"), &key);
            },
            reg()));
        EXPECT_NE(opened, ERROR_SUCCESS);
        EXPECT_EQ(created, ERROR_ACCESS_DENIED) << "a file that could not be read was overwritten";
    };

    makeFifo(reg());
    tryIt();
    EXPECT_TRUE(isFifo(reg()));
    QFile::remove(reg());

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), reg()));
    tryIt();
    EXPECT_EQ(QFileInfo(reg()).symLinkTarget(), QStringLiteral("/dev/zero"));
    QFile::remove(reg());

    makeHuge(reg(), 100 * 1024 * 1024);
    tryIt();
    EXPECT_EQ(QFileInfo(reg()).size(), 100 * 1024 * 1024);
}

TEST_F(SpecialFiles, OnlyRegularFilesAreOpenedAndReadsStayWithinTheirBound)
{
    const QString pipe = m_dir.filePath(QStringLiteral("pipe"));
    makeFifo(pipe);
    RegularFile file;
    EXPECT_FALSE(file.openForReading(pipe));
    EXPECT_TRUE(file.errorString().contains(QStringLiteral("named pipe"))) << file.errorString().toStdString();
    EXPECT_FALSE(file.openForAppend(pipe)) << "appending would wait for a reader";
    EXPECT_FALSE(file.openForReading(m_dir.path()));
    EXPECT_TRUE(file.errorString().contains(QStringLiteral("directory")));

    const QString text = m_dir.filePath(QStringLiteral("text"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0123456789");
    }
    QByteArray data;
    EXPECT_TRUE(RegularFile::readFile(text, 10, &data));
    EXPECT_EQ(data, "0123456789");
    QString why;
    data.clear();
    EXPECT_FALSE(RegularFile::readFile(text, 9, &data, &why));
    EXPECT_TRUE(data.isEmpty());
    EXPECT_TRUE(why.contains(QStringLiteral("larger than 9 bytes"))) << why.toStdString();

    // A link is followed unless refused; the descriptor tells where it led.
    const QString link = m_dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(text, link));
    ASSERT_TRUE(file.openForReading(link));
    EXPECT_EQ(file.openedPath(), QFileInfo(text).canonicalFilePath());
    EXPECT_FALSE(file.openForReading(link, RegularFile::Links::Refuse));
    EXPECT_TRUE(file.errorString().contains(QStringLiteral("symbolic link"))) << file.errorString().toStdString();
}
