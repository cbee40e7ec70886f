#include "tests/testsupport/FakeImapServer.h"

#include <QDeadlineTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumora::test {

namespace {

constexpr int PollMs = 20;

} // namespace

FakeImapServer::FakeImapServer(Script script)
    : m_script(std::move(script))
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listener = fd;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

FakeImapServer::~FakeImapServer()
{
    m_stop = true;
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread &t : m_threads)
        t.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

ImapAccountConfig FakeImapServer::account() const
{
    ImapAccountConfig c;
    c.host = QStringLiteral("127.0.0.1");
    c.port = m_port;
    c.security = ImapAccountConfig::Security::Plain;
    c.user = QStringLiteral("user");
    c.password = QStringLiteral("secret");
    return c;
}

bool FakeImapServer::waitForCommand(const QByteArray &verb, int ms) const
{
    const QDeadlineTimer deadline(ms);
    while (!verbs().contains(verb)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

QList<QByteArray> FakeImapServer::verbs() const
{
    std::lock_guard lock(m_mutex);
    return m_verbs;
}

void FakeImapServer::acceptLoop()
{
    while (!m_stop) {
        pollfd p = {m_listener, POLLIN, 0};
        if (::poll(&p, 1, PollMs) <= 0)
            continue;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        const int session = m_sessions++;
        m_threads.emplace_back([this, fd, session] { serve(fd, session); });
    }
}

bool FakeImapServer::sendAll(int fd, const QByteArray &bytes) const
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (m_stop)
            return false;
        pollfd p = {fd, POLLOUT, 0};
        if (::poll(&p, 1, PollMs) <= 0)
            continue;
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

std::optional<QByteArray> FakeImapServer::readLine(int fd, QByteArray *buffer) const
{
    while (!m_stop) {
        const qsizetype eol = buffer->indexOf("\r\n");
        if (eol >= 0) {
            const QByteArray line = buffer->left(eol);
            buffer->remove(0, eol + 2);
            return line;
        }
        pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, PollMs) <= 0)
            continue;
        char chunk[4096];
        const ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
        if (n <= 0)
            return std::nullopt;
        buffer->append(chunk, n);
    }
    return std::nullopt;
}

void FakeImapServer::serve(int fd, int session)
{
    QByteArray buffer;
    QByteArray idleTag;
    bool open = sendAll(fd, "* OK fake server ready\r\n");
    while (open) {
        const std::optional<QByteArray> line = readLine(fd, &buffer);
        if (!line)
            break;
        const qsizetype space = line->indexOf(' ');
        QByteArray tag = space < 0 ? *line : line->left(space);
        QByteArray verb = space < 0 ? QByteArray() : line->mid(space + 1).split(' ').value(0).toUpper();
        if (tag.toUpper() == "DONE") {
            verb = "DONE";
            tag = idleTag;
        }
        {
            std::lock_guard lock(m_mutex);
            m_verbs.append(verb);
        }
        std::optional<Answer> answer = m_script ? m_script(session, tag, verb) : std::nullopt;
        if (!answer) {
            if (verb == "CAPABILITY")
                answer = Answer{"* CAPABILITY IMAP4rev1 IDLE\r\n" + tag + " OK done\r\n", {}};
            else if (verb == "LIST")
                answer = Answer{"* LIST () \"/\" INBOX\r\n" + tag + " OK done\r\n", {}};
            else if (verb == "SELECT" || verb == "EXAMINE")
                answer = Answer{"* 0 EXISTS\r\n* OK [UIDVALIDITY 7] valid\r\n" + tag + " OK done\r\n", {}};
            else if (verb == "IDLE")
                answer = Answer{"+ idling\r\n", {}};
            else if (verb == "LOGOUT")
                answer = Answer{"* BYE bye\r\n" + tag + " OK done\r\n", {}};
            else
                answer = Answer{tag + " OK done\r\n", {}};
        }
        if (verb == "IDLE")
            idleTag = tag;
        open = sendAll(fd, answer->bytes);
        while (open && !answer->repeat.isEmpty())
            open = sendAll(fd, answer->repeat);
        if (verb == "LOGOUT")
            break;
    }
    ::close(fd);
}

} // namespace lumora::test
