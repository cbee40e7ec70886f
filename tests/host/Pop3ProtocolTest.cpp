// The POP3 response reader, account addresses and the session's defences, without a server.
#include "host/pop3/Pop3AccountConfig.h"
#include "host/pop3/Pop3Connection.h"
#include "host/pop3/Pop3Response.h"
#include "tests/testsupport/ImapTestClient.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>

using namespace lumora;
using lumora::test::waitUntil;

namespace {

TEST(Pop3Reader, ReadsOneLineAndMultiLineAnswersFedInAnyPieces)
{
    const QByteArray wire = "+OK ready\r\n-ERR no such message\r\n+OK 2 messages\r\n1 aaa\r\n2 bbb\r\n.\r\n"
                            "+OK\r\nSubject: x\r\n..dotted\r\n.\r\n";
    // Whole, and one byte at a time: the same responses.
    for (int piece : {int(wire.size()), 1}) {
        Pop3ResponseReader reader;
        QList<Pop3Response> out;
        const QList<bool> multi{false, true, true, true};
        for (qsizetype i = 0; i < wire.size(); i += piece) {
            reader.feed(QByteArrayView(wire).sliced(i, qMin<qsizetype>(piece, wire.size() - i)));
            Pop3Response r;
            while (out.size() < multi.size() && reader.next(multi.at(out.size()), &r))
                out.append(r);
        }
        ASSERT_EQ(out.size(), 4) << "piece " << piece;
        EXPECT_TRUE(out.at(0).ok);
        EXPECT_EQ(out.at(0).text, "ready");
        // -ERR to a listing command has no body.
        EXPECT_FALSE(out.at(1).ok);
        EXPECT_EQ(out.at(1).text, "no such message");
        EXPECT_TRUE(out.at(1).body.isEmpty());
        EXPECT_EQ(out.at(2).body, "1 aaa\r\n2 bbb\r\n");
        EXPECT_EQ(out.at(3).body, "Subject: x\r\n.dotted\r\n");
        EXPECT_EQ(reader.bufferedBytes(), 0);
    }
}

TEST(Pop3Reader, FailsForGoodOnWhatIsNoResponseOrTooLarge)
{
    Pop3ResponseReader garbage;
    garbage.feed("* OK this is IMAP\r\n");
    Pop3Response r;
    EXPECT_FALSE(garbage.next(false, &r));
    EXPECT_TRUE(garbage.failed());
    garbage.feed("+OK\r\n");
    EXPECT_FALSE(garbage.next(false, &r));

    Pop3ResponseReader endless;
    const QByteArray chunk(64 * 1024, 'x');
    for (qsizetype fed = 0; fed <= Pop3ResponseReader::MaxLineBytes && !endless.failed(); fed += chunk.size()) {
        endless.feed(chunk);
        endless.next(false, &r);
    }
    EXPECT_TRUE(endless.failed());
}

TEST(Pop3Reader, UidlListingKeepsOnlyWellFormedUniqueLines)
{
    const auto listed = Pop3ResponseReader::parseUidl("1 a1\r\n2 b2\r\n"
                                                      "x bad-number\r\n0 zero\r\n+3 signed\r\n"
                                                      "4 \r\n5 has space\r\n6 \x01ctl\r\n"
                                                      "2 again\r\n7 a1\r\n8 "
                                                      + QByteArray(71, 'u') + "\r\n9 last");
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.at(0), (std::pair<quint32, QByteArray>{1, "a1"}));
    EXPECT_EQ(listed.at(1), (std::pair<quint32, QByteArray>{2, "b2"}));
    EXPECT_EQ(listed.at(2), (std::pair<quint32, QByteArray>{9, "last"}));
    EXPECT_TRUE(Pop3ResponseReader::isValidUidl(QByteArray(70, '~')));
    EXPECT_FALSE(Pop3ResponseReader::isValidUidl(""));
}

