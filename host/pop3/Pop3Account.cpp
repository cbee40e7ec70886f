#include "host/pop3/Pop3Account.h"

#include "host/common/HexText.h"
#include "host/common/MailHeaderReader.h"
#include "platform/core/Clock.h"
#include "platform/core/QuitRequest.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"

namespace lumora {

Pop3Account::Pop3Account(const Pop3AccountConfig &config, const QString &statePath, QObject *parent)
    : QObject(parent)
    , m_config(config)
    , m_state(statePath)
    , m_timer(Clock::instance().createTimer())
{
    connect(m_timer.get(), &Timer::tick, this, [this] {
        m_timer->setEnabled(false);
        check();
    });
}

Pop3Account::~Pop3Account()
{
    delete m_connection.data();
}

void Pop3Account::setPassword(const QString &password)
{
    m_config.password = password;
    m_refused = false;
}

void Pop3Account::trustFingerprint(const QString &fingerprint)
{
    if (!m_config.trustedFingerprints.contains(fingerprint))
        m_config.trustedFingerprints.append(fingerprint);
    m_refused = false;
}

QString Pop3Account::storeId() const
{
    return storeIdOf(m_config.key());
}

QString Pop3Account::problem() const
{
    if (m_stateProblem.isEmpty())
        return m_problem;
    return m_problem.isEmpty() ? m_stateProblem : m_problem + QLatin1Char('\n') + m_stateProblem;
}

void Pop3Account::report(const QString &text)
{
    if (text == m_problem)
        return;
    m_problem = text;
    if (!text.isEmpty())
        Verbose::line(QStringLiteral("pop3 %1: %2").arg(m_config.key(), text));
    Q_EMIT problemChanged(problem());
}

void Pop3Account::noteFailure(Pop3Connection *connection)
{
    if (QuitRequest::isRaised())
        return;
    const Pop3Connection::Problem p = connection->problem();
    m_refused = p == Pop3Connection::Problem::WrongPassword || p == Pop3Connection::Problem::CertificateUntrusted;
    report(connection->problemText());
    if (p == Pop3Connection::Problem::CertificateUntrusted)
        Q_EMIT certificateUntrusted(connection->certificateFingerprint());
}

void Pop3Account::start()
{
    if (m_started)
        return;
    m_started = true;
    QString error;
    if (!m_state.load(&error)) {
        m_stateProblem = error;
        Verbose::line(QStringLiteral("pop3 %1: %2").arg(m_config.key(), error));
        Q_EMIT problemChanged(problem());
    }
    Verbose::line(QStringLiteral("pop3 %1: %2 message(s) known, checked every %3 minute(s)")
                      .arg(m_config.key())
                      .arg(m_state.messages().size())
                      .arg(m_config.intervalMinutes));
    check();
}

void Pop3Account::checkNow()
{
    if (!m_started)
        return;
    m_refused = false;
    if (isChecking()) {
        m_checkAgain = true;
        return;
    }
    check();
}

void Pop3Account::armTimer()
{
    if (m_refused) {
        // Nothing wakes until the user changes something (checkNow).
        m_timer->setEnabled(false);
        return;
    }
    m_timer->restart(m_config.intervalMinutes * 60 * 1000);
}

void Pop3Account::check()
{
    if (isChecking() || m_refused)
        return;
    m_fresh.clear();
    m_fetched.clear();
    m_deleted.clear();
    auto *connection = new Pop3Connection(m_config, this);
    m_connection = connection;
    connect(connection, &Pop3Connection::failed, this, [this, connection] {
        noteFailure(connection);
        connection->deleteLater();
        finishCheck(false);
    });
    connect(connection, &Pop3Connection::ready, this, [this, connection] {
        connection->send("UIDL", true, [this](bool answered, const Pop3Response &response) {
            if (answered)
                onListed(response);
        });
    });
    connection->open();
}

void Pop3Account::onListed(const Pop3Response &response)
{
    if (!response.ok) {
        report(tr("The POP3 server %1 does not list message ids (UIDL), so new mail cannot be told from old: %2")
                   .arg(m_config.key(), QString::fromUtf8(response.text)));
        endSession();
        finishCheck(false);
        return;
    }
    const QList<std::pair<quint32, QByteArray>> listed = Pop3ResponseReader::parseUidl(response.body);
    QSet<QByteArray> present;
    for (const auto &[number, uidl] : listed) {
        present.insert(uidl);
        if (!m_state.find(uidl))
            m_fresh.append({number, uidl});
    }
    // Messages gone from the server (another client took them) are forgotten with their state.
    if (m_state.retain(present)) {
        saveState();
        Q_EMIT unreadChanged();
    }
    fetchHeaders();
}

void Pop3Account::fetchHeaders()
{
    if (m_fetched.size() == m_fresh.size()) {
        endSession();
        finishCheck(true);
        return;
    }
    const auto [number, uidl] = m_fresh.at(m_fetched.size());
    // TOP n 0: the header block alone, so a large message costs no more than a small one.
    m_connection->send(
        "TOP " + QByteArray::number(number) + " 0", true, [this, uidl](bool answered, const Pop3Response &response) {
            if (!answered)
                return;
            Message m;
            m.uidl = uidl;
            m.received = Clock::instance().now();
            if (response.ok)
                m.headers = MailHeaderReader::parse(response.body);
            else
                Verbose::line(QStringLiteral("pop3 %1: no headers of %2: %3")
                                  .arg(m_config.key(), QString::fromLatin1(uidl), QString::fromUtf8(response.text)));
            m_fetched.append(m);
            fetchHeaders();
        });
}

void Pop3Account::endSession()
{
    // The session says goodbye on its own time; the check is over already.
    Pop3Connection *connection = m_connection;
    connection->disconnect(this);
    connection->quit([connection](bool) { connection->deleteLater(); });
}

void Pop3Account::finishCheck(bool completed)
{
    if (m_connection)
        m_connection->disconnect(this);
    m_connection = nullptr;
    ++m_checksDone;
    if (completed) {
        QList<QByteArray> arrivedNow;
        for (const Message &m : std::as_const(m_fetched)) {
            if (m_deleted.contains(m.uidl))
                continue;
            m_state.append(m);
            arrivedNow.append(m.uidl);
        }
        if (!arrivedNow.isEmpty())
            saveState();
        report(QString());
        Verbose::line(QStringLiteral("pop3 %1: %2 new message(s)").arg(m_config.key()).arg(arrivedNow.size()));
        if (!arrivedNow.isEmpty()) {
            Q_EMIT unreadChanged();
            Q_EMIT arrived(arrivedNow);
        }
    }
    m_fresh.clear();
    m_fetched.clear();
    m_deleted.clear();
    Q_EMIT checked();
    if (m_checkAgain) {
        m_checkAgain = false;
        check();
        return;
    }
    armTimer();
}

bool Pop3Account::saveState()
{
    QString error;
    const bool ok = m_state.save(&error);
    if (error != m_stateProblem) {
        m_stateProblem = ok ? QString() : error;
        Q_EMIT problemChanged(problem());
    }
    return ok;
}

QList<const Pop3Account::Message *> Pop3Account::unreadOldestFirst() const
{
    QList<const Message *> out;
    for (const Message &m : m_state.messages()) {
        if (!m.read)
            out.append(&m);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Message *a, const Message *b) { return a->received < b->received; });
    return out;
}

