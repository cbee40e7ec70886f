#include "host/pop3/Pop3Connection.h"

#include "platform/core/Clock.h"
#include "platform/core/QuitRequest.h"
#include "platform/core/Timer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QMetaObject>
#include <QSslCertificate>

namespace lumora {

namespace {

// What the socket reads ahead of the parser: beyond it the server waits (TCP holds it back).
constexpr qint64 SocketBufferBytes = 1024 * 1024;
constexpr qint64 ReadChunkBytes = 256 * 1024;
// A blocking wait looks for a quit request this often.
constexpr int WaitSliceMs = 50;

// Text that would end the command line early, or smuggle in another command.
bool sendable(const QByteArray &text)
{
    return !text.contains('\r') && !text.contains('\n') && !text.contains('\0');
}

} // namespace

Pop3Connection::Pop3Connection(const Pop3AccountConfig &config, QObject *parent)
    : QObject(parent)
    , m_config(config)
    , m_timeout(Clock::instance().createTimer())
{
    m_socket.setReadBufferSize(SocketBufferBytes);
    connect(&m_socket, &QSslSocket::connected, this, &Pop3Connection::onConnected);
    connect(&m_socket, &QSslSocket::encrypted, this, &Pop3Connection::onEncrypted);
    connect(&m_socket, &QSslSocket::readyRead, this, &Pop3Connection::onReadyRead);
    connect(&m_socket, &QSslSocket::sslErrors, this, &Pop3Connection::onSslErrors);
    connect(&m_socket, &QSslSocket::errorOccurred, this, &Pop3Connection::onSocketError);
    connect(&m_socket, &QSslSocket::disconnected, this,
            [this] { fail(Problem::Lost, tr("%1 closed the connection.").arg(where())); });
    connect(m_timeout.get(), &Timer::tick, this, [this] {
        m_timeout->setEnabled(false);
        fail(Problem::Lost, tr("%1 stopped answering.").arg(where()));
    });
}

Pop3Connection::~Pop3Connection()
{
    m_state = State::Dead;
    m_socket.disconnect(this);
    m_socket.abort();
}

QString Pop3Connection::where() const
{
    return tr("The POP3 server %1:%2").arg(m_config.host).arg(m_config.port);
}

void Pop3Connection::open()
{
    if (m_state != State::Idle)
        return;
    m_state = State::Connecting;
    m_socket.setPeerVerifyName(m_config.host);
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_timeout->restart(ResponseTimeoutMs);
    if (m_config.security == Pop3AccountConfig::Security::ImplicitTls)
        m_socket.connectToHostEncrypted(m_config.host, m_config.port);
    else
        m_socket.connectToHost(m_config.host, m_config.port);
}

void Pop3Connection::close()
{
    if (m_state == State::Dead)
        return;
    m_state = State::Dead;
    m_timeout->setEnabled(false);
    m_socket.disconnect(this);
    m_socket.disconnectFromHost();
    auto queue = std::move(m_queue);
    m_queue.clear();
    std::unique_ptr<Command> current = std::move(m_current);
    if (current && current->done)
        current->done(false, Pop3Response());
    for (Command &c : queue) {
        if (c.done)
            c.done(false, Pop3Response());
    }
}

void Pop3Connection::fail(Problem problem, const QString &message)
{
    if (m_state == State::Dead)
        return;
    m_problem = problem;
    m_problemText = message;
    close();
    Q_EMIT failed(problem, message);
}

void Pop3Connection::onConnected()
{
    if (m_config.security != Pop3AccountConfig::Security::ImplicitTls)
        m_state = State::Greeting;
}

void Pop3Connection::onEncrypted()
{
    if (m_state == State::Connecting) {
        m_state = State::Greeting;
        // A greeting that came with the handshake was left in the socket until now.
        if (m_socket.bytesAvailable() > 0)
            onReadyRead();
    } else if (m_state == State::Handshake) {
        login();
    }
}

void Pop3Connection::onSslErrors(const QList<QSslError> &errors)
{
    const QSslCertificate cert = m_socket.peerCertificate();
    if (!cert.isNull())
        m_fingerprint = QString::fromLatin1(cert.digest(QCryptographicHash::Sha256).toHex().toUpper());
    if (!m_fingerprint.isEmpty() && m_config.trustedFingerprints.contains(m_fingerprint)) {
        m_socket.ignoreSslErrors(errors);
        return;
    }
    QStringList reasons;
    for (const QSslError &e : errors)
        reasons.append(e.errorString());
    m_problem = Problem::CertificateUntrusted;
    m_problemText = tr("The certificate of %1:%2 is not trusted (%3). Its SHA-256 fingerprint is %4; trust it only if "
                       "your provider confirms it.")
                        .arg(m_config.host)
                        .arg(m_config.port)
                        .arg(reasons.join(QStringLiteral("; ")), m_fingerprint);
}

void Pop3Connection::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_state == State::Dead)
        return;
    // A blocking wait's slice ran out; the session itself is fine.
    if (error == QAbstractSocket::SocketTimeoutError && m_socket.state() == QAbstractSocket::ConnectedState)
        return;
    if (m_problem == Problem::CertificateUntrusted) {
        fail(m_problem, m_problemText);
        return;
    }
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::SocketTimeoutError:
        if (m_state == State::Connecting) {
            fail(Problem::Unreachable, tr("%1 cannot be reached: %2.").arg(where(), m_socket.errorString()));
            return;
        }
        break;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        fail(Problem::Tls, tr("%1 could not set up encryption: %2.").arg(where(), m_socket.errorString()));
        return;
    default:
        break;
    }
    fail(Problem::Lost,
         tr("The connection to %1:%2 was lost: %3.").arg(m_config.host).arg(m_config.port).arg(m_socket.errorString()));
}

