// The options dialog in the real executable: `lumora --options` opens it in the running
// Lumora; a folder of a second store ticked in the picker and a new corner applied take
// effect with no restart.
#include "app/SingleInstance.h"
#include "tests/app/LumoraProcess.h"
#include "tests/testsupport/TempHome.h"

#include "platform/core/Registry.h"
#include "settings/SettingsTable.h"
#include "settings/modRegistry.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

QRegularExpression re(const QString &pattern)
{
    return QRegularExpression(pattern);
}

bool makeMaildir(const QString &path)
{
    for (const char *sub : {"cur", "new", "tmp"}) {
        if (!QDir().mkpath(path + QLatin1Char('/') + QLatin1String(sub)))
            return false;
    }
    return true;
}

// Asks the running Lumora to work its options dialog (see OptionsTestDriver).
QString drive(const QString &request)
{
    QString answer;
    if (!SingleInstance::sendToRunning(QStringLiteral("test-options ") + request, &answer))
        return QStringLiteral("not running");
    return answer;
}

} // namespace

TEST(OptionsEndToEnd, FolderOfASecondStoreAndANewCornerTakeEffectWithoutARestart)
{
    const QString first = QDir::homePath() + QStringLiteral("/Maildir");
    const QString second = QDir::homePath() + QStringLiteral("/Work");
    // Mail left unread by earlier tests would be announced at start and join the count.
    QDir(first).removeRecursively();
    ASSERT_TRUE(makeMaildir(first));
    ASSERT_TRUE(makeMaildir(second));
    ASSERT_TRUE(makeMaildir(second + QStringLiteral("/.Lists")));
    const QString key = QStringLiteral("Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora");
    for (const auto &row : SettingsTable::rows()) {
        if (row.kind != SettingsTable::Kind::Text)
            modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, key, QString::fromLatin1(row.name),
                                            QString::fromLatin1(row.defaultText), reg::REG_SZ);
    }
    modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("MessageDelay"), QStringLiteral("1000"),
                                    reg::REG_SZ);

    LumoraProcess lumora({QStringLiteral("--verbose"), QStringLiteral("--maildir"), second},
                         {QStringLiteral("LUMORA_TEST_HOOKS=1")});
    // The first start watches both stores' Inboxes.
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: attach: done, watching 1 folder")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: watched folders loaded: 2 of 2 found")), 10000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    LumoraProcess options({QStringLiteral("--options")});
    EXPECT_EQ(options.waitForExit(15000), 0);
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: options: dialog opened with 2 page")), 10000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    // The second store's sub-folder, ticked in the picker and applied.
    const qsizetype before = lumora.lines().size();
    EXPECT_EQ(drive(QStringLiteral("pick 2 Lists")), QStringLiteral("ok"));
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: watched folders loaded: 3 of 3 found")), 10000, before), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    // Top left, applied from the dialog.
    EXPECT_EQ(drive(QStringLiteral("corner 2")), QStringLiteral("ok"));
    EXPECT_EQ(drive(QStringLiteral("apply")), QStringLiteral("ok"));
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: settings reloaded")), 10000, before), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    ASSERT_TRUE(deliverWithAgent(second + QStringLiteral("/.Lists"),
                                 "From: Ann <ann@example.org>\nTo: list@example.org\nSubject: on the list\n"
                                 "Message-ID: <list-1@example.org>\n\nHello.\n"));
    ASSERT_TRUE(deliverWithAgent(second,
                                 "From: Bob <bob@example.org>\nTo: me@example.org\nSubject: to work\n"
                                 "Message-ID: <work-1@example.org>\n\nHello.\n"));
    const qsizetype shown = lumora.waitForLine(re(QStringLiteral("^lumora: popup: 2 of 2, ")), 30000, before);
    ASSERT_GE(shown, 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    const QStringList queued = lumora.linesMatching(re(QStringLiteral("^lumora: queued: ")));
    ASSERT_EQ(queued.size(), 2) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(queued.join(QLatin1Char(' ')).contains(QStringLiteral("folder \"Lists\", from \"Ann\"")));
    EXPECT_TRUE(queued.join(QLatin1Char(' ')).contains(QStringLiteral("folder \"Inbox\", from \"Bob\"")));
    // The work area of the headless screen starts at 0,0: top left is exactly there.
    const QStringList placed = lumora.linesMatching(re(QStringLiteral("^lumora: popup: placed at ")));
    ASSERT_EQ(placed.size(), 1);
    EXPECT_EQ(placed.first(), QStringLiteral("lumora: popup: placed at 0,0, location 2"));
    EXPECT_EQ(lumora.terminate(), 0);
}

// A store added on the Mail page and applied is watched in the same run: its Inbox is in
// the watched list at once, and mail delivered there gives a popup.
TEST(OptionsEndToEnd, AStoreAddedOnTheMailPageGivesPopupsWithoutARestart)
{
    TempHome home;
    const QString first = QDir::homePath() + QStringLiteral("/Maildir");
    const QString added = QDir::homePath() + QStringLiteral("/Synced");
    ASSERT_TRUE(makeMaildir(first));
    ASSERT_TRUE(makeMaildir(added));
    modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER,
                                    QStringLiteral("Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora"),
                                    QStringLiteral("MessageDelay"), QStringLiteral("1000"), reg::REG_SZ);

    LumoraProcess lumora({QStringLiteral("--verbose")}, {QStringLiteral("LUMORA_TEST_HOOKS=1")});
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: attach: done, watching 1 folder")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    LumoraProcess options({QStringLiteral("--options")});
    EXPECT_EQ(options.waitForExit(15000), 0);
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: options: dialog opened")), 10000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    const qsizetype before = lumora.lines().size();
    EXPECT_EQ(drive(QStringLiteral("add-store ") + added), QStringLiteral("ok"));
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: test-options: store added")), 15000, before), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(drive(QStringLiteral("apply")), QStringLiteral("ok"));
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: watched folders loaded: 2 of 2 found")), 15000, before), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    ASSERT_TRUE(deliverWithAgent(added,
                                 "From: Cy <cy@example.org>\nTo: me@example.org\nSubject: synced\n"
                                 "Message-ID: <synced-1@example.org>\n\nHello.\n"));
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: popup: 1 of 1, ")), 30000, before), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lumora.linesMatching(re(QStringLiteral("^lumora: queued: .*from \"Cy\""))).size(), 1);
    EXPECT_EQ(lumora.terminate(), 0);
}

TEST(DemoProfile, ADemoRunKeepsItsFilesInAProfileOfItsOwn)
{
    TempHome home;
    LumoraProcess demo({QStringLiteral("--verbose"), QStringLiteral("--demo")});
    ASSERT_GE(demo.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0)
        << demo.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(demo.terminate(), 0);
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_FALSE(data.isEmpty());
    // The user's data folder and settings are untouched; the demo's profile holds its INI.
    EXPECT_FALSE(QFile::exists(data + QStringLiteral("/Corvane Software/Lumora/Lumora.ini")));
    EXPECT_TRUE(
        QFile::exists(data + QStringLiteral("/Corvane Software/Lumora Demo/data/Corvane Software/Lumora/Lumora.ini")));
    EXPECT_TRUE(
        modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER,
                                       QStringLiteral("Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora"),
                                       QStringLiteral("PopAlign"))
            .isNull());
}