int Pop3Account::unreadCount() const
{
    int n = 0;
    for (const Message &m : m_state.messages())
        n += m.read ? 0 : 1;
    return n;
}

bool Pop3Account::markRead(const QByteArray &uidl, QString *error)
{
    Message *m = m_state.find(uidl);
    if (!m) {
        *error = tr("The message is no longer on the server");
        return false;
    }
    if (m->read)
        return true;
    m->read = true;
    if (!saveState()) {
        m->read = false;
        *error = m_stateProblem;
        return false;
    }
    Q_EMIT unreadChanged();
    return true;
}

std::unique_ptr<Pop3Connection> Pop3Account::openNow(QString *error)
{
    if (m_refused) {
        *error = m_problem;
        return nullptr;
    }
    auto session = std::make_unique<Pop3Connection>(m_config);
    Pop3Connection *raw = session.get();
    raw->open();
    if (!raw->waitFor([raw] { return raw->isReady() || raw->isDead(); }) || !raw->isReady()) {
        noteFailure(raw);
        *error = raw->problemText();
        return nullptr;
    }
    return session;
}

bool Pop3Account::request(Pop3Connection &session, const QByteArray &command, bool multiLine, Pop3Response *response,
                          QString *error)
{
    // The answer lands here even should the session outlive the wait.
    struct Answer
    {
        bool finished = false;
        bool answered = false;
        Pop3Response response;
    };
    auto answer = std::make_shared<Answer>();
    session.send(command, multiLine, [answer](bool answered, const Pop3Response &r) {
        answer->finished = true;
        answer->answered = answered;
        answer->response = r;
    });
    session.waitFor([&answer] { return answer->finished; });
    if (!answer->answered) {
        if (session.isDead())
            noteFailure(&session);
        *error = session.problemText();
        return false;
    }
    *response = answer->response;
    return true;
}

