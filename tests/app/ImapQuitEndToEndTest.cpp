// The real executable asked to quit while an IMAP request waits for a server that never
// answers it.
#include "tests/app/LumoraProcess.h"
#include "tests/testsupport/FakeImapServer.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

TEST(ImapQuitEndToEnd, SigtermWhileTheStartupScanWaitsEndsLumoraCleanly)
{
    // Everything is answered but the search of the start-up scan.
    FakeImapServer server([](int, const QByteArray &, const QByteArray &verb) -> std::optional<FakeImapServer::Answer> {
        if (verb == "UID")
            return FakeImapServer::Answer{};
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    LumoraProcess lumora({QStringLiteral("--verbose"), QStringLiteral("--imap"),
                          QStringLiteral("imap://user@127.0.0.1:%1?security=plain").arg(server.account().port),
                          QStringLiteral("--imap-password-stdin")});
    lumora.write("secret\n");
    ASSERT_TRUE(server.waitForCommand("UID", 30000)) << lumora.lines().join(QLatin1Char('\n')).toStdString();

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(lumora.terminate(), 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(lumora.linesMatching(QRegularExpression(QStringLiteral("^lumora: quitting \\(signal 15\\)"))).size(), 1)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
}

} // namespace
