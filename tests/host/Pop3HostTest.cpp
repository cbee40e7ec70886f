// The POP3 host against a real Dovecot started by the test.
#include "host/Application.h"
#include "host/pop3/Pop3Account.h"
#include "host/pop3/Pop3Source.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/VirtualClock.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::waitUntil;

namespace {

QByteArray message(const QByteArray &subject)
{
    return "From: =?UTF-8?Q?Zo=C3=AB_Example?= <zoe@example.org>\r\nSubject: " + subject
        + "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0100\r\n\r\nBody of " + subject + "\r\n.starts with a dot\r\n";
}

constexpr qint64 IntervalMs = Pop3AccountConfig::DefaultIntervalMinutes * 60 * 1000;

// One account under test: its source, and every announcement it made.
struct Watched
{
    std::unique_ptr<Pop3Source> source;
    std::unique_ptr<QSignalSpy> newMail;
    int announced = 0;

    Pop3Account &account() const { return *source->account(); }
    // Waits for the check under way (or the next one) to end.
    bool checked(int checks) const
    {
        return waitUntil([&] { return account().checksDone() >= checks && !account().isChecking(); }, 15000);
    }
    QStringList unreadSubjects() const
    {
        QStringList out;
        host::ItemsPtr items = source->topFolder()->items();
        for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
            out << item->Subject();
        return out;
    }
};

class Pop3Host : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!DovecotServer::pop3UnavailableReason().isEmpty())
            return;
        s_server = new DovecotServer();
        if (!s_server->start())
            ADD_FAILURE() << s_server->errorText().toStdString();
    }

    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override
    {
        const QString reason = DovecotServer::pop3UnavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no POP3 server to test against: " << reason.toStdString();
        ASSERT_TRUE(s_server && s_server->start()) << (s_server ? s_server->errorText().toStdString() : "");
        ASSERT_TRUE(m_dir.isValid());
    }

    // A fresh user per test: Dovecot gives each its own mail.
    Pop3AccountConfig account(Pop3AccountConfig::Security security = Pop3AccountConfig::Security::ImplicitTls) const
    {
        Pop3AccountConfig c;
        c.host = QStringLiteral("127.0.0.1");
        c.security = security;
        c.port = security == Pop3AccountConfig::Security::ImplicitTls ? s_server->pop3sPort() : s_server->pop3Port();
        c.user = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()).toLower();
        c.password = QStringLiteral("secret");
        c.trustedFingerprints = {s_server->fingerprint()};
        return c;
    }

    QString statePath(const QString &name = QStringLiteral("state")) const
    {
        return m_dir.filePath(name + QStringLiteral(".json"));
    }

    static Watched watch(const Pop3AccountConfig &config, const QString &state)
    {
        Watched w;
        w.source = std::make_unique<Pop3Source>(config, state);
        w.newMail = std::make_unique<QSignalSpy>(w.source.get(), &MailSource::newMail);
        QObject::connect(w.source->account().get(), &Pop3Account::arrived, w.source.get(),
                         [&announced = w.announced](const QList<QByteArray> &uidls) { announced += uidls.size(); });
        w.source->start();
        return w;
    }

    // Dovecot makes a user's mailbox at the first login; mail can be delivered after it.
    void prime(const Pop3AccountConfig &config) const
    {
        Pop3Account first(config, statePath(QStringLiteral("prime")));
        first.start();
        ASSERT_TRUE(waitUntil([&] { return first.checksDone() == 1; }, 15000)) << s_server->log().toStdString();
        ASSERT_TRUE(first.problem().isEmpty()) << first.problem().toStdString();
    }

    QTemporaryDir m_dir;
    static inline DovecotServer *s_server = nullptr;
};