quint32 Pop3Account::numberOf(Pop3Connection &session, const QByteArray &uidl, QString *error)
{
    // Message numbers hold for one session only, so the id is looked up in this one.
    Pop3Response listing;
    if (!request(session, "UIDL", true, &listing, error))
        return 0;
    if (!listing.ok) {
        *error = tr("The server does not list message ids: %1").arg(QString::fromUtf8(listing.text));
        return 0;
    }
    for (const auto &[number, id] : Pop3ResponseReader::parseUidl(listing.body)) {
        if (id == uidl)
            return number;
    }
    *error = tr("The message is no longer on the server");
    return 0;
}

bool Pop3Account::quitNow(Pop3Connection &session)
{
    auto committed = std::make_shared<std::optional<bool>>();
    session.quit([committed](bool ok) { *committed = ok; });
    session.waitFor([&committed] { return committed->has_value(); });
    return committed->value_or(false);
}

QByteArray Pop3Account::content(const QByteArray &uidl, QString *error)
{
    std::unique_ptr<Pop3Connection> session = openNow(error);
    if (!session)
        return {};
    const quint32 number = numberOf(*session, uidl, error);
    if (number == 0) {
        session->close();
        return {};
    }
    Pop3Response message;
    if (!request(*session, "RETR " + QByteArray::number(number), true, &message, error))
        return {};
    quitNow(*session);
    if (!message.ok) {
        *error = tr("The server did not hand out the message: %1").arg(QString::fromUtf8(message.text));
        return {};
    }
    return message.body;
}

bool Pop3Account::remove(const QByteArray &uidl, QString *error)
{
    const Message *known = m_state.find(uidl);
    if (!known) {
        *error = tr("The message is no longer on the server");
        return false;
    }
    const QString what = tr("\"%1\" from %2").arg(known->headers.subject, known->headers.senderName);
    if (!m_confirm || !m_confirm(what)) {
        *error = tr("The message was not deleted: POP3 deletes it from the server for good, and that was not "
                    "confirmed");
        return false;
    }
    std::unique_ptr<Pop3Connection> session = openNow(error);
    if (!session)
        return false;
    const quint32 number = numberOf(*session, uidl, error);
    if (number == 0) {
        session->close();
        return false;
    }
    Pop3Response deleted;
    if (!request(*session, "DELE " + QByteArray::number(number), false, &deleted, error))
        return false;
    if (!deleted.ok) {
        *error = tr("The server refused to delete the message: %1").arg(QString::fromUtf8(deleted.text));
        session->close();
        return false;
    }
    // The deletion happens only when the server acknowledges QUIT.
    if (!quitNow(*session)) {
        *error = tr("The server did not confirm the deletion; the message may still be there");
        return false;
    }
    m_deleted.insert(uidl);
    m_state.remove(uidl);
    saveState();
    Q_EMIT unreadChanged();
    return true;
}

QString Pop3Account::storeIdOf(const QString &accountKey)
{
    return HexText::encode(QStringLiteral("P3S\n") + accountKey);
}

QString Pop3Account::folderEntryId(const QString &accountKey)
{
    return HexText::encode(QStringLiteral("P3F\n") + accountKey);
}

QString Pop3Account::itemEntryId(const QString &accountKey, const QByteArray &uidl)
{
    return HexText::encode(QStringLiteral("P3M\n%1\n%2").arg(accountKey, QString::fromLatin1(uidl)));
}

bool Pop3Account::parseFolderEntryId(const QString &id, QString *accountKey)
{
    QString text;
    if (!HexText::decode(id, &text) || !text.startsWith(QLatin1String("P3F\n")))
        return false;
    *accountKey = text.mid(4);
    return !accountKey->contains(QLatin1Char('\n'));
}

bool Pop3Account::parseItemEntryId(const QString &id, QString *accountKey, QByteArray *uidl)
{
    QString text;
    if (!HexText::decode(id, &text))
        return false;
    const QStringList parts = text.split(QLatin1Char('\n'));
    if (parts.size() != 3 || parts.at(0) != QLatin1String("P3M"))
        return false;
    *accountKey = parts.at(1);
    *uidl = parts.at(2).toLatin1();
    return Pop3ResponseReader::isValidUidl(*uidl);
}

} // namespace lumora
