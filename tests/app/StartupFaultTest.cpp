// The real executable when its surroundings are broken: it either runs and says what it
// cannot do, or ends with a reason and a non-zero status, leaving no instance behind.
#include "tests/app/LumoraProcess.h"

#include "platform/core/RegFile.h"
#include "platform/core/RegistryStore.h"
#include "tests/testsupport/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

QRegularExpression re(const QString &pattern)
{
    return QRegularExpression(pattern);
}

std::string dump(const LumoraProcess &p)
{
    return p.lines().join(QLatin1Char('\n')).toStdString();
}

class StartupFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_maildir = QDir::homePath() + QStringLiteral("/Maildir");
        for (const char *sub : {"cur", "new", "tmp"})
            ASSERT_TRUE(QDir().mkpath(m_maildir + QLatin1Char('/') + QLatin1String(sub)));
        // A regular file: nothing can be created beneath it, not even by root.
        m_blocker = QDir::homePath() + QStringLiteral("/not-a-folder");
        QFile f(m_blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    // After a failed start no instance may answer: a --quit finds nobody.
    void expectNoInstance()
    {
        LumoraProcess quit({QStringLiteral("--quit")});
        EXPECT_EQ(quit.waitForExit(15000), 0);
        EXPECT_GE(quit.waitForLine(re(QStringLiteral("not running")), 1000), 0) << dump(quit);
    }

    QString m_maildir;
    QString m_blocker;
};

} // namespace

TEST_F(StartupFaults, NoHomeAndNoXdgFoldersEndsWithAReason)
{
    // Empty counts as unset.
    LumoraProcess lumora(
        {QStringLiteral("--verbose")},
        {QStringLiteral("HOME="), QStringLiteral("XDG_CONFIG_HOME="), QStringLiteral("XDG_DATA_HOME=")});
    EXPECT_EQ(lumora.waitForExit(15000), 1) << dump(lumora);
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^Lumora: cannot start: neither HOME")), 1000), 0) << dump(lumora);
    expectNoInstance();
}

TEST_F(StartupFaults, NoDisplayEndsWithAReasonButQuitStillReachesTheRunningOne)
{
    const QStringList noDisplay{QStringLiteral("DISPLAY="), QStringLiteral("WAYLAND_DISPLAY="),
                                QStringLiteral("QT_QPA_PLATFORM=")};
    {
        LumoraProcess lumora({QStringLiteral("--verbose")}, noDisplay);
        EXPECT_EQ(lumora.waitForExit(15000), 1) << dump(lumora);
        EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^Lumora: cannot start: there is no display")), 1000), 0)
            << dump(lumora);
        expectNoInstance();
    }
    {
        LumoraProcess help({QStringLiteral("--help")}, noDisplay);
        EXPECT_EQ(help.waitForExit(15000), 0) << dump(help);
        EXPECT_GE(help.waitForLine(re(QStringLiteral("--quit")), 1000), 0) << dump(help);
    }
    LumoraProcess running({QStringLiteral("--verbose")});
    ASSERT_GE(running.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0) << dump(running);
    LumoraProcess quit({QStringLiteral("--quit")}, noDisplay);
    EXPECT_EQ(quit.waitForExit(15000), 0) << dump(quit);
    EXPECT_EQ(running.waitForExit(15000), 0) << dump(running);
}

TEST_F(StartupFaults, AnUnwritableConfigFolderEndsWithAReason)
{
    LumoraProcess lumora({QStringLiteral("--verbose")},
                         {QStringLiteral("XDG_CONFIG_HOME=") + m_blocker + QStringLiteral("/config")});
    EXPECT_EQ(lumora.waitForExit(20000), 1) << dump(lumora);
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^Lumora: cannot start: no add-in could be loaded: .*"
                                                   "settings store .*not-a-folder/config/lumora/registry/user.reg")),
                                 1000),
              0)
        << dump(lumora);
    expectNoInstance();
}

TEST_F(StartupFaults, AnUnusableDataFolderIsReportedAndLumoraRunsOn)
{
    LumoraProcess lumora({QStringLiteral("--verbose")},
                         {QStringLiteral("XDG_DATA_HOME=") + m_blocker + QStringLiteral("/data")});
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: warning: The data folder .*not-a-folder/data/Corvane "
                                                   "Software/Lumora cannot be created or written")),
                                 20000),
              0)
        << dump(lumora);
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: attach: done")), 10000), 0) << dump(lumora);
    EXPECT_EQ(lumora.terminate(), 0);
}

