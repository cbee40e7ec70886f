// How the executable fits a desktop without running it: its autostart entry, where it looks
// for its plugins, and the display platform it picks.
#include "app/Autostart.h"
#include "app/DisplayPlatform.h"
#include "app/InstallLayout.h"
#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Runs a test with PATH replaced, restoring it after.
class ScopedPath
{
public:
    explicit ScopedPath(const QString &value)
        : m_old(qgetenv("PATH"))
    {
        qputenv("PATH", value.toUtf8());
    }
    ~ScopedPath() { qputenv("PATH", m_old); }

private:
    QByteArray m_old;
};

class AutostartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_oldConfig); }

    QTemporaryDir m_config;
    QByteArray m_oldConfig;
};

} // namespace

TEST_F(AutostartTest, TurnsOnAndOffInTheUsersConfigFolder)
{
    EXPECT_EQ(Autostart::entryPath(), m_config.path() + QStringLiteral("/autostart/lumora.desktop"));
    EXPECT_FALSE(Autostart::isEnabled());
    // Off when already off is no failure.
    EXPECT_TRUE(Autostart::setEnabled(false));

    QString error;
    ASSERT_TRUE(Autostart::setEnabled(true, &error)) << error.toStdString();
    EXPECT_TRUE(Autostart::isEnabled());
    const QByteArray text = readAll(Autostart::entryPath());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec="));
    EXPECT_TRUE(text.contains("\nTryExec="));

    // Turning it on again rewrites the entry in place.
    ASSERT_TRUE(Autostart::setEnabled(true));
    EXPECT_TRUE(Autostart::isEnabled());

    ASSERT_TRUE(Autostart::setEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(Autostart::entryPath()));
    EXPECT_FALSE(Autostart::isEnabled());
}

TEST_F(AutostartTest, AnEntryTheDesktopWouldSkipCountsAsOff)
{
    // Desktops keep an entry but hide or disable it when the user switches it off elsewhere.
    for (const QByteArray &line : {QByteArray("Hidden=true"), QByteArray("X-GNOME-Autostart-enabled=false")}) {
        ASSERT_TRUE(
            writeFile(Autostart::entryPath(), "[Desktop Entry]\nType=Application\nExec=lumora\n" + line + "\n"));
        EXPECT_FALSE(Autostart::isEnabled()) << line.constData();
    }
    // Turning it on replaces such an entry with one that starts.
    ASSERT_TRUE(Autostart::setEnabled(true));
    EXPECT_TRUE(Autostart::isEnabled());
}

