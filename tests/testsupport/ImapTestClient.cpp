#include "tests/testsupport/ImapTestClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace lumora::test {

bool waitUntil(const std::function<bool()> &done, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

ImapTestClient::ImapTestClient(const ImapAccountConfig &config)
    : m_connection(config)
{
    m_connection.open();
    waitUntil([&] { return m_connection.isReady() || m_connection.isDead(); }, 10000);
}

QList<ImapResponse> ImapTestClient::run(const QByteArray &command, bool *ok, const QByteArray &literal)
{
    bool done = false;
    QList<ImapResponse> out;
    m_connection.send(
        command,
        [&](const ImapResponse &tagged, const QList<ImapResponse> &untagged) {
            done = true;
            out = untagged;
            if (ok)
                *ok = tagged.status() == "OK";
        },
        literal);
    waitUntil([&] { return done; }, 10000);
    return out;
}

bool ImapTestClient::append(const QByteArray &mailbox, const QByteArray &message)
{
    bool ok = false;
    run("APPEND " + ImapConnection::quote(mailbox) + " {" + QByteArray::number(message.size()) + '}', &ok, message);
    return ok;
}

qint64 ImapTestClient::count(const QByteArray &mailbox)
{
    for (const ImapResponse &r : run("STATUS " + ImapConnection::quote(mailbox) + " (MESSAGES)")) {
        if (r.word(0) == "STATUS" && r.values.size() > 2) {
            if (const ImapValue *v = r.values.at(2).valueOf("MESSAGES"))
                return qint64(v->number());
        }
    }
    return -1;
}

QByteArray ImapTestClient::flags(const QByteArray &mailbox)
{
    run("EXAMINE " + ImapConnection::quote(mailbox));
    QByteArray all;
    for (const ImapResponse &r : run("FETCH 1:* (FLAGS)")) {
        const ImapValue *flags =
            r.word(1) == "FETCH" && r.values.size() > 2 ? r.values.at(2).valueOf("FLAGS") : nullptr;
        if (!flags)
            continue;
        for (const ImapValue &f : flags->items)
            all += f.text + ' ';
    }
    return all;
}

} // namespace lumora::test
