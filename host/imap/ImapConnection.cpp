#include "host/imap/ImapConnection.h"

#include "host/imap/ImapTokenSource.h"

#include "platform/core/Clock.h"
#include "platform/core/QuitRequest.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QMetaObject>
#include <QSslCertificate>

namespace lumora {

namespace {

// Servers drop an IDLE after 30 minutes; renewing it earlier also proves the link alive.
constexpr int IdleRenewMs = 25 * 60 * 1000;
// What the socket reads ahead of the parser: beyond it the server waits (TCP holds it back)
// instead of this process growing.
constexpr qint64 SocketBufferBytes = 1024 * 1024;
constexpr qint64 ReadChunkBytes = 256 * 1024;
// A blocking wait looks for a quit request this often.
constexpr int WaitSliceMs = 50;
// What one collected response costs beyond its bytes (its parsed form).
constexpr qsizetype ResponseOverheadBytes = 512;

} // namespace

ImapConnection::ImapConnection(const ImapAccountConfig &config, QObject *parent)
    : QObject(parent)
    , m_config(config)
    , m_timeout(Clock::instance().createTimer())
{
    m_socket.setReadBufferSize(SocketBufferBytes);
    connect(&m_socket, &QSslSocket::connected, this, &ImapConnection::onConnected);
    connect(&m_socket, &QSslSocket::encrypted, this, &ImapConnection::onEncrypted);
    connect(&m_socket, &QSslSocket::readyRead, this, &ImapConnection::onReadyRead);
    connect(&m_socket, &QSslSocket::sslErrors, this, &ImapConnection::onSslErrors);
    connect(&m_socket, &QSslSocket::errorOccurred, this, &ImapConnection::onSocketError);
    // A TLS session closed by the server may end without an error report.
    connect(&m_socket, &QSslSocket::disconnected, this,
            [this] { fail(Problem::Lost, QStringLiteral("%1 closed the connection.").arg(where())); });
    connect(m_timeout.get(), &Timer::tick, this, [this] {
        m_timeout->setEnabled(false);
        if (m_idleConfirmed && !m_doneSent) {
            // Time to renew the IDLE: end it; it resumes once the server confirms.
            m_doneSent = true;
            write("DONE");
            armTimeout(true);
            return;
        }
        fail(Problem::Lost, QStringLiteral("%1 stopped answering.").arg(where()));
    });
}

ImapConnection::~ImapConnection()
{
    // Pending callers must not wait for answers that will never come.
    m_state = State::Dead;
    m_socket.disconnect(this);
    m_socket.abort();
}

QString ImapConnection::where() const
{
    return QStringLiteral("The mail server %1:%2").arg(m_config.host).arg(m_config.port);
}

void ImapConnection::open()
{
    if (m_state != State::Idle)
        return;
    m_state = State::Connecting;
    m_socket.setPeerVerifyName(m_config.host);
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    armTimeout(true);
    if (m_config.security == ImapAccountConfig::Security::ImplicitTls)
        m_socket.connectToHostEncrypted(m_config.host, m_config.port);
    else
        m_socket.connectToHost(m_config.host, m_config.port);
}

void ImapConnection::close()
{
    if (m_state == State::Dead)
        return;
    m_state = State::Dead;
    m_timeout->setEnabled(false);
    m_socket.disconnect(this);
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.write("Z LOGOUT\r\n");
    m_socket.disconnectFromHost();
    auto queue = std::move(m_queue);
    m_queue.clear();
    std::unique_ptr<Command> current = std::move(m_current);
    if (current && current->done)
        current->done(ImapResponse(), current->untagged);
    for (Command &c : queue) {
        if (c.done)
            c.done(ImapResponse(), {});
    }
}

void ImapConnection::armTimeout(bool on)
{
    if (on)
        m_timeout->restart(ResponseTimeoutMs);
    else
        m_timeout->setEnabled(false);
}

void ImapConnection::onConnected()
{
    if (m_config.security == ImapAccountConfig::Security::ImplicitTls)
        return; // the greeting comes once TLS is up
    m_state = State::Greeting;
}

void ImapConnection::onEncrypted()
{
    if (m_state == State::Connecting)
        m_state = State::Greeting;
    else if (m_state == State::Handshake)
        requestCapabilities();
}

void ImapConnection::onSslErrors(const QList<QSslError> &errors)
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
    m_problemText = QCoreApplication::translate("ImapConnection",
                                                "The certificate of %1:%2 is not trusted (%3). Its "
                                                "SHA-256 fingerprint is %4; trust it only if your "
                                                "provider confirms it.")
                        .arg(m_config.host)
                        .arg(m_config.port)
                        .arg(reasons.join(QStringLiteral("; ")), m_fingerprint);
}