void Pop3Connection::onReadyRead()
{
    m_backlog = pump();
    if (m_backlog && !m_turnQueued) {
        // The rest follows once the event loop has served everyone else.
        m_turnQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_turnQueued = false;
                onReadyRead();
            },
            Qt::QueuedConnection);
    }
}

bool Pop3Connection::expectsBody() const
{
    return m_state == State::Ready && m_current && m_current->multiLine;
}

bool Pop3Connection::pump()
{
    int handled = 0;
    Pop3Response response;
    while (m_state != State::Dead) {
        // During the TLS handshake the bytes are the socket's own business.
        if (m_state == State::Handshake || m_state == State::Connecting)
            return false;
        if (m_reader.next(expectsBody(), &response)) {
            handle(response);
            if (++handled >= ResponsesPerTurn)
                return m_state != State::Dead;
            continue;
        }
        if (m_reader.failed()) {
            fail(Problem::Protocol,
                 tr("%1 sent something that is not a POP3 response, or one too large to accept (a "
                    "line over %2 MB or a message over %3 MB); the session was dropped.")
                     .arg(where())
                     .arg(Pop3ResponseReader::MaxLineBytes / (1024 * 1024))
                     .arg(Pop3ResponseReader::MaxBodyBytes / (1024 * 1024)));
            return false;
        }
        if (m_socket.bytesAvailable() <= 0)
            return false;
        const QByteArray bytes = m_socket.read(ReadChunkBytes);
        m_bytesRead += quint64(bytes.size());
        m_reader.feed(bytes);
    }
    return false;
}

void Pop3Connection::write(const QByteArray &line)
{
    m_socket.write(line + "\r\n");
}

void Pop3Connection::login()
{
    const QByteArray user = m_config.user.toUtf8();
    if (!sendable(user) || !sendable(m_config.password.toUtf8())) {
        fail(Problem::WrongPassword,
             tr("The user name or password of %1 holds a line break, which POP3 cannot send.").arg(m_config.key()));
        return;
    }
    m_state = State::User;
    m_timeout->restart(ResponseTimeoutMs);
    write("USER " + user);
}

