#include "host/FileLogWriter.h"
#include "host/FileLogging.h"

#include "tests/testsupport/VirtualClock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;
using namespace lumora::host;

namespace {

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class FileLoggingTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setInstance(&virtualClock); }
    void TearDown() override { Clock::setInstance(nullptr); }

    QString logPath() const { return dir.filePath(QStringLiteral("Lumora.log")); }

    VirtualClock virtualClock{QDateTime(QDate(2026, 1, 5), QTime(9, 0, 0, 0))};
    QTemporaryDir dir;
    FileLogging logging;
};

} // namespace

TEST_F(FileLoggingTest, OneLinePerEntryWithMillisecondsAppendedToExistingContent)
{
    {
        QFile existing(logPath());
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("earlier line\n");
    }
    LogWriterPtr writer = logging.OpenLog(logPath());
    ASSERT_NE(writer, nullptr);
    writer->Log(3, QStringLiteral("GetNewMailMessages"), QStringLiteral("Date does not exist for folder:Inbox"));
    virtualClock.advance(1234);
    writer->Log(4, QStringLiteral("mnuHelp_Click"), QStringLiteral("Shell Error: 2,Not found"));

    // A second writer on the same file (a later start) appends too.
    logging.OpenLog(logPath())->Log(2, QStringLiteral("Ünïcode"), QStringLiteral("Grüße"));

    EXPECT_EQ(readLines(logPath()),
              (QStringList{
                  QStringLiteral("earlier line"),
                  QStringLiteral("2026-01-05 09:00:00.000 3 GetNewMailMessages: Date does not exist for folder:Inbox"),
                  QStringLiteral("2026-01-05 09:00:01.234 4 mnuHelp_Click: Shell Error: 2,Not found"),
                  QStringLiteral("2026-01-05 09:00:01.234 2 Ünïcode: Grüße")}));
}

TEST_F(FileLoggingTest, HostileTextCannotForgeLines)
{
    LogWriterPtr writer = logging.OpenLog(logPath());
    ASSERT_NE(writer, nullptr);
    writer->Log(3, QStringLiteral("Proc\nX"),
                QStringLiteral("subject\r\n2026-01-05 09:00:00.000 1 Fake: entry\\n\t\x1b[31m") + QChar(0x2028)
                    + QChar(0x85));
    const QStringList lines = readLines(logPath());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first(),
              QStringLiteral("2026-01-05 09:00:00.000 3 Proc\\nX: subject\\r\\n2026-01-05 09:00:00.000 1 Fake: "
                             "entry\\\\n\\t\\u001b[31m\\u2028\\u0085"));
}

TEST_F(FileLoggingTest, UnopenableLogGivesNoWriter)
{
    EXPECT_EQ(logging.OpenLog(dir.filePath(QStringLiteral("missing/folder/Lumora.log"))), nullptr);
    EXPECT_EQ(logging.OpenLog(dir.path()), nullptr) << "a directory";
    EXPECT_EQ(logging.OpenLog(QString()), nullptr);

    // A writer whose file could not be opened quietly writes nothing.
    FileLogWriter writer(dir.filePath(QStringLiteral("missing/Lumora.log")));
    EXPECT_FALSE(writer.isOpen());
    writer.Log(1, QStringLiteral("p"), QStringLiteral("m"));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());
}

// A pipe or device put in the log's place would block or swallow every entry: refused at
// once, with the reason.
TEST_F(FileLoggingTest, ALogThatIsAPipeOrADeviceGivesNoWriter)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(logPath()).constData(), 0600), 0);
    FileLogWriter pipe(logPath());
    EXPECT_FALSE(pipe.isOpen());
    EXPECT_TRUE(pipe.errorString().contains(QStringLiteral("named pipe"))) << pipe.errorString().toStdString();
    EXPECT_EQ(logging.OpenLog(logPath()), nullptr);

    const QString device = dir.filePath(QStringLiteral("null.log"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    EXPECT_EQ(logging.OpenLog(device), nullptr);
}
