#include "host/pop3/Pop3Item.h"

#include "host/common/MessageOpener.h"
#include "host/pop3/Pop3Account.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumora {

Pop3Item::Pop3Item(std::shared_ptr<Pop3Account> account, const QByteArray &uidl, QObject *parent)
    : host::Item(parent)
    , m_account(std::move(account))
    , m_uidl(uidl)
{
}

Pop3Item::~Pop3Item() = default;

QString Pop3Item::EntryID() const
{
    return Pop3Account::itemEntryId(m_account->config().key(), m_uidl);
}

QString Pop3Item::Subject() const
{
    const Pop3Account::Message *m = m_account->message(m_uidl);
    return m ? m->headers.subject : QString();
}

QString Pop3Item::SenderName() const
{
    const Pop3Account::Message *m = m_account->message(m_uidl);
    return m ? m->headers.senderName : QString();
}

int Pop3Item::Importance() const
{
    const Pop3Account::Message *m = m_account->message(m_uidl);
    return m ? m->headers.importance : 1;
}

QDateTime Pop3Item::ReceivedTime() const
{
    const Pop3Account::Message *m = m_account->message(m_uidl);
    return m ? m->received : QDateTime();
}

bool Pop3Item::UnRead() const
{
    const Pop3Account::Message *m = m_account->message(m_uidl);
    return m && !m->read;
}

QString Pop3Item::displayFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/lumora-messages");
}

bool Pop3Item::Display()
{
    m_error.clear();
    QString why;
    const QByteArray message = m_account->content(m_uidl, &why);
    if (message.isEmpty()) {
        m_error = tr("The message could not be fetched from the server: %1").arg(why);
        return false;
    }
    const QString folder = displayFolder();
    if (!QDir().mkpath(folder)
        || !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        m_error = tr("The folder %1 cannot be created or written").arg(folder);
        return false;
    }
    // Hashed: an id may hold characters a file name should not.
    const QByteArray name = QCryptographicHash::hash(EntryID().toLatin1(), QCryptographicHash::Sha1).toHex();
    const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".eml");
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size() || !file.commit()) {
        m_error = tr("The message could not be saved to %1 to open it").arg(path);
        return false;
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!MessageOpener::open(m_account->displayCommand(), path, &m_error))
        return false;
    // POP3 keeps no read flags: a message the user opened counts as read here.
    QString readError;
    m_account->markRead(m_uidl, &readError);
    return true;
}

bool Pop3Item::Delete()
{
    m_error.clear();
    QString why;
    if (m_account->remove(m_uidl, &why))
        return true;
    m_error = why;
    return false;
}

bool Pop3Item::MarkRead()
{
    m_error.clear();
    QString why;
    if (m_account->markRead(m_uidl, &why))
        return true;
    m_error = tr("The message could not be marked as read: %1").arg(why);
    return false;
}

} // namespace lumora