TEST_F(StartupFaults, AGarbageIniIsReported)
{
    // Its own data folder, so the other tests keep their watched folders.
    QTemporaryDir dataHome;
    const QString data = dataHome.path() + QStringLiteral("/Corvane Software/Lumora");
    ASSERT_TRUE(QDir().mkpath(data));
    QFile ini(data + QStringLiteral("/Lumora.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QByteArray("\x7f"
                         "ELF\x02\x01\x01\0\0\0garbage\xff\xfe=\n[[[\n",
                         24));
    ini.close();
    LumoraProcess lumora({QStringLiteral("--verbose")}, {QStringLiteral("XDG_DATA_HOME=") + dataHome.path()});
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: warning: No folder is watched: .*Lumora.ini lists none")),
                                 20000),
              0)
        << dump(lumora);
    EXPECT_EQ(lumora.terminate(), 0);
}

TEST_F(StartupFaults, MailWaitingAtStartIsShownWithoutANewDelivery)
{
    QFile mail(m_maildir + QStringLiteral("/new/1765000000.M1P1.host"));
    ASSERT_TRUE(mail.open(QIODevice::WriteOnly));
    mail.write("From: Early Bird <early@example.org>\nSubject: waiting since before start\n\nHi\n");
    mail.close();
    LumoraProcess lumora({QStringLiteral("--verbose")});
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: popup: .*waiting since before start")), 30000), 0)
        << dump(lumora);
    EXPECT_EQ(lumora.terminate(), 0);
}

TEST_F(StartupFaults, TwoStartsTogetherLeaveOneInstanceAndWholeFiles)
{
    LumoraProcess first({QStringLiteral("--verbose")});
    LumoraProcess second({QStringLiteral("--verbose")});
    const qsizetype a = first.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000);
    const qsizetype b = second.waitForLine(re(QStringLiteral("^lumora: attach: done")), a >= 0 ? 3000 : 20000);
    EXPECT_TRUE((a >= 0) != (b >= 0)) << dump(first) << "\n--\n" << dump(second);
    LumoraProcess &loser = a >= 0 ? second : first;
    LumoraProcess &winner = a >= 0 ? first : second;
    EXPECT_EQ(loser.waitForExit(15000), 0) << dump(loser);

    const QString reg = RegistryStore::filePath(RegistryStore::Root::CurrentUser);
    QFile file(reg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const RegFile::Parsed parsed = RegFile::parse(file.readAll());
    EXPECT_EQ(parsed.errorCount, 0);
    EXPECT_FALSE(parsed.keys.isEmpty());
    EXPECT_TRUE(QDir(QFileInfo(reg).absolutePath()).entryList({QStringLiteral("*.corrupt-*")}).isEmpty());
    EXPECT_EQ(winner.terminate(), 0);
}

TEST_F(StartupFaults, ACommandLineNamingWhatCannotBeWatchedIsRefusedWithTheReason)
{
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/a-file");
    QFile(file).open(QIODevice::WriteOnly);
    const struct
    {
        QStringList arguments;
        const char *said;
    } rows[] = {
        {{QStringLiteral("--maildir"), dir.path() + QStringLiteral("/missing")},
         "^Lumora: --maildir: .*missing does not exist"},
        {{QStringLiteral("--maildir"), file}, "^Lumora: --maildir: .*a-file is not a folder"},
        {{QStringLiteral("--imap-trust"), QStringLiteral("not-a-fingerprint")},
         "^Lumora: --imap-trust takes a SHA-256 fingerprint .*not-a-fingerprint"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.said);
        LumoraProcess lumora(row.arguments);
        EXPECT_EQ(lumora.waitForExit(15000), 2) << dump(lumora);
        EXPECT_GE(lumora.waitForLine(re(QString::fromUtf8(row.said)), 1000), 0) << dump(lumora);
        expectNoInstance();
    }
}

TEST_F(StartupFaults, AMailClientThatCannotBeKeptIsSaidToServeThisRunOnly)
{
    {
        LumoraProcess first({QStringLiteral("--verbose")});
        ASSERT_GE(first.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0) << dump(first);
        EXPECT_EQ(first.terminate(), 0);
    }
    // The settings file as it is may be rewritten, but not grow by the class name: the
    // store refuses the save as on a full disk.
    const QString settings = RegistryStore::filePath(RegistryStore::Root::CurrentUser);
    const qint64 size = QFileInfo(settings).size();
    ASSERT_GT(size, 0);
    std::unique_ptr<LumoraProcess> lumora;
    {
        FullDisk full(rlim_t(size) + 8);
        lumora =
            std::make_unique<LumoraProcess>(QStringList{QStringLiteral("--verbose"), QStringLiteral("--mail-client"),
                                                        QStringLiteral("a-mail-client-with-a-long-window-class")});
    }
    EXPECT_GE(lumora->waitForLine(re(QStringLiteral("^Lumora: --mail-client a-mail-client-with-a-long-window-class "
                                                    "serves this run only: it cannot be kept")),
                                  20000),
              0)
        << dump(*lumora);
    // Whether Lumora runs on with a disk that full is another test's business.
    lumora->terminate();
}
