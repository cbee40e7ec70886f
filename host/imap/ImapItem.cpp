#include "host/imap/ImapItem.h"

#include "host/common/MessageOpener.h"
#include "host/imap/ImapAccount.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumora {

ImapItem::ImapItem(std::shared_ptr<ImapAccount> account, const QByteArray &mailbox, quint32 uidValidity, quint32 uid,
                   QObject *parent)
    : host::Item(parent)
    , m_account(std::move(account))
    , m_mailbox(mailbox)
    , m_uidValidity(uidValidity)
    , m_uid(uid)
{
}

ImapItem::~ImapItem() = default;

QString ImapItem::EntryID() const
{
    return ImapAccount::itemEntryId(m_account->config().key(), m_mailbox, m_uidValidity, m_uid);
}

QString ImapItem::StoreID() const
{
    return m_account->storeId();
}

const MailHeaders *ImapItem::headers() const
{
    return m_account->headers(m_mailbox, m_uidValidity, m_uid);
}

QString ImapItem::Subject() const
{
    const MailHeaders *h = headers();
    return h ? h->subject : QString();
}

QString ImapItem::SenderName() const
{
    const MailHeaders *h = headers();
    return h ? h->senderName : QString();
}

QString ImapItem::MessageKey() const
{
    const MailHeaders *h = headers();
    return h && !h->messageId.isEmpty() ? QStringLiteral("<%1>").arg(QString::fromLatin1(h->messageId)) : QString();
}

int ImapItem::Importance() const
{
    const MailHeaders *h = headers();
    return h ? h->importance : 1;
}

QDateTime ImapItem::ReceivedTime() const
{
    const ImapAccount::Message *m = m_account->message(m_mailbox, m_uidValidity, m_uid);
    return m ? m->received : QDateTime();
}

bool ImapItem::UnRead() const
{
    const ImapAccount::Message *m = m_account->message(m_mailbox, m_uidValidity, m_uid);
    return m && !m->seen;
}

QString ImapItem::displayFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/lumora-messages");
}

bool ImapItem::Display()
{
    m_error.clear();
    const QByteArray message = m_account->content(m_mailbox, m_uidValidity, m_uid);
    if (message.isEmpty()) {
        m_error =
            unreachable(QCoreApplication::translate("ImapItem", "The message could not be fetched from the server"));
        return false;
    }
    const QString folder = displayFolder();
    if (!QDir().mkpath(folder)
        || !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        m_error = QCoreApplication::translate("ImapItem", "The folder %1 cannot be created or written").arg(folder);
        return false;
    }
    // The id names the file, so opening the same message twice reuses it; hashed, as a long
    // mailbox name would make the id too long for a file name.
    const QByteArray name = QCryptographicHash::hash(EntryID().toLatin1(), QCryptographicHash::Sha1).toHex();
    const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".eml");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size() || !file.commit()) {
        Verbose::line(QStringLiteral("imap: cannot save %1 to open it").arg(path));
        m_error = QCoreApplication::translate("ImapItem", "The message could not be saved to %1 to open it").arg(path);
        return false;
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return MessageOpener::open(m_account->displayCommand(), path, &m_error);
}

bool ImapItem::Delete()
{
    m_error.clear();
    if (m_account->moveToTrash(m_mailbox, m_uidValidity, m_uid))
        return true;
    m_error =
        unreachable(QCoreApplication::translate("ImapItem", "The message could not be moved to Trash on the server"));
    return false;
}

bool ImapItem::MarkRead()
{
    m_error.clear();
    if (m_account->markSeen(m_mailbox, m_uidValidity, m_uid))
        return true;
    m_error =
        unreachable(QCoreApplication::translate("ImapItem", "The message could not be marked as read on the server"));
    return false;
}

QString ImapItem::unreachable(const QString &what) const
{
    // The account's own problem (wrong password, server gone, mailbox gone) says why.
    const QString problem = m_account->problem();
    return problem.isEmpty() ? what : what + QStringLiteral(": ") + problem;
}

} // namespace lumora