TEST(Pop3Config, AddressesGiveSecurityPortAndIntervalAndRefuseWhatCannotBeRight)
{
    auto tls = Pop3AccountConfig::fromUrl(QStringLiteral("pop3s://anna@mail.example.org"));
    ASSERT_TRUE(tls);
    EXPECT_EQ(tls->security, Pop3AccountConfig::Security::ImplicitTls);
    EXPECT_EQ(tls->port, 995);
    EXPECT_EQ(tls->intervalMinutes, 5);
    EXPECT_EQ(tls->key(), QStringLiteral("anna@mail.example.org:995"));

    auto stls = Pop3AccountConfig::fromUrl(QStringLiteral("pop3://anna@mail.example.org:1110?interval=12"));
    ASSERT_TRUE(stls);
    EXPECT_EQ(stls->security, Pop3AccountConfig::Security::StartTls);
    EXPECT_EQ(stls->port, 1110);
    EXPECT_EQ(stls->intervalMinutes, 12);
    // The saved form reads back as the same account.
    auto back = Pop3AccountConfig::fromUrl(stls->toUrl());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->key(), stls->key());
    EXPECT_EQ(back->intervalMinutes, 12);
    auto plain = Pop3AccountConfig::fromUrl(QStringLiteral("pop3://a@h?security=plain"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->security, Pop3AccountConfig::Security::Plain);
    EXPECT_EQ(Pop3AccountConfig::fromUrl(plain->toUrl())->security, Pop3AccountConfig::Security::Plain);

    for (const char *wrong : {"pop3s://a@h?interval=0", "pop3s://a@h?interval=-3", "pop3s://a@h?interval=soon",
                              "pop3s://a:pw@h", "pop3s://h", "imaps://a@h", "pop3://a@h?security=maybe"}) {
        QString why;
        EXPECT_FALSE(Pop3AccountConfig::fromUrl(QString::fromLatin1(wrong), &why)) << wrong;
        EXPECT_FALSE(why.isEmpty()) << wrong;
    }
}

// A server of one connection that answers each line the client sends with a scripted reply.
class ScriptedServer
{
public:
    using Reply = std::function<QByteArray(const QByteArray &line)>;

    ScriptedServer(QByteArray greeting, Reply reply)
        : m_greeting(std::move(greeting))
        , m_reply(std::move(reply))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            m_socket = m_server.nextPendingConnection();
            m_socket->write(m_greeting);
            QObject::connect(m_socket, &QTcpSocket::readyRead, [this] {
                while (m_socket->canReadLine()) {
                    const QByteArray line = m_socket->readLine().trimmed();
                    m_lines << line;
                    m_socket->write(m_reply(line));
                }
            });
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    QList<QByteArray> lines() const { return m_lines; }

private:
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    QByteArray m_greeting;
    Reply m_reply;
    QList<QByteArray> m_lines;
};

Pop3AccountConfig local(quint16 port, Pop3AccountConfig::Security security)
{
    Pop3AccountConfig c;
    c.host = QStringLiteral("127.0.0.1");
    c.port = port;
    c.security = security;
    c.user = QStringLiteral("anna");
    c.password = QStringLiteral("secret");
    return c;
}

TEST(Pop3Session, PlaintextSentAlongWithTheStlsAnswerEndsTheSessionBeforeLogin)
{
    // Someone on the way appends a forged answer to the server's go-ahead.
    ScriptedServer server("+OK hello\r\n", [](const QByteArray &line) -> QByteArray {
        return line == "STLS" ? "+OK begin TLS\r\n+OK forged\r\n" : "-ERR\r\n";
    });
    Pop3Connection session(local(server.port(), Pop3AccountConfig::Security::StartTls));
    session.open();
    ASSERT_TRUE(waitUntil([&] { return session.isDead(); }));
    EXPECT_EQ(session.problem(), Pop3Connection::Problem::Tls);
    EXPECT_EQ(server.lines(), QList<QByteArray>{"STLS"});
}

TEST(Pop3Session, LoginOutcomesAreToldApartAndNoLineBreakReachesTheServer)
{
    struct Case
    {
        QByteArray passAnswer;
        Pop3Connection::Problem problem;
    };
    for (const Case &c : {Case{"-ERR [AUTH] Authentication failed.\r\n", Pop3Connection::Problem::WrongPassword},
                          Case{"-ERR [IN-USE] Mailbox locked\r\n", Pop3Connection::Problem::Busy},
                          Case{"+OK logged in\r\n", Pop3Connection::Problem::None}}) {
        ScriptedServer server("+OK hello\r\n", [&c](const QByteArray &line) -> QByteArray {
            return line.startsWith("USER") ? QByteArray("+OK\r\n") : c.passAnswer;
        });
        Pop3Connection session(local(server.port(), Pop3AccountConfig::Security::Plain));
        session.open();
        ASSERT_TRUE(waitUntil([&] { return session.isDead() || session.isReady(); }));
        EXPECT_EQ(session.problem(), c.problem) << c.passAnswer.toStdString();
    }

    ScriptedServer server("+OK hello\r\n", [](const QByteArray &) -> QByteArray { return "+OK\r\n"; });
    Pop3AccountConfig config = local(server.port(), Pop3AccountConfig::Security::Plain);
    config.password = QStringLiteral("pw\r\nDELE 1");
    Pop3Connection session(config);
    session.open();
    ASSERT_TRUE(waitUntil([&] { return session.isDead(); }));
    EXPECT_EQ(session.problem(), Pop3Connection::Problem::WrongPassword);
    EXPECT_TRUE(server.lines().isEmpty() || !server.lines().contains("DELE 1"));
}

} // namespace