void Pop3Connection::handle(const Pop3Response &response)
{
    m_timeout->restart(ResponseTimeoutMs);
    switch (m_state) {
    case State::Greeting:
        if (!response.ok) {
            fail(Problem::Unreachable,
                 tr("%1 refused the connection: %2").arg(where(), QString::fromUtf8(response.text)));
            return;
        }
        if (m_config.security == Pop3AccountConfig::Security::StartTls) {
            m_state = State::StartTls;
            write("STLS");
            return;
        }
        login();
        return;
    case State::StartTls:
        if (!response.ok) {
            fail(Problem::Tls, tr("%1 does not offer STLS.").arg(where()));
            return;
        }
        // Whatever came with the answer was sent before encryption, so anyone on the way may
        // have put it there; it must not be read as the server's word.
        if (m_reader.bufferedBytes() > 0 || m_socket.bytesAvailable() > 0) {
            fail(Problem::Tls,
                 tr("%1 sent data that was not asked for before encryption began; the session was "
                    "dropped.")
                     .arg(where()));
            return;
        }
        m_state = State::Handshake;
        m_socket.startClientEncryption();
        return;
    case State::User:
    case State::Pass: {
        if (response.ok && m_state == State::User) {
            m_state = State::Pass;
            write("PASS " + m_config.password.toUtf8());
            return;
        }
        if (!response.ok) {
            // RFC 3206: a locked mailbox or a fault of the server is no verdict on the password.
            const QByteArray code = response.text.toUpper();
            if (code.startsWith("[IN-USE]") || code.startsWith("[SYS/TEMP]"))
                fail(Problem::Busy,
                     tr("%1 cannot open the mailbox of %2 now: %3")
                         .arg(where(), m_config.user, QString::fromUtf8(response.text)));
            else
                fail(Problem::WrongPassword,
                     tr("The POP3 server %1 refused the user name or password of %2: %3")
                         .arg(m_config.host, m_config.user, QString::fromUtf8(response.text)));
            return;
        }
        m_state = State::Ready;
        m_timeout->setEnabled(false);
        Q_EMIT ready();
        sendNext();
        return;
    }
    case State::Ready:
        break;
    default:
        return;
    }
    if (!m_current) {
        fail(Problem::Protocol, tr("%1 sent a response nobody asked for; the session was dropped.").arg(where()));
        return;
    }
    std::unique_ptr<Command> done = std::move(m_current);
    m_timeout->setEnabled(false);
    if (done->done)
        done->done(true, response);
    if (m_state == State::Ready)
        sendNext();
}

void Pop3Connection::send(const QByteArray &command, bool multiLine, Done done)
{
    if (m_state == State::Dead || !sendable(command)) {
        if (done)
            done(false, Pop3Response());
        return;
    }
    m_queue.push_back(Command{command, multiLine, std::move(done)});
    sendNext();
}

void Pop3Connection::quit(std::function<void(bool committed)> done)
{
    send("QUIT", false, [this, done = std::move(done)](bool answered, const Pop3Response &response) {
        // The server closes the line after its answer; that is no loss to report.
        close();
        if (done)
            done(answered && response.ok);
    });
}

void Pop3Connection::sendNext()
{
    if (m_state != State::Ready || m_current || m_queue.empty())
        return;
    m_current = std::make_unique<Command>(std::move(m_queue.front()));
    m_queue.pop_front();
    write(m_current->text);
    m_timeout->restart(ResponseTimeoutMs);
}

bool Pop3Connection::waitFor(const std::function<bool()> &done)
{
    int silentMs = 0;
    while (!done()) {
        if (m_state == State::Dead)
            return false;
        if (QuitRequest::isRaised()) {
            close();
            return done();
        }
        const bool reading = m_state != State::Handshake && m_state != State::Connecting;
        if (reading && (m_backlog || m_socket.bytesAvailable() > 0)) {
            m_backlog = pump();
            silentMs = 0;
            continue;
        }
        const QAbstractSocket::SocketState socketState = m_socket.state();
        if (socketState == QAbstractSocket::HostLookupState || socketState == QAbstractSocket::ConnectingState) {
            if (!m_socket.waitForConnected(ResponseTimeoutMs) && m_state != State::Dead)
                fail(Problem::Unreachable, tr("%1 cannot be reached: %2.").arg(where(), m_socket.errorString()));
            continue;
        }
        if (socketState != QAbstractSocket::ConnectedState) {
            fail(Problem::Lost, tr("%1 closed the connection.").arg(where()));
            continue;
        }
        const quint64 before = m_bytesRead;
        // The socket defers some of its own work (the handshake, decrypting what it read
        // ahead) to queued calls; those, and nothing else, are delivered here.
        QCoreApplication::sendPostedEvents(&m_socket, QEvent::MetaCall);
        if (reading && m_socket.bytesAvailable() > 0)
            continue;
        m_socket.waitForReadyRead(WaitSliceMs);
        if (m_bytesRead != before || m_socket.bytesAvailable() > 0) {
            silentMs = 0;
        } else if ((silentMs += WaitSliceMs) >= ResponseTimeoutMs) {
            fail(Problem::Lost, tr("%1 stopped answering.").arg(where()));
        }
    }
    return true;
}

} // namespace lumora