TEST_F(Pop3Host, FirstCheckFindsWaitingMailAndEachIntervalAsksAgainWithoutWakingBetween)
{
    VirtualClockScope time;
    const Pop3AccountConfig config = account();
    prime(config);
    ASSERT_TRUE(s_server->deliver(config.user, message("one")));
    ASSERT_TRUE(s_server->deliver(config.user, message("two")));

    Watched w = watch(config, statePath());
    ASSERT_TRUE(w.checked(1));
    EXPECT_EQ(w.announced, 2);
    EXPECT_EQ(w.newMail->count(), 1);
    EXPECT_EQ(w.unreadSubjects(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    host::ItemPtr first = w.source->topFolder()->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->SenderName(), QStringLiteral("Zoë Example"));
    EXPECT_EQ(w.source->topFolder()->UnReadItemCount(), 2);

    ASSERT_TRUE(s_server->deliver(config.user, message("three")));
    // Nothing asks the server before the interval is over.
    time.clock.advance(IntervalMs - 1);
    EXPECT_FALSE(w.account().isChecking());
    EXPECT_EQ(w.account().checksDone(), 1);
    time.clock.advance(1);
    ASSERT_TRUE(w.checked(2));
    EXPECT_EQ(w.announced, 3);
    EXPECT_EQ(w.newMail->count(), 2);

    // A check that finds nothing new announces nothing.
    time.clock.advance(IntervalMs);
    ASSERT_TRUE(w.checked(3));
    EXPECT_EQ(w.announced, 3);
    EXPECT_EQ(w.newMail->count(), 2);
    EXPECT_TRUE(w.source->problems().isEmpty());
}

TEST_F(Pop3Host, SeenIdsAndReadStateSurviveARestartWithoutASecondAnnouncement)
{
    VirtualClockScope time;
    const Pop3AccountConfig config = account();
    prime(config);
    ASSERT_TRUE(s_server->deliver(config.user, message("read me")));
    ASSERT_TRUE(s_server->deliver(config.user, message("leave me")));
    QString readId;
    {
        Watched w = watch(config, statePath());
        ASSERT_TRUE(w.checked(1));
        ASSERT_EQ(w.announced, 2);
        host::ItemPtr item = w.source->topFolder()->items()->Find(QStringLiteral("[Unread] = true"));
        ASSERT_TRUE(item);
        readId = item->EntryID();
        EXPECT_TRUE(item->MarkRead());
        EXPECT_FALSE(item->UnRead());
    }

    Watched again = watch(config, statePath());
    // Known from the state before the server is asked.
    EXPECT_TRUE(again.source->holdsWaitingMail());
    ASSERT_TRUE(again.checked(1));
    EXPECT_EQ(again.announced, 0);
    EXPECT_EQ(again.newMail->count(), 0);
    EXPECT_EQ(again.unreadSubjects(), QStringList{QStringLiteral("leave me")});
    host::ItemPtr read = again.source->itemFromId(readId);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->UnRead());

    ASSERT_TRUE(s_server->deliver(config.user, message("new")));
    again.source->checkNow();
    ASSERT_TRUE(again.checked(2));
    EXPECT_EQ(again.announced, 1);
    EXPECT_EQ(again.unreadSubjects(), (QStringList{QStringLiteral("leave me"), QStringLiteral("new")}));
}

TEST_F(Pop3Host, StlsAndImplicitTlsBothReadTheMailAndAnUntrustedCertificateIsRefused)
{
    VirtualClockScope time;
    const Pop3AccountConfig tls = account();
    prime(tls);
    ASSERT_TRUE(s_server->deliver(tls.user, message("secured")));

    Watched stls = watch(account(Pop3AccountConfig::Security::StartTls), statePath(QStringLiteral("stls")));
    ASSERT_TRUE(stls.checked(1));
    EXPECT_TRUE(stls.source->problems().isEmpty()) << stls.source->problems().toStdString();
    EXPECT_EQ(stls.announced, 1);

    Watched implicit = watch(tls, statePath(QStringLiteral("tls")));
    ASSERT_TRUE(implicit.checked(1));
    EXPECT_EQ(implicit.announced, 1);

    Pop3AccountConfig untrusted = account(Pop3AccountConfig::Security::StartTls);
    untrusted.trustedFingerprints.clear();
    Watched refused = watch(untrusted, statePath(QStringLiteral("untrusted")));
    QSignalSpy asked(refused.source->account().get(), &Pop3Account::certificateUntrusted);
    ASSERT_TRUE(refused.checked(1));
    EXPECT_EQ(refused.announced, 0);
    EXPECT_TRUE(refused.source->problems().contains(s_server->fingerprint()));
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toString(), s_server->fingerprint());

    // Once trusted, the next check goes through.
    refused.account().trustFingerprint(s_server->fingerprint());
    refused.source->checkNow();
    ASSERT_TRUE(refused.checked(2));
    EXPECT_EQ(refused.announced, 1);
    EXPECT_TRUE(refused.source->problems().isEmpty());
}

