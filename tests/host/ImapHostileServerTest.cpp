// The IMAP host against scripted servers that stall, flood or never end a line.
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapApplication.h"
#include "host/imap/ImapConnection.h"
#include "host/imap/ImapResponse.h"
#include "host/imap/ImapWatcher.h"
#include "platform/core/QuitRequest.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/FakeImapServer.h"
#include "tests/testsupport/ImapTestClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace lumora;
using lumora::test::FakeImapServer;
using lumora::test::waitUntil;

namespace {

using Answer = FakeImapServer::Answer;

const QByteArray EndlessLine(64 * 1024, 'x');

QByteArray floodOf(const QByteArray &line, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

// A quit asked for from a signal handler; taken back when the test ends.
class QuitScope
{
public:
    ~QuitScope() { QuitRequest::reset(); }
};

// The server answers LIST late: long enough for a quit to be asked for meanwhile.
TEST(ImapHostileServer, AQuitAskedForDuringARequestWaitsForTheStackToUnwind)
{
    FakeImapServer server([](int, const QByteArray &tag, const QByteArray &verb) -> std::optional<Answer> {
        if (verb == "LIST") {
            QThread::msleep(500);
            return Answer{"* LIST () \"/\" INBOX\r\n" + tag + " OK done\r\n", {}};
        }
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{server.account()});
    std::shared_ptr<ImapAccount> account = app->accounts().first();

    // The quit path of a signal: every event loop is told to end, then the host goes.
    bool waiting = false;
    bool quitDuringWait = false;
    QTimer::singleShot(100, [&] {
        quitDuringWait = waiting;
        QCoreApplication::exit(0);
    });
    waiting = true;
    const bool listed = account->refreshMailboxes();
    waiting = false;
    waitUntil([] { return false; }, 300);
    account.reset();
    app.reset();
    EXPECT_FALSE(quitDuringWait);
    EXPECT_TRUE(listed);
}

TEST(ImapHostileServer, ASignalDuringARequestToASilentServerEndsTheWaitAtOnce)
{
    QuitScope quitScope;
    FakeImapServer server([](int, const QByteArray &, const QByteArray &verb) -> std::optional<Answer> {
        if (verb == "LIST")
            return Answer{}; // never answered
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{server.account()});
    std::shared_ptr<ImapAccount> account = app->accounts().first();

    // What the signal handler does, from another thread while the request blocks.
    std::thread signal([&] {
        if (server.waitForCommand("LIST"))
            QuitRequest::raise();
    });
    QElapsedTimer clock;
    clock.start();
    const bool listed = account->refreshMailboxes();
    const qint64 waited = clock.elapsed();
    signal.join();
    EXPECT_FALSE(listed);
    EXPECT_LT(waited, 3000);
    // Quitting is not an account problem, and requests made while unwinding fail at once.
    EXPECT_TRUE(account->problem().isEmpty()) << account->problem().toStdString();
    const qsizetype commands = server.verbs().size();
    EXPECT_FALSE(account->run("NOOP"));
    EXPECT_EQ(server.verbs().size(), commands);

    QCoreApplication::exit(0);
    account.reset();
    app.reset();
}

TEST(ImapHostileServer, AFloodDuringIdleIsReadInTurnsWithinBounds)
{
    FakeImapServer server([](int, const QByteArray &, const QByteArray &verb) -> std::optional<Answer> {
        if (verb == "IDLE")
            return Answer{"+ idling\r\n", floodOf("* OK still here\r\n", 1000)};
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    ImapConnection connection(server.account());
    int untagged = 0;
    QObject::connect(&connection, &ImapConnection::untagged, [&] { ++untagged; });
    connection.open();
    ASSERT_TRUE(waitUntil([&] { return connection.isReady(); }));
    connection.idle();

    // A timer keeps its pace while the flood runs, and what the session holds stays small.
    int ticks = 0;
    qsizetype mostHeld = 0;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        ++ticks;
        mostHeld = qMax(mostHeld, connection.heldBytes());
    });
    pace.start(10);
    waitUntil([&] { return false; }, 1000);
    EXPECT_GT(untagged, 5000);
    EXPECT_GT(ticks, 20);
    EXPECT_LT(mostHeld, 2 * 1024 * 1024);
    EXPECT_FALSE(connection.isDead());

    // An event posted now (a quit) is served within a turn or two, not after the flood.
    bool served = false;
    QTimer::singleShot(0, [&] { served = true; });
    EXPECT_TRUE(waitUntil([&] { return served; }, 500));
}

TEST(ImapHostileServer, AnEndlessLineDuringIdleDropsTheSessionAndTheWatcherRetriesWithBackoff)
{
    FakeImapServer server([](int, const QByteArray &, const QByteArray &verb) -> std::optional<Answer> {
        if (verb == "IDLE")
            return Answer{"+ idling\r\n* OK ", EndlessLine};
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{server.account()});
    app->watcher()->setBackoff(50, 400);
    app->setStartupCheckMs(600000);
    app->start();
    ASSERT_TRUE(waitUntil([&] { return app->problems().contains(QStringLiteral("too large")); }, 10000))
        << app->problems().toStdString();
    // One session for the mailbox list, then the IDLE session and its retries.
    EXPECT_TRUE(waitUntil([&] { return server.sessions() >= 4; }, 10000)) << server.sessions();
    // A retry may be between its IDLE and the endless line at any moment; what must hold is
    // that no session stays idling, so between the retries none is.
    EXPECT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 0; }, 10000));
}

TEST(ImapHostileServer, AnEndlessAnswerFailsTheRequestAndTheNextOneConnectsAgain)
{
    FakeImapServer server([](int session, const QByteArray &, const QByteArray &verb) -> std::optional<Answer> {
        if (session == 0 && verb == "LIST")
            return Answer{"* LIST () \"/\" ", EndlessLine};
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    ImapAccount account(server.account());
    EXPECT_FALSE(account.refreshMailboxes());
    EXPECT_TRUE(account.problem().contains(QStringLiteral("too large"))) << account.problem().toStdString();
    EXPECT_TRUE(account.refreshMailboxes());
    EXPECT_TRUE(account.problem().isEmpty()) << account.problem().toStdString();
    EXPECT_EQ(server.sessions(), 2);
}

TEST(ImapHostileServer, TooManyResponsesToOneCommandDropTheSession)
{
    FakeImapServer server([](int, const QByteArray &tag, const QByteArray &verb) -> std::optional<Answer> {
        if (verb == "FETCH")
            return Answer{floodOf("* 1 FETCH (FLAGS (\\Seen))\r\n", 20000) + tag + " OK done\r\n", {}};
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    ImapConnection connection(server.account());
    connection.setMaxHeldBytes(1024 * 1024);
    connection.open();
    ASSERT_TRUE(connection.waitFor([&] { return connection.isReady(); }));

    bool answered = false;
    ImapResponse tagged;
    qsizetype collected = -1;
    connection.send("FETCH 1:* (FLAGS)", [&](const ImapResponse &t, const QList<ImapResponse> &untagged) {
        answered = true;
        tagged = t;
        collected = untagged.size();
    });
    EXPECT_TRUE(connection.waitFor([&] { return answered; }));
    EXPECT_TRUE(tagged.tag.isEmpty());
    EXPECT_LT(collected, 20000);
    EXPECT_TRUE(connection.isDead());
    EXPECT_EQ(connection.problem(), ImapConnection::Problem::Protocol);
    EXPECT_TRUE(connection.problemText().contains(QStringLiteral("more than 1 MB")))
        << connection.problemText().toStdString();
}

// The socket reads ahead only a little; over TLS the rest must still come through while a
// request blocks, with no event loop to ask for more.
TEST(ImapBoundedReads, AMessageManyTimesTheReadAheadArrivesWholeOverTls)
{
    const QString reason = lumora::test::DovecotServer::unavailableReason();
    if (!reason.isEmpty())
        GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
    lumora::test::DovecotServer dovecot;
    ASSERT_TRUE(dovecot.start()) << dovecot.errorText().toStdString();
    ImapAccountConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = dovecot.imapsPort();
    config.user = QStringLiteral("bulky");
    config.password = QStringLiteral("secret");
    config.trustedFingerprints = {dovecot.fingerprint()};

    QByteArray message = "From: s@example.org\r\nSubject: bulky\r\n\r\n";
    while (message.size() < 5 * 1024 * 1024)
        message += QByteArray(998, 'b') + "\r\n";
    {
        lumora::test::ImapTestClient client(config);
        ASSERT_TRUE(client.append("INBOX", message));
    }
    ImapAccount account(config);
    quint32 validity = 0;
    const QList<quint32> unread = account.unreadOldestFirst("INBOX", &validity);
    ASSERT_EQ(unread.size(), 1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(account.content("INBOX", validity, unread.first()), message);
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_TRUE(account.problem().isEmpty()) << account.problem().toStdString();
}

QList<ImapResponse> readAll(ImapResponseReader &reader, const QByteArray &stream, int chunk)
{
    QList<ImapResponse> out;
    for (qsizetype i = 0; i < stream.size(); i += chunk) {
        reader.feed(stream.mid(i, chunk));
        ImapResponse r;
        while (reader.next(&r))
            out.append(r);
    }
    return out;
}

TEST(ImapResponseReaderLimits, ALineIsCappedButALiteralMayBeLarger)
{
    {
        ImapResponseReader reader;
        reader.feed("* OK ");
        reader.feed(QByteArray(ImapResponseReader::MaxLineBytes, 'x'));
        ImapResponse r;
        EXPECT_FALSE(reader.next(&r));
        EXPECT_TRUE(reader.failed());
    }
    {
        // Just under the cap, in small pieces: read whole.
        ImapResponseReader reader;
        const QByteArray text(ImapResponseReader::MaxLineBytes - 100, 'y');
        const QList<ImapResponse> rs = readAll(reader, "* OK " + text + "\r\n", 64 * 1024);
        ASSERT_EQ(rs.size(), 1);
        EXPECT_EQ(rs.first().text, text);
        EXPECT_FALSE(reader.failed());
    }
    {
        const QByteArray body(ImapResponseReader::MaxLineBytes + 1000, 'z');
        ImapResponseReader reader;
        const QList<ImapResponse> rs = readAll(
            reader, "* 1 FETCH (BODY[] {" + QByteArray::number(body.size()) + "}\r\n" + body + ")\r\nA1 OK done\r\n",
            256 * 1024);
        ASSERT_EQ(rs.size(), 2);
        EXPECT_EQ(rs.first().values.at(2).items.at(1).text.size(), body.size());
        EXPECT_EQ(rs.at(1).status(), "OK");
    }
    {
        // A literal announced beyond the response limit fails before its bytes arrive.
        ImapResponseReader reader;
        reader.feed("* 1 FETCH (BODY[] {" + QByteArray::number(ImapResponseReader::MaxResponseBytes + 1) + "}\r\n");
        ImapResponse r;
        EXPECT_FALSE(reader.next(&r));
        EXPECT_TRUE(reader.failed());
    }
}

TEST(ImapResponseReaderLimits, ALiteralsBytesNeverAnnounceAnotherLiteral)
{
    // The literal holds "{3"; the line goes on with "}" and ends.
    ImapResponseReader reader;
    const QList<ImapResponse> rs = readAll(reader, "* 1 FETCH (X {2}\r\n{3}\r\n* 2 EXISTS\r\n", 1000);
    ASSERT_EQ(rs.size(), 2);
    EXPECT_EQ(rs.at(1).word(1), "EXISTS");
    EXPECT_FALSE(reader.failed());
}

TEST(ImapResponseReaderLimits, ManyShortResponsesInOneFeedAreReadInOrder)
{
    ImapResponseReader reader;
    QByteArray stream;
    for (int i = 1; i <= 50000; ++i)
        stream += "* " + QByteArray::number(i) + " EXISTS\r\n";
    QElapsedTimer clock;
    clock.start();
    const QList<ImapResponse> rs = readAll(reader, stream, int(stream.size()));
    ASSERT_EQ(rs.size(), 50000);
    EXPECT_EQ(rs.last().values.at(0).number(), 50000u);
    EXPECT_EQ(reader.bufferedBytes(), 0);
    // Taking a response no longer moves all that follows it.
    EXPECT_LT(clock.elapsed(), 5000);
}

} // namespace
