#include "host/imap/ImapAccount.h"

#include "host/common/HexText.h"
#include "host/common/MailboxName.h"
#include "platform/core/QuitRequest.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QTimeZone>

#include <algorithm>
#include <memory>

namespace lumora {

namespace {

const QByteArray HeaderFields =
    "BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE IMPORTANCE X-PRIORITY PRIORITY MESSAGE-ID)]";

// The value that follows the FETCH item whose name starts with prefix ("BODY[").
const ImapValue *fetchItem(const ImapValue &list, const QByteArray &prefix)
{
    for (qsizetype i = 0; i + 1 < list.items.size(); i += 2) {
        if (list.items.at(i).text.toUpper().startsWith(prefix))
            return &list.items.at(i + 1);
    }
    return nullptr;
}

// The attribute list of each FETCH response: (UID 5 FLAGS (...) ...).
QList<const ImapValue *> fetchLists(const QList<ImapResponse> &untagged)
{
    QList<const ImapValue *> out;
    for (const ImapResponse &r : untagged) {
        if (r.word(1) == "FETCH" && r.values.size() > 2 && r.values.at(2).isList())
            out.append(&r.values.at(2));
    }
    return out;
}

bool hasSeen(const ImapValue *flags)
{
    if (!flags)
        return false;
    for (const ImapValue &f : flags->items) {
        if (f.text.compare("\\Seen", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

bool ImapAccount::Mailbox::selectable() const
{
    return !attributes.contains("\\NOSELECT") && !attributes.contains("\\NONEXISTENT");
}

bool ImapAccount::Mailbox::quiet() const
{
    for (const char *use : {"\\TRASH", "\\JUNK", "\\SENT", "\\DRAFTS", "\\ALL", "\\FLAGGED"}) {
        if (attributes.contains(use))
            return true;
    }
    return false;
}

ImapAccount::ImapAccount(const ImapAccountConfig &config, QObject *parent)
    : QObject(parent)
    , m_config(config)
{
}

ImapAccount::~ImapAccount()
{
    if (m_connection)
        m_connection->close();
}

void ImapAccount::setPassword(const QString &password)
{
    m_config.password = password;
    m_refused = false;
}

void ImapAccount::trustFingerprint(const QString &fingerprint)
{
    if (!m_config.trustedFingerprints.contains(fingerprint))
        m_config.trustedFingerprints.append(fingerprint);
    m_refused = false;
}

QString ImapAccount::storeId() const
{
    return storeIdOf(m_config.key());
}

void ImapAccount::report(const QString &text)
{
    if (text == m_problem)
        return;
    m_problem = text;
    if (!text.isEmpty())
        Verbose::line(QStringLiteral("imap %1: %2").arg(m_config.key(), text));
    Q_EMIT problemChanged(text);
}

bool ImapAccount::connectNow()
{
    if (m_connection && m_connection->isReady())
        return true;
    if (m_refused)
        return false;
    if (m_connection)
        m_connection->deleteLater();
    m_selected.clear();
    m_connection = new ImapConnection(m_config, this);
    ImapConnection *connection = m_connection;
    connection->open();
    if (!connection->waitFor([connection] { return connection->isReady() || connection->isDead(); })
        || !connection->isReady()) {
        if (QuitRequest::isRaised())
            return false;
        const ImapConnection::Problem problem = connection->problem();
        m_refused = problem == ImapConnection::Problem::WrongPassword
            || problem == ImapConnection::Problem::CertificateUntrusted;
        report(connection->problemText());
        if (problem == ImapConnection::Problem::CertificateUntrusted)
            noteUntrustedCertificate(connection->certificateFingerprint());
        return false;
    }
    report(QString());
    return true;
}

bool ImapAccount::run(const QByteArray &command, QList<ImapResponse> *untagged, const QByteArray &literal)
{
    // A request made while another waits (from a slot of a report the wait gave) gets no
    // answer rather than a reply meant for the other.
    if (m_busy) {
        Verbose::line(QStringLiteral("imap %1: request refused while another is pending").arg(m_config.key()));
        return false;
    }
    if (QuitRequest::isRaised())
        return false;
    m_busy = true;
    bool ok = false;
    if (connectNow()) {
        // The answer lands here even should the session outlive this call.
        struct Answer
        {
            bool finished = false;
            bool ok = false;
            QList<ImapResponse> untagged;
        };
        auto answer = std::make_shared<Answer>();
        ImapConnection *connection = m_connection;
        connection->send(
            command,
            [answer](const ImapResponse &tagged, const QList<ImapResponse> &responses) {
                answer->finished = true;
                answer->ok = tagged.status() == "OK";
                answer->untagged = responses;
            },
            literal);
        connection->waitFor([&answer] { return answer->finished; });
        ok = answer->ok;
        if (untagged)
            *untagged = std::move(answer->untagged);
        if (connection->isDead() && !QuitRequest::isRaised())
            report(connection->problemText());
    }
    m_busy = false;
    return ok;
}

bool ImapAccount::refreshMailboxes()
{
    QList<ImapResponse> untagged;
    if (!run("LIST \"\" \"*\"", &untagged))
        return false;
    QList<Mailbox> found;
    for (const ImapResponse &r : untagged) {
        if (r.word(0) != "LIST" || r.values.size() < 4 || !r.values.at(1).isList())
            continue;
        Mailbox m;
        for (const ImapValue &a : r.values.at(1).items)
            m.attributes.insert(a.text.toUpper());
        const QByteArray delimiter = r.values.at(2).text;
        m.delimiter = delimiter.size() == 1 ? QChar::fromLatin1(delimiter.at(0)) : QChar();
        m.raw = r.values.at(3).text;
        // INBOX is case-insensitive; one spelling keeps its ids stable.
        if (m.raw.compare("INBOX", Qt::CaseInsensitive) == 0)
            m.raw = "INBOX";
        m.name = MailboxName::decode(QString::fromUtf8(m.raw));
        found.append(m);
    }
    m_mailboxes = found;
    m_listed = true;
    return true;
}

QList<ImapAccount::Mailbox> ImapAccount::mailboxes()
{
    if (!m_listed)
        refreshMailboxes();
    return m_mailboxes;
}

std::optional<ImapAccount::Mailbox> ImapAccount::mailbox(const QByteArray &raw)
{
    for (int pass = 0; pass < 2; ++pass) {
        for (const Mailbox &m : mailboxes()) {
            if (m.raw == raw)
                return m;
        }
        // It may have been created since the last listing.
        if (pass == 0 && !refreshMailboxes())
            break;
    }
    return std::nullopt;
}

QByteArray ImapAccount::specialMailbox(const QByteArray &use, const QByteArray &usualName)
{
    for (const Mailbox &m : mailboxes()) {
        if (m.attributes.contains(use))
            return m.raw;
    }
    for (const Mailbox &m : std::as_const(m_mailboxes)) {
        if (m.raw.compare(usualName, Qt::CaseInsensitive) == 0)
            return m.raw;
    }
    return {};
}

QByteArray ImapAccount::trashMailbox(bool create)
{
    const QByteArray trash = specialMailbox("\\TRASH", "Trash");
    if (!trash.isEmpty() || !create)
        return trash;
    run("CREATE \"Trash\"");
    refreshMailboxes();
    return mailbox("Trash") ? QByteArray("Trash") : QByteArray();
}

QByteArray ImapAccount::draftsMailbox()
{
    return specialMailbox("\\DRAFTS", "Drafts");
}

QString ImapAccount::displayName(const QByteArray &raw)
{
    if (raw == "INBOX")
        return QStringLiteral("Inbox");
    const std::optional<Mailbox> m = mailbox(raw);
    if (!m)
        return MailboxName::decode(QString::fromUtf8(raw));
    return m->delimiter.isNull() ? m->name : m->name.section(m->delimiter, -1);
}

QList<QByteArray> ImapAccount::childMailboxes(const QByteArray &parent)
{
    QList<QByteArray> children;
    for (const Mailbox &m : mailboxes()) {
        if (m.raw == "INBOX")
            continue;
        const QByteArray delimiter = m.delimiter.isNull() ? QByteArray() : QByteArray(1, m.delimiter.toLatin1());
        const qsizetype cut = delimiter.isEmpty() ? -1 : m.raw.lastIndexOf(delimiter);
        const QByteArray above = cut < 0 ? QByteArray() : m.raw.left(cut);
        // The Inbox stands for the account: top-level mailboxes hang below it.
        if (above == parent || (parent == "INBOX" && above.isEmpty()))
            children.append(m.raw);
    }
    return children;
}

bool ImapAccount::select(const QByteArray &mailbox, bool force)
{
    // Servers need not tell a session that its mailbox was deleted and made again, so
    // whatever starts a look at a mailbox selects it anew.
    if (!force && m_selected == mailbox && m_connection && m_connection->isReady())
        return true;
    m_selected.clear();
    QList<ImapResponse> untagged;
    if (!run("SELECT " + ImapConnection::quote(mailbox), &untagged)) {
        if (m_connection && m_connection->isReady())
            report(QCoreApplication::translate("ImapAccount", "The mailbox \"%1\" is gone from %2.")
                       .arg(MailboxName::decode(QString::fromUtf8(mailbox)), m_config.key()));
        return false;
    }
    m_selectedValidity = 0;
    for (const ImapResponse &r : untagged) {
        if (r.status() == "OK" && r.code.toUpper().startsWith("UIDVALIDITY "))
            m_selectedValidity = r.code.mid(12).trimmed().toUInt();
    }
    m_selected = mailbox;
    return true;
}

quint32 ImapAccount::uidValidity(const QByteArray &mailbox, bool force)
{
    return select(mailbox, force) ? m_selectedValidity : 0;
}

qint64 ImapAccount::messageCount(const QByteArray &mailbox)
{
    QList<ImapResponse> untagged;
    if (!run("STATUS " + ImapConnection::quote(mailbox) + " (MESSAGES)", &untagged))
        return 0;
    for (const ImapResponse &r : untagged) {
        if (r.word(0) == "STATUS" && r.values.size() > 2) {
            if (const ImapValue *v = r.values.at(2).valueOf("MESSAGES"))
                return qint64(v->number());
        }
    }
    return 0;
}

QString ImapAccount::messageKey(const QByteArray &mailbox, quint32 uidValidity, quint32 uid) const
{
    return itemEntryId(QString(), mailbox, uidValidity, uid);
}

bool ImapAccount::fetchInfo(const QByteArray &mailbox, const QByteArray &uidSet)
{
    QList<ImapResponse> untagged;
    if (!run("UID FETCH " + uidSet + " (UID INTERNALDATE FLAGS)", &untagged))
        return false;
    for (const ImapValue *list : fetchLists(untagged)) {
        const ImapValue *uid = list->valueOf("UID");
        if (!uid || uid->number() == 0 || uid->number() > 0xffffffffu)
            continue;
        Message &m = m_messages[messageKey(mailbox, m_selectedValidity, quint32(uid->number()))];
        if (const ImapValue *date = list->valueOf("INTERNALDATE"))
            m.received = parseInternalDate(date->text);
        m.seen = hasSeen(list->valueOf("FLAGS"));
    }
    return true;
}

QList<quint32> ImapAccount::unreadOldestFirst(const QByteArray &mailbox, quint32 *uidValidity)
{
    QList<ImapResponse> untagged;
    if (!select(mailbox, true) || !run("UID SEARCH UNSEEN UNDELETED", &untagged))
        return {};
    *uidValidity = m_selectedValidity;
    QList<quint32> uids;
    for (const ImapResponse &r : untagged) {
        if (r.word(0) != "SEARCH")
            continue;
        for (qsizetype i = 1; i < r.values.size(); ++i) {
            const quint64 n = r.values.at(i).number();
            if (n > 0 && n <= 0xffffffffu)
                uids.append(quint32(n));
        }
    }
    if (uids.isEmpty() || !fetchInfo(mailbox, sequenceSet(uids)))
        return {};
    const quint32 validity = m_selectedValidity;
    std::sort(uids.begin(), uids.end(), [&](quint32 a, quint32 b) {
        const QDateTime da = m_messages.value(messageKey(mailbox, validity, a)).received;
        const QDateTime db = m_messages.value(messageKey(mailbox, validity, b)).received;
        return da != db ? da < db : a < b;
    });
    return uids;
}

const ImapAccount::Message *ImapAccount::message(const QByteArray &mailbox, quint32 uidValidity, quint32 uid,
                                                 bool fresh)
{
    const QString key = messageKey(mailbox, uidValidity, uid);
    auto it = m_messages.constFind(key);
    if (it != m_messages.constEnd() && !fresh)
        return &*it;
    std::optional<MailHeaders> known;
    if (it != m_messages.constEnd())
        known = it->headers;
    m_messages.remove(key);
    if (uidValidity == 0 || this->uidValidity(mailbox, fresh) != uidValidity
        || !fetchInfo(mailbox, QByteArray::number(uid)))
        return nullptr;
    auto found = m_messages.find(key);
    if (found == m_messages.end())
        return nullptr;
    if (!found->headers)
        found->headers = known;
    return &*found;
}

const MailHeaders *ImapAccount::headers(const QByteArray &mailbox, quint32 uidValidity, quint32 uid)
{
    if (!message(mailbox, uidValidity, uid))
        return nullptr;
    const QString key = messageKey(mailbox, uidValidity, uid);
    if (m_messages[key].headers)
        return &*m_messages[key].headers;
    QList<ImapResponse> untagged;
    if (this->uidValidity(mailbox) != uidValidity
        || !run("UID FETCH " + QByteArray::number(uid) + " (UID " + HeaderFields + ")", &untagged))
        return nullptr;
    for (const ImapValue *list : fetchLists(untagged)) {
        const ImapValue *u = list->valueOf("UID");
        const ImapValue *body = fetchItem(*list, "BODY[");
        if (u && u->number() == uid && body) {
            m_messages[key].headers = MailHeaderReader::parse(body->text);
            return &*m_messages[key].headers;
        }
    }
    return nullptr;
}

QByteArray ImapAccount::content(const QByteArray &mailbox, quint32 uidValidity, quint32 uid)
{
    QList<ImapResponse> untagged;
    if (this->uidValidity(mailbox, true) != uidValidity
        || !run("UID FETCH " + QByteArray::number(uid) + " (UID BODY.PEEK[])", &untagged))
        return {};
    for (const ImapValue *list : fetchLists(untagged)) {
        const ImapValue *u = list->valueOf("UID");
        const ImapValue *body = fetchItem(*list, "BODY[");
        if (u && u->number() == uid && body)
            return body->text;
    }
    return {};
}

bool ImapAccount::moveToTrash(const QByteArray &mailbox, quint32 uidValidity, quint32 uid)
{
    const QByteArray trash = trashMailbox(true);
    if (trash.isEmpty() || trash == mailbox) {
        Verbose::line(QStringLiteral("imap %1: no Trash to move into").arg(m_config.key()));
        return false;
    }
    // A UID that is gone would be "moved" without error, so its presence is checked first.
    if (!message(mailbox, uidValidity, uid, true))
        return false;
    const QByteArray id = QByteArray::number(uid);
    QList<ImapResponse> untagged;
    if (m_connection && m_connection->hasCapability("MOVE")) {
        if (!run("UID MOVE " + id + ' ' + ImapConnection::quote(trash), &untagged))
            return false;
    } else {
        if (!run("UID COPY " + id + ' ' + ImapConnection::quote(trash))
            || !run("UID STORE " + id + " +FLAGS.SILENT (\\Deleted)"))
            return false;
        // Without UIDPLUS only a plain EXPUNGE exists, which would also remove whatever else
        // the user marked deleted; the message stays marked for the mail client to expunge.
        if (m_connection && m_connection->hasCapability("UIDPLUS"))
            run("UID EXPUNGE " + id);
    }
    m_messages.remove(messageKey(mailbox, uidValidity, uid));
    return true;
}

bool ImapAccount::markSeen(const QByteArray &mailbox, quint32 uidValidity, quint32 uid)
{
    // A UID that is gone would be "stored" without error, so its presence is checked first;
    // the fresh look also selects the mailbox read-write.
    const Message *known = message(mailbox, uidValidity, uid, true);
    if (!known)
        return false;
    if (known->seen)
        return true;
    if (!run("UID STORE " + QByteArray::number(uid) + " +FLAGS.SILENT (\\Seen)"))
        return false;
    m_messages[messageKey(mailbox, uidValidity, uid)].seen = true;
    return true;
}

void ImapAccount::setUnseenCount(const QByteArray &mailbox, int count)
{
    if (unseenCount(mailbox) == count)
        return;
    if (count < 0)
        m_unseen.remove(mailbox);
    else
        m_unseen.insert(mailbox, count);
    Q_EMIT unseenChanged();
}

QString ImapAccount::storeIdOf(const QString &accountKey)
{
    return HexText::encode(QStringLiteral("IS\n") + accountKey);
}

QString ImapAccount::folderEntryId(const QString &accountKey, const QByteArray &mailbox)
{
    return HexText::encode(QStringLiteral("IF\n%1\n%2").arg(accountKey, QString::fromUtf8(mailbox)));
}

QString ImapAccount::itemEntryId(const QString &accountKey, const QByteArray &mailbox, quint32 uidValidity, quint32 uid)
{
    return HexText::encode(
        QStringLiteral("IM\n%1\n%2\n%3\n%4").arg(accountKey, QString::fromUtf8(mailbox)).arg(uidValidity).arg(uid));
}

bool ImapAccount::parseFolderEntryId(const QString &id, QString *accountKey, QByteArray *mailbox)
{
    QString text;
    if (!HexText::decode(id, &text))
        return false;
    const QStringList parts = text.split(QLatin1Char('\n'));
    if (parts.size() != 3 || parts.at(0) != QLatin1String("IF") || parts.at(2).isEmpty())
        return false;
    *accountKey = parts.at(1);
    *mailbox = parts.at(2).toUtf8();
    return true;
}

bool ImapAccount::parseItemEntryId(const QString &id, QString *accountKey, QByteArray *mailbox, quint32 *uidValidity,
                                   quint32 *uid)
{
    QString text;
    if (!HexText::decode(id, &text))
        return false;
    const QStringList parts = text.split(QLatin1Char('\n'));
    if (parts.size() != 5 || parts.at(0) != QLatin1String("IM") || parts.at(2).isEmpty())
        return false;
    bool okValidity = false;
    bool okUid = false;
    *accountKey = parts.at(1);
    *mailbox = parts.at(2).toUtf8();
    *uidValidity = parts.at(3).toUInt(&okValidity);
    *uid = parts.at(4).toUInt(&okUid);
    return okValidity && okUid && *uid > 0;
}

QDateTime ImapAccount::parseInternalDate(const QByteArray &text)
{
    // dd-Mon-yyyy hh:mm:ss +zzzz, the day possibly space-padded.
    const QByteArray t = text.trimmed();
    static const char *const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const QList<QByteArray> parts = t.split(' ');
    if (parts.size() != 3)
        return {};
    const QList<QByteArray> date = parts.at(0).split('-');
    const QList<QByteArray> time = parts.at(1).split(':');
    const QByteArray &zone = parts.at(2);
    if (date.size() != 3 || time.size() != 3 || zone.size() != 5 || (zone.at(0) != '+' && zone.at(0) != '-'))
        return {};
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (date.at(1).toUpper() == months[i])
            month = i + 1;
    }
    bool ok[7] = {};
    const int day = date.at(0).toInt(&ok[0]);
    const int year = date.at(2).toInt(&ok[1]);
    const int hour = time.at(0).toInt(&ok[2]);
    const int minute = time.at(1).toInt(&ok[3]);
    const int second = time.at(2).toInt(&ok[4]);
    const int zh = zone.mid(1, 2).toInt(&ok[5]);
    const int zm = zone.mid(3, 2).toInt(&ok[6]);
    for (bool b : ok) {
        if (!b)
            return {};
    }
    const QDate d(year, month, day);
    const QTime tm(hour, minute, second);
    if (month == 0 || !d.isValid() || !tm.isValid() || zh > 23 || zm > 59)
        return {};
    const int offset = (zh * 3600 + zm * 60) * (zone.at(0) == '-' ? -1 : 1);
    return QDateTime(d, tm, QTimeZone(offset)).toLocalTime();
}

QByteArray ImapAccount::sequenceSet(QList<quint32> uids)
{
    std::sort(uids.begin(), uids.end());
    QByteArray out;
    qsizetype i = 0;
    while (i < uids.size()) {
        qsizetype j = i;
        while (j + 1 < uids.size() && uids.at(j + 1) <= uids.at(j) + 1)
            ++j;
        if (!out.isEmpty())
            out.append(',');
        out.append(QByteArray::number(uids.at(i)));
        if (uids.at(j) != uids.at(i))
            out.append(':' + QByteArray::number(uids.at(j)));
        i = j + 1;
    }
    return out;
}

} // namespace lumora