void ImapConnection::onSocketError(QAbstractSocket::SocketError error)
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
            fail(Problem::Unreachable,
                 QStringLiteral("%1 cannot be reached: %2.").arg(where(), m_socket.errorString()));
            return;
        }
        break;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        fail(Problem::Tls, QStringLiteral("%1 could not set up encryption: %2.").arg(where(), m_socket.errorString()));
        return;
    default:
        break;
    }
    fail(Problem::Lost,
         QCoreApplication::translate("ImapConnection", "The connection to %1:%2 was lost: %3.")
             .arg(m_config.host)
             .arg(m_config.port)
             .arg(m_socket.errorString()));
}

void ImapConnection::fail(Problem problem, const QString &message)
{
    if (m_state == State::Dead)
        return;
    m_problem = problem;
    m_problemText = message;
    close();
    Q_EMIT failed(problem, message);
}

void ImapConnection::onReadyRead()
{
    m_backlog = pump();
    if (m_backlog && !m_turnQueued) {
        // The rest follows once the event loop has served everyone else (a quit included).
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

bool ImapConnection::pump()
{
    int handled = 0;
    ImapResponse response;
    qsizetype size = 0;
    while (m_state != State::Dead) {
        if (m_reader.next(&response, &size)) {
            handle(response, size);
            if (++handled >= ResponsesPerTurn)
                return m_state != State::Dead;
            continue;
        }
        if (m_reader.failed()) {
            fail(Problem::Protocol,
                 QStringLiteral("%1 sent a response too large to accept (a line over %2 MB or a response over "
                                "%3 MB); the session was dropped.")
                     .arg(where())
                     .arg(ImapResponseReader::MaxLineBytes / (1024 * 1024))
                     .arg(ImapResponseReader::MaxResponseBytes / (1024 * 1024)));
            return false;
        }
        // Only as much is read as the parser needs, so a flood stays in the socket.
        if (m_socket.bytesAvailable() <= 0)
            return false;
        const QByteArray bytes = m_socket.read(ReadChunkBytes);
        m_bytesRead += quint64(bytes.size());
        m_reader.feed(bytes);
    }
    return false;
}

qsizetype ImapConnection::heldBytes() const
{
    return m_reader.bufferedBytes() + (m_current ? m_current->heldBytes : 0);
}

bool ImapConnection::waitFor(const std::function<bool()> &done)
{
    int silentMs = 0;
    while (!done()) {
        if (m_state == State::Dead)
            return false;
        if (QuitRequest::isRaised()) {
            // The answer would come to a process that is ending: give it up now.
            close();
            return done();
        }
        if (m_backlog || m_socket.bytesAvailable() > 0) {
            m_backlog = pump();
            silentMs = 0;
            continue;
        }
        const QAbstractSocket::SocketState socketState = m_socket.state();
        if (socketState == QAbstractSocket::HostLookupState || socketState == QAbstractSocket::ConnectingState) {
            // Qt gives up a connection attempt whose wait runs out, so this one wait is whole.
            if (!m_socket.waitForConnected(ResponseTimeoutMs) && m_state != State::Dead)
                fail(Problem::Unreachable,
                     QStringLiteral("%1 cannot be reached: %2.").arg(where(), m_socket.errorString()));
            continue;
        }
        if (socketState != QAbstractSocket::ConnectedState) {
            fail(Problem::Lost, QStringLiteral("%1 closed the connection.").arg(where()));
            continue;
        }
        const quint64 before = m_bytesRead;
        // The socket defers some of its own work (decrypting what it read ahead) to queued
        // calls; those, and nothing else, are delivered here.
        QCoreApplication::sendPostedEvents(&m_socket, QEvent::MetaCall);
        if (m_socket.bytesAvailable() > 0)
            continue;
        m_socket.waitForReadyRead(WaitSliceMs);
        if (m_bytesRead != before || m_socket.bytesAvailable() > 0) {
            silentMs = 0;
        } else if ((silentMs += WaitSliceMs) >= ResponseTimeoutMs) {
            fail(Problem::Lost, QStringLiteral("%1 stopped answering.").arg(where()));
        }
    }
    return true;
}

void ImapConnection::write(const QByteArray &line)
{
    m_socket.write(line + "\r\n");
}

void ImapConnection::readCapabilities(const QList<ImapValue> &values, qsizetype from)
{
    m_capabilities.clear();
    for (qsizetype i = from; i < values.size(); ++i)
        m_capabilities.insert(values.at(i).text.toUpper());
}

void ImapConnection::handleGreeting(const ImapResponse &response)
{
    const QByteArray status = response.status();
    if (status == "BYE" || status.isEmpty()) {
        fail(Problem::Unreachable,
             QStringLiteral("%1 refused the connection: %2").arg(where(), QString::fromUtf8(response.text)));
        return;
    }
    if (m_config.security == ImapAccountConfig::Security::StartTls) {
        m_state = State::StartTls;
        write("S STARTTLS");
        return;
    }
    requestCapabilities();
}

void ImapConnection::requestCapabilities()
{
    m_state = State::Capability;
    write("C CAPABILITY");
}

void ImapConnection::login()
{
    m_state = State::Login;
    if (m_capabilities.contains("LOGINDISABLED")) {
        fail(Problem::Tls, QStringLiteral("%1 refuses to log in without encryption.").arg(where()));
        return;
    }
    if (m_config.signIn == ImapAccountConfig::SignIn::OAuth2) {
        loginWithToken(false);
        return;
    }
    if (m_capabilities.contains("AUTH=PLAIN")) {
        // SASL PLAIN carries any UTF-8 password, which LOGIN's quoting cannot always.
        const QByteArray token = QByteArray('\0' + m_config.user.toUtf8() + '\0' + m_config.password.toUtf8());
        write("L AUTHENTICATE PLAIN");
        m_current = std::make_unique<Command>();
        m_current->tag = "L";
        m_current->continuation = token.toBase64();
        return;
    }
    write("L LOGIN " + quote(m_config.user.toUtf8()) + ' ' + quote(m_config.password.toUtf8()));
}

void ImapConnection::loginWithToken(bool fresh)
{
    m_state = State::Login;
    // OAUTHBEARER is the standard one; XOAUTH2 is what older servers offer.
    if (m_capabilities.contains("AUTH=OAUTHBEARER")) {
        m_mechanism = ImapOAuth::Mechanism::OAuthBearer;
    } else if (m_capabilities.contains("AUTH=XOAUTH2")) {
        m_mechanism = ImapOAuth::Mechanism::XOAuth2;
    } else {
        fail(Problem::Protocol,
             QCoreApplication::translate("ImapConnection",
                                         "The mail server %1 does not offer OAuth2 sign-in (OAUTHBEARER or XOAUTH2).")
                 .arg(m_config.host));
        return;
    }
    if (!m_config.tokens) {
        fail(Problem::Token, QStringLiteral("%1 has no source of sign-in tokens.").arg(where()));
        return;
    }
    const ImapTokenSource::Token token = m_config.tokens->token(fresh);
    if (m_state != State::Login)
        return;
    if (token.value.isEmpty()) {
        fail(Problem::Token,
             QCoreApplication::translate("ImapConnection", "No sign-in token for %1 from %2: %3")
                 .arg(m_config.key(), m_config.tokens->describe(), token.problem));
        return;
    }
    m_oauth = true;
    m_oauthChallenged = false;
    m_oauthStatus.clear();
    const QByteArray response =
        ImapOAuth::initialResponse(m_mechanism, m_config.user, m_config.host, m_config.port, token.value).toBase64();
    m_current = std::make_unique<Command>();
    m_current->tag = "L";
    const QByteArray command = "L AUTHENTICATE " + ImapOAuth::name(m_mechanism);
    if (m_capabilities.contains("SASL-IR")) {
        write(command + ' ' + response);
    } else {
        write(command);
        m_current->continuation = response;
    }
}

void ImapConnection::loginRefused(const ImapResponse &response)
{
    const QString said = QString::fromUtf8(response.text);
    if (!m_oauth) {
        fail(Problem::WrongPassword,
             QCoreApplication::translate("ImapConnection",
                                         "The mail server %1 refused the user name or password of %2: %3")
                 .arg(m_config.host, m_config.user, said));
        return;
    }
    // A refusal that blames the token (or names no other cause) is what an expired one
    // gets: one fresh token is worth a try before the user is told.
    const QByteArray code = response.code.toUpper();
    const bool tokenBlamed = ImapOAuth::saysTokenRefused(m_oauthStatus) || code.isEmpty()
        || code == "AUTHENTICATIONFAILED" || code == "EXPIRED";
    if (tokenBlamed && !m_tokenRetried) {
        m_tokenRetried = true;
        Verbose::line(QStringLiteral("imap %1: token refused (%2), asking for a fresh one")
                          .arg(m_config.key(), m_oauthStatus.isEmpty() ? said : m_oauthStatus));
        loginWithToken(true);
        return;
    }
    fail(Problem::WrongPassword,
         QCoreApplication::translate("ImapConnection", "The mail server %1 refused the sign-in token of %2: %3")
             .arg(m_config.host, m_config.user, said));
}

bool ImapConnection::collect(const ImapResponse &response, qsizetype size)
{
    // IDLE and fire-and-forget commands hand their responses on only; nobody reads a list.
    if (!m_current || !m_current->done || m_current->tag == m_idleTag)
        return true;
    m_current->heldBytes += size + ResponseOverheadBytes;
    if (m_current->heldBytes > m_maxHeldBytes) {
        fail(Problem::Protocol,
             QStringLiteral("%1 sent more than %2 MB in answer to one command; the session was dropped.")
                 .arg(where())
                 .arg(m_maxHeldBytes / (1024 * 1024)));
        return false;
    }
    m_current->untagged.append(response);
    return true;
}

void ImapConnection::handle(const ImapResponse &response, qsizetype size)
{
    if (!m_idleConfirmed)
        armTimeout(m_current || m_state != State::Ready);
    // A server about to close (over its session limit, shutting down) may keep the line open
    // a while: the session ends here, not when a wait runs out.
    if (m_state != State::Greeting && m_state != State::Ready && response.isUntagged() && response.status() == "BYE") {
        fail(Problem::Lost, QStringLiteral("%1 closed the session: %2").arg(where(), QString::fromUtf8(response.text)));
        return;
    }
    switch (m_state) {
    case State::Greeting:
        if (response.isUntagged())
            handleGreeting(response);
        return;
    case State::StartTls:
        if (response.tag != "S")
            return;
        if (response.status() != "OK") {
            fail(Problem::Tls, QStringLiteral("%1 does not offer STARTTLS.").arg(where()));
            return;
        }
        m_state = State::Handshake;
        m_socket.startClientEncryption();
        return;
    case State::Capability:
        if (response.isUntagged() && response.word(0) == "CAPABILITY") {
            readCapabilities(response.values, 1);
        } else if (response.tag == "C") {
            if (response.status() != "OK") {
                fail(Problem::Protocol, QStringLiteral("%1 did not list its capabilities.").arg(where()));
                return;
            }
            login();
        }
        return;
    case State::Login:
        if (response.isContinuation() && m_current && !m_current->continuation.isEmpty()) {
            write(m_current->continuation);
            m_current->continuation.clear();
            return;
        }
        if (response.isContinuation() && m_oauth) {
            // The server's reason for refusing the token; it waits for our answer before its NO.
            if (m_oauthChallenged) {
                fail(Problem::Protocol, QStringLiteral("%1 keeps asking for more during login.").arg(where()));
                return;
            }
            m_oauthChallenged = true;
            m_oauthStatus = ImapOAuth::errorStatus(response.text);
            write(ImapOAuth::errorAcknowledgement(m_mechanism));
            return;
        }
        if (response.isContinuation()) {
            if (m_loginCancelled) {
                fail(Problem::Protocol, QStringLiteral("%1 keeps asking for more during login.").arg(where()));
                return;
            }
            m_loginCancelled = true;
            write("*");
            return;
        }
        if (response.isUntagged() && response.word(0) == "CAPABILITY")
            readCapabilities(response.values, 1);
        if (response.tag != "L")
            return;
        m_current.reset();
        if (response.status() != "OK") {
            loginRefused(response);
            return;
        }
        if (response.code.toUpper().startsWith("CAPABILITY "))
            readCapabilities(ImapResponseReader::parse("* " + response.code + "\r\n").values, 1);
        m_state = State::Ready;
        armTimeout(false);
        Q_EMIT ready();
        sendNext();
        return;
    case State::Ready:
        break;
    default:
        return;
    }

    if (response.isUntagged()) {
        if (response.status() == "BYE") {
            fail(Problem::Lost,
                 QStringLiteral("%1 closed the session: %2").arg(where(), QString::fromUtf8(response.text)));
            return;
        }
        if (!collect(response, size))
            return;
        Q_EMIT untagged(response);
        return;
    }
    if (response.isContinuation()) {
        if (m_current && m_current->tag == m_idleTag) {
            m_idleConfirmed = true;
            m_timeout->restart(IdleRenewMs);
            if (!m_queue.empty() && !m_doneSent) {
                m_doneSent = true;
                m_doneForCommand = true;
                write("DONE");
                armTimeout(true);
            }
        } else if (m_current && !m_current->continuation.isEmpty()) {
            m_socket.write(m_current->continuation);
            write(QByteArray());
            m_current->continuation.clear();
        }
        return;
    }
    if (!m_current || response.tag != m_current->tag)
        return;
    std::unique_ptr<Command> done = std::move(m_current);
    bool idleEndedByItself = false;
    if (done->tag == m_idleTag) {
        idleEndedByItself = !m_doneForCommand;
        m_idleTag.clear();
        m_doneSent = false;
        m_doneForCommand = false;
        m_idleConfirmed = false;
    }
    armTimeout(false);
    if (done->done)
        done->done(response, done->untagged);
    if (idleEndedByItself) {
        Q_EMIT idleEnded();
        if (m_state != State::Ready)
            return;
    }
    if (m_state == State::Ready)
        sendNext();
}

void ImapConnection::send(const QByteArray &command, Done done, const QByteArray &continuation)
{
    if (m_state == State::Dead) {
        if (done)
            done(ImapResponse(), {});
        return;
    }
    m_queue.push_back(Command{command, continuation, std::move(done), {}, {}});
    if (m_idleConfirmed && !m_doneSent) {
        // In IDLE (the server confirmed it): leave it so the command can go out.
        m_doneSent = true;
        m_doneForCommand = true;
        write("DONE");
        armTimeout(true);
        return;
    }
    sendNext();
}

void ImapConnection::idle()
{
    m_idleWanted = true;
    sendNext();
}

void ImapConnection::sendNext()
{
    if (m_state != State::Ready || m_current)
        return;
    if (m_queue.empty()) {
        if (!m_idleWanted || !hasCapability("IDLE"))
            return;
        m_current = std::make_unique<Command>();
        m_current->tag = m_idleTag = 'I' + QByteArray::number(m_nextTag++);
        write(m_current->tag + " IDLE");
        armTimeout(true);
        return;
    }
    m_current = std::make_unique<Command>(std::move(m_queue.front()));
    m_queue.pop_front();
    m_current->tag = 'A' + QByteArray::number(m_nextTag++);
    if (!m_current->continuation.isEmpty() && hasCapability("LITERAL+") && m_current->text.endsWith('}')) {
        // With LITERAL+ the literal goes out at once, without waiting for the server.
        m_current->text.insert(m_current->text.size() - 1, '+');
        write(m_current->tag + ' ' + m_current->text);
        if (!m_current->continuation.isEmpty()) {
            m_socket.write(m_current->continuation);
            write(QByteArray());
            m_current->continuation.clear();
        }
    } else {
        write(m_current->tag + ' ' + m_current->text);
    }
    armTimeout(true);
}

QByteArray ImapConnection::quote(const QByteArray &text)
{
    bool plain = true;
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == '\0' || uchar(c) >= 0x80)
            plain = false;
    }
    if (!plain)
        return '{' + QByteArray::number(text.size()) + "+}\r\n" + text;
    QByteArray out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out.append('\\');
        out.append(c);
    }
    return out + '"';
}

} // namespace lumora