TEST_F(AutostartTest, AnUnwritableFolderIsReportedNotClaimed)
{
    // A plain file where the autostart folder belongs.
    ASSERT_TRUE(writeFile(m_config.path() + QStringLiteral("/autostart"), "x"));
    QString error;
    EXPECT_FALSE(Autostart::setEnabled(true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Autostart::isEnabled());
}

TEST_F(AutostartTest, AFolderThatMayNotBeChangedFailsBothWaysAndSaysSo)
{
    const QString folder = m_config.path() + QStringLiteral("/autostart");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(m_config.path(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
    {
        test::Unprivileged unprivileged;
        QString error;
        EXPECT_FALSE(Autostart::setEnabled(true, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("Permission denied"))) << error.toStdString();
        EXPECT_FALSE(Autostart::isEnabled());
    }
    QFile::setPermissions(folder, QFileDevice::Permissions(0x7755));
    ASSERT_TRUE(Autostart::setEnabled(true));
    QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
    {
        test::Unprivileged unprivileged;
        QString error;
        EXPECT_FALSE(Autostart::setEnabled(false, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("cannot remove "))) << error.toStdString();
        EXPECT_TRUE(Autostart::isEnabled());
    }
    QFile::setPermissions(folder, QFileDevice::Permissions(0x7700));

    // Something in the entry's place that cannot be removed (a folder with content).
    ASSERT_TRUE(QFile::remove(Autostart::entryPath()));
    ASSERT_TRUE(QDir().mkpath(Autostart::entryPath() + QStringLiteral("/content")));
    QString error;
    EXPECT_FALSE(Autostart::setEnabled(false, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(AutostartTest, AWriteCutShortKeepsTheOldEntryAndIsReported)
{
    const QByteArray own = "[Desktop Entry]\nType=Application\nExec=lumora --verbose\n";
    ASSERT_TRUE(writeFile(Autostart::entryPath(), own));
    {
        // Room for less than the new entry: the write stops part way.
        test::FullDisk full(64);
        QString error;
        EXPECT_FALSE(Autostart::setEnabled(true, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();
    }
    EXPECT_EQ(readAll(Autostart::entryPath()), own);
    EXPECT_EQ(QDir(m_config.path() + QStringLiteral("/autostart")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("lumora.desktop")});

    // With no entry before, none is left that could read as on.
    ASSERT_TRUE(QFile::remove(Autostart::entryPath()));
    {
        test::FullDisk full(64);
        EXPECT_FALSE(Autostart::setEnabled(true));
    }
    EXPECT_FALSE(QFileInfo::exists(Autostart::entryPath()));
    EXPECT_FALSE(Autostart::isEnabled());

    // An entry cut short before its program (left by an older version) starts nothing.
    ASSERT_TRUE(writeFile(Autostart::entryPath(), "[Desktop Entry]\nType=Applic"));
    EXPECT_FALSE(Autostart::isEnabled());
    ASSERT_TRUE(writeFile(Autostart::entryPath(), "[Desktop Entry]\nExec=\n"));
    EXPECT_FALSE(Autostart::isEnabled());
}

TEST(AutostartEntry, NamesTheProgramOnPathByNameAndOthersByQuotedPath)
{
    QTemporaryDir bin(QDir::tempPath() + QStringLiteral("/lumora bin %1 XXXXXX"));
    ASSERT_TRUE(bin.isValid());
    const QString program = bin.path() + QStringLiteral("/lumora");
    ASSERT_TRUE(writeFile(program, "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    {
        ScopedPath path(bin.path());
        const QByteArray text = Autostart::entryText(program);
        EXPECT_TRUE(text.contains("\nExec=lumora\n")) << text.constData();
        EXPECT_TRUE(text.contains("\nTryExec=lumora\n"));
    }
    {
        // Not the lumora on PATH: the entry must start this very file. The blank in the
        // folder is quoted and the percent sign doubled, as the desktop entry rules ask.
        ScopedPath path(QStringLiteral("/nonexistent"));
        const QByteArray text = Autostart::entryText(program);
        const QByteArray expected = "\nExec=\"" + program.toUtf8().replace("%", "%%") + "\"\n";
        EXPECT_TRUE(text.contains(expected)) << text.constData();
        EXPECT_TRUE(text.contains("\nTryExec=" + program.toUtf8() + "\n"));
    }
}

TEST(DisplayPlatform, XWaylandIsPreferredOnlyWhenBothDisplaysAreThereAndTheUserChoseNone)
{
    struct Row
    {
        const char *qpa, *wayland, *x11, *expected;
    };
    const Row rows[] = {
        {"", "wayland-1", ":0", "xcb"},
        {"wayland", "wayland-1", ":0", ""},
        {"offscreen", "wayland-1", ":0", ""},
        {"", "wayland-1", "", ""},
        {"", "", ":0", ""},
        {"", "", "", ""},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(DisplayPlatform::platformFor(QString::fromLatin1(r.qpa), QString::fromLatin1(r.wayland),
                                               QString::fromLatin1(r.x11)),
                  QString::fromLatin1(r.expected))
            << r.qpa << " / " << r.wayland << " / " << r.x11;
    }
}

TEST(InstallLayout, ABuildTreeUsesItsOwnFolderAnInstalledTreeItsLibraryFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.path() + QStringLiteral("/usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString installed = QDir::cleanPath(bin + QLatin1Char('/') + InstallLayout::relativePluginFolder());
    EXPECT_TRUE(installed.startsWith(root.path() + QStringLiteral("/usr/")));
    EXPECT_EQ(InstallLayout::pluginFolder(bin), installed);

    ASSERT_TRUE(writeFile(bin + QStringLiteral("/LumoraAddIn.so"), "x"));
    EXPECT_EQ(InstallLayout::pluginFolder(bin), bin);
}