TEST_F(Pop3Host, AWrongPasswordIsAnAccountProblemAndIsNotRetriedUntilChanged)
{
    VirtualClockScope time;
    Pop3AccountConfig config = account();
    prime(config);
    ASSERT_TRUE(s_server->deliver(config.user, message("locked out")));
    config.password = QStringLiteral("wrong");
    Watched w = watch(config, statePath());
    QSignalSpy problems(w.source.get(), &MailSource::problemsChanged);
    ASSERT_TRUE(w.checked(1));
    EXPECT_TRUE(w.source->problems().contains(QStringLiteral("refused the user name or password")))
        << w.source->problems().toStdString();
    EXPECT_GE(problems.count(), 1);
    EXPECT_EQ(w.announced, 0);
    // Asking again would only repeat the refusal.
    time.clock.advance(3 * IntervalMs);
    EXPECT_EQ(w.account().checksDone(), 1);
    EXPECT_FALSE(w.account().isChecking());

    w.account().setPassword(QStringLiteral("secret"));
    w.source->checkNow();
    ASSERT_TRUE(w.checked(2));
    EXPECT_TRUE(w.source->problems().isEmpty());
    EXPECT_EQ(w.announced, 1);
}

TEST_F(Pop3Host, DeleteRemovesFromTheServerOnlyAfterConfirmation)
{
    VirtualClockScope time;
    const Pop3AccountConfig config = account();
    prime(config);
    ASSERT_TRUE(s_server->deliver(config.user, message("doomed")));
    ASSERT_TRUE(s_server->deliver(config.user, message("kept")));
    Watched w = watch(config, statePath());
    ASSERT_TRUE(w.checked(1));
    ASSERT_EQ(w.announced, 2);
    host::ItemPtr doomed = w.source->topFolder()->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(doomed);
    ASSERT_EQ(doomed->Subject(), QStringLiteral("doomed"));

    // Without a way to ask, and when the user says no, nothing is deleted.
    EXPECT_FALSE(doomed->Delete());
    EXPECT_FALSE(doomed->ErrorText().isEmpty());
    QStringList asked;
    bool answer = false;
    w.account().setConfirmDelete([&](const QString &what) {
        asked << what;
        return answer;
    });
    EXPECT_FALSE(doomed->Delete());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.at(0).contains(QStringLiteral("doomed")));
    {
        Watched fresh = watch(config, statePath(QStringLiteral("fresh1")));
        ASSERT_TRUE(fresh.checked(1));
        EXPECT_EQ(fresh.announced, 2);
    }

    answer = true;
    EXPECT_TRUE(doomed->Delete()) << doomed->ErrorText().toStdString();
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(w.unreadSubjects(), QStringList{QStringLiteral("kept")});
    // Another client's view: the server holds the kept message alone.
    Watched fresh = watch(config, statePath(QStringLiteral("fresh2")));
    ASSERT_TRUE(fresh.checked(1));
    EXPECT_EQ(fresh.announced, 1);
    EXPECT_EQ(fresh.unreadSubjects(), QStringList{QStringLiteral("kept")});

    // The next check of the first source does not bring the deleted one back.
    time.clock.advance(IntervalMs);
    ASSERT_TRUE(w.checked(2));
    EXPECT_EQ(w.announced, 2);
    EXPECT_EQ(w.unreadSubjects(), QStringList{QStringLiteral("kept")});
}

TEST_F(Pop3Host, ContentIsTheWholeMessageUnstuffedAndLeavesItOnTheServer)
{
    VirtualClockScope time;
    const Pop3AccountConfig config = account();
    prime(config);
    ASSERT_TRUE(s_server->deliver(config.user, message("whole")));
    Watched w = watch(config, statePath());
    ASSERT_TRUE(w.checked(1));
    const Pop3Account::Message *m = w.account().unreadOldestFirst().value(0);
    ASSERT_TRUE(m);
    QString error;
    const QByteArray body = w.account().content(m->uidl, &error);
    EXPECT_TRUE(body.contains("Body of whole\r\n.starts with a dot\r\n")) << body.toStdString();
    EXPECT_TRUE(body.startsWith("From: ") || body.contains("\r\nSubject: whole\r\n"));
    Watched fresh = watch(config, statePath(QStringLiteral("fresh")));
    ASSERT_TRUE(fresh.checked(1));
    EXPECT_EQ(fresh.announced, 1);
}

} // namespace
