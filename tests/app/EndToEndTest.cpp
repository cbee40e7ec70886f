// The main path through the real executable: mail delivered by a delivery agent into a
// Maildir, one scan, queued records, and a popup presenting them one after another.
#include "tests/app/LumoraProcess.h"

#include "platform/core/Registry.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsTable.h"
#include "settings/modRegistry.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

QByteArray message(const QString &from, const QString &subject)
{
    return QStringLiteral("From: %1\nTo: me@example.org\nSubject: %2\nDate: Mon, 7 Dec 2026 10:00:00 +0000\n"
                          "Message-ID: <%3@example.org>\n\nHello.\n")
        .arg(from, subject, QString::number(qHash(subject)))
        .toUtf8();
}

QRegularExpression re(const QString &pattern)
{
    return QRegularExpression(pattern);
}

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_maildir = QDir::homePath() + QStringLiteral("/Maildir");
        for (const char *sub : {"cur", "new", "tmp"})
            ASSERT_TRUE(QDir().mkpath(m_maildir + QLatin1Char('/') + QLatin1String(sub)));
        // The stored settings with a one-second display time and no sound keep the run short.
        const QString key = SettingsLocation::registryKey(QStringLiteral("10"));
        for (const auto &row : SettingsTable::rows()) {
            if (row.kind != SettingsTable::Kind::Text)
                modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, key, QString::fromLatin1(row.name),
                                                QString::fromLatin1(row.defaultText), reg::REG_SZ);
        }
        modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("MessageDelay"),
                                        QStringLiteral("1000"), reg::REG_SZ);
    }

    QString m_maildir;
};

} // namespace

TEST_F(EndToEnd, ThreeDeliveriesGiveOneScanAndOnePopupThenAFourthFollows)
{
    LumoraProcess lumora({QStringLiteral("--verbose")});
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    ASSERT_TRUE(deliverWithAgent(m_maildir, message(QStringLiteral("Ann <ann@example.org>"), QStringLiteral("one"))));
    ASSERT_TRUE(deliverWithAgent(m_maildir, message(QStringLiteral("Bob <bob@example.org>"), QStringLiteral("two"))));
    ASSERT_TRUE(deliverWithAgent(m_maildir, message(QStringLiteral("Cy <cy@example.org>"), QStringLiteral("three"))));

    const qsizetype first = lumora.waitForLine(re(QStringLiteral("^lumora: popup: 1 of 3, .*subject \"one\"")), 20000);
    ASSERT_GE(first, 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    // Delivered while the popup shows: left for the scan after the popup has gone.
    ASSERT_TRUE(deliverWithAgent(m_maildir, message(QStringLiteral("Di <di@example.org>"), QStringLiteral("four"))));

    const qsizetype last = lumora.waitForLine(re(QStringLiteral("^lumora: popup: 1 of 1, .*subject \"four\"")), 30000);
    ASSERT_GE(last, 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    lumora.waitForLine(re(QStringLiteral("^lumora: popup: closed")), 10000, last);
    EXPECT_EQ(lumora.terminate(), 0);

    const QStringList trace = lumora.lines();
    const QString all = trace.join(QLatin1Char('\n'));
    EXPECT_EQ(lumora.linesMatching(re(QStringLiteral("^lumora: scan: "))),
              (QStringList{QStringLiteral("lumora: scan: 3 queued, 3 waiting"),
                           QStringLiteral("lumora: scan: 1 queued, 1 waiting")}))
        << all.toStdString();
    EXPECT_EQ(lumora.linesMatching(re(QStringLiteral("^lumora: queued: "))).size(), 4);
    const QStringList popups = lumora.linesMatching(re(QStringLiteral("^lumora: popup: (\\d+ of \\d+|closed)")));
    ASSERT_EQ(popups.size(), 6) << all.toStdString();
    EXPECT_TRUE(popups.at(0).contains(QStringLiteral("1 of 3, folder \"Inbox\", from \"Ann\", subject \"one\"")))
        << popups.at(0).toStdString();
    EXPECT_TRUE(popups.at(1).startsWith(QStringLiteral("lumora: popup: 2 of 3")));
    EXPECT_TRUE(popups.at(2).startsWith(QStringLiteral("lumora: popup: 3 of 3")));
    EXPECT_EQ(popups.at(3), QStringLiteral("lumora: popup: closed"));
    EXPECT_TRUE(popups.at(4).startsWith(QStringLiteral("lumora: popup: 1 of 1")));
    // The second scan comes only after the first popup closed.
    const qsizetype secondScan = trace.indexOf(QStringLiteral("lumora: scan: 1 queued, 1 waiting"));
    EXPECT_GT(secondScan, trace.indexOf(QStringLiteral("lumora: popup: closed")));
    EXPECT_GE(lumora.linesMatching(re(QStringLiteral("^lumora: detach: "))).size(), 4);
}

TEST_F(EndToEnd, SecondStartHandsOverAndQuitEndsTheFirst)
{
    LumoraProcess first({QStringLiteral("--verbose"), QStringLiteral("--demo")});
    ASSERT_GE(first.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0);
    LumoraProcess second({QStringLiteral("--test-popup")});
    EXPECT_EQ(second.waitForExit(15000), 0);
    EXPECT_GE(first.waitForLine(re(QStringLiteral("^lumora: popup: test popup")), 10000), 0)
        << first.lines().join(QLatin1Char('\n')).toStdString();
    LumoraProcess quit({QStringLiteral("--quit")});
    EXPECT_EQ(quit.waitForExit(15000), 0);
    EXPECT_EQ(first.waitForExit(15000), 0);
    EXPECT_FALSE(first.linesMatching(re(QStringLiteral("^lumora: disconnection"))).isEmpty())
        << first.lines().join(QLatin1Char('\n')).toStdString();
}
