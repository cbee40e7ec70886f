#include "app/MailSourceSetup.h"

#include "app/MaildirSourceFactory.h"
#include "app/MboxSourceFactory.h"
#include "app/MhSourceFactory.h"
#include "host/common/MailApplication.h"
#include "host/common/MailSource.h"
#include "host/imap/ImapAccountConfig.h"
#include "platform/core/Verbose.h"

#include <QRegularExpression>

namespace lumora {

MailSourceSetup::MailSourceSetup(MailApplication &mail, PasswordStore &passwords, bool interactive, Say say,
                                 QObject *parent)
    : QObject(parent)
    , m_mail(mail)
    , m_imapSetup(passwords)
    , m_imap(m_imapSetup)
    , m_pop3(m_imapSetup)
    , m_say(std::move(say))
{
    m_imapOptions.interactive = interactive;
    connect(&m_imapSetup, &ImapSetup::say, this, [this](const QString &text) {
        if (m_say)
            m_say(text);
    });
}

MailSourceSetup::~MailSourceSetup() = default;

bool MailSourceSetup::isOpen(const QString &key, bool pop3) const
{
    for (const Open &open : m_open) {
        if (open.key == key && open.pop3 == pop3)
            return true;
    }
    return false;
}

MailSource *MailSourceSetup::adopt(std::unique_ptr<MailSource> source, const QString &key, bool kept, bool imap)
{
    MailSource *raw = source.get();
    const QString storeId = raw->storeId();
    if (!m_mail.addSource(std::move(source)))
        return nullptr; // the same store under another name: already watched
    m_open.append({key, storeId, kept, imap});
    Verbose::line(QStringLiteral("watching %1").arg(raw->description()));
    return raw;
}

bool MailSourceSetup::openMaildir(const QString &root, bool kept, QString *why, MailSource **opened)
{
    const QString key = MaildirSourceFactory::canonical(root);
    if (isOpen(key))
        return true;
    std::unique_ptr<MailSource> source = MaildirSourceFactory::create(root, why);
    if (!source)
        return false;
    MailSource *raw = adopt(std::move(source), key, kept, false);
    if (opened)
        *opened = raw;
    return true;
}

bool MailSourceSetup::openImap(const QString &url, bool kept, const QString &password, QString *why,
                               MailSource **opened)
{
    const QString key = ImapSourceFactory::key(url);
    if (!key.isEmpty() && isOpen(key))
        return true;
    ImapSetup::Options options = m_imapOptions;
    options.password = password;
    std::unique_ptr<MailSource> source = m_imap.create(url, options, why);
    if (!source)
        return false;
    MailSource *raw = adopt(std::move(source), key, kept, true);
    if (opened)
        *opened = raw;
    return true;
}

bool MailSourceSetup::openMbox(const QString &path, const QString &origin, QString *why)
{
    const QString key = QStringLiteral("mbox:") + MboxSourceFactory::canonical(path);
    if (isOpen(key))
        return true;
    std::unique_ptr<MailSource> source = MboxSourceFactory::create(path, why);
    if (!source)
        return false;
    if (adopt(std::move(source), key, false, false))
        m_open.last().other = QStringLiteral("mbox: %1 (%2)").arg(key.mid(5), origin);
    return true;
}

bool MailSourceSetup::openMh(const QString &root, QString *why)
{
    const QString key = QStringLiteral("mh:") + MhSourceFactory::canonical(root);
    if (isOpen(key))
        return true;
    std::unique_ptr<MailSource> source = MhSourceFactory::create(root, why);
    if (!source)
        return false;
    if (adopt(std::move(source), key, false, false))
        m_open.last().other = QStringLiteral("MH: %1 (%2)").arg(key.mid(3), tr("command line"));
    return true;
}

bool MailSourceSetup::openPop3(const QString &url, bool kept, const QString &password, QString *why,
                               MailSource **opened)
{
    const QString key = Pop3SourceFactory::key(url);
    if (!key.isEmpty() && isOpen(key, true))
        return true;
    ImapSetup::Options options = m_imapOptions;
    options.password = password;
    std::unique_ptr<MailSource> source = m_pop3.create(url, options, why);
    if (!source)
        return false;
    MailSource *raw = source.get();
    const QString storeId = raw->storeId();
    if (!m_mail.addSource(std::move(source)))
        return true; // already watched
    m_open.append({key, storeId, kept, false, true});
    Verbose::line(QStringLiteral("watching %1").arg(raw->description()));
    if (opened)
        *opened = raw;
    return true;
}

bool MailSourceSetup::compose(const CommandLine &commandLine, const HostSettings &stored, QString *error)
{
    m_imapOptions.passwordFromStdin = commandLine.passwordFromStdin;
    m_imapOptions.trust = commandLine.trust;
    for (const QString &fingerprint : commandLine.trust) {
        QString hex = fingerprint.toUpper();
        hex.remove(QLatin1Char(':'));
        static const QRegularExpression sha256(QStringLiteral("^[0-9A-F]{64}$"));
        if (!sha256.match(hex).hasMatch()) {
            *error = tr("--imap-trust takes a SHA-256 fingerprint (64 hexadecimal digits, colons "
                        "allowed), not \"%1\".")
                         .arg(fingerprint);
            return false;
        }
    }
    QString why;
    // The default store is watched when it is there; its absence is no fault.
    const QString defaultRoot = MaildirSourceFactory::defaultRoot();
    if (openMaildir(defaultRoot, false, &why))
        m_defaultStore = MaildirSourceFactory::canonical(defaultRoot);
    else
        Verbose::line(QStringLiteral("no default Maildir store: %1").arg(why));
    for (const QString &root : commandLine.maildirs) {
        if (!openMaildir(root, false, &why)) {
            *error = tr("--maildir: %1.").arg(why);
            return false;
        }
    }
    for (const QString &path : commandLine.mboxes) {
        if (!openMbox(path, tr("command line"), &why)) {
            *error = QStringLiteral("--mbox: %1.").arg(why);
            return false;
        }
    }
    for (const QString &root : commandLine.mhDirs) {
        if (!openMh(root, &why)) {
            *error = QStringLiteral("--mh: %1.").arg(why);
            return false;
        }
    }
    for (const QString &root : stored.stores) {
        if (!openMaildir(root, true, &why) && m_say)
            m_say(tr("Lumora: the kept store is not watched: %1.").arg(why));
    }
    for (const QString &url : commandLine.imapUrls) {
        if (!openImap(url, false, QString(), &why)) {
            *error = why;
            return false;
        }
        // Standard input holds one password: it serves the first account only.
        m_imapOptions.passwordFromStdin = false;
    }
    for (const QString &url : stored.imapAccounts) {
        if (!openImap(url, true, QString(), &why) && m_say)
            m_say(tr("Lumora: the kept account is not watched: %1").arg(why));
    }
    for (const QString &url : commandLine.pop3Urls) {
        if (!openPop3(url, false, QString(), &why)) {
            *error = QStringLiteral("--pop3: %1").arg(why);
            return false;
        }
        m_imapOptions.passwordFromStdin = false;
    }
    for (const QString &url : stored.pop3Accounts) {
        if (!openPop3(url, true, QString(), &why) && m_say)
            m_say(tr("Lumora: the kept POP3 account is not watched: %1").arg(why));
    }
    // The spool of a system that delivers locally, when no other place is known.
    const QString spool = MboxSourceFactory::defaultSpool();
    if (m_open.isEmpty() && !spool.isEmpty() && !openMbox(spool, QStringLiteral("$MAIL"), &why))
        Verbose::line(QStringLiteral("no mail spool: %1").arg(why));
    return true;
}

void MailSourceSetup::apply(const HostSettings &settings, const QHash<QString, QString> &passwords)
{
    // Closed first: a store removed and another added in one apply never meet.
    QStringList wanted;
    for (const QString &root : settings.stores)
        wanted << MaildirSourceFactory::canonical(root);
    for (const QString &url : settings.imapAccounts)
        wanted << ImapSourceFactory::key(url);
    QStringList wantedPop3;
    for (const QString &url : settings.pop3Accounts)
        wantedPop3 << Pop3SourceFactory::key(url);
    for (qsizetype i = m_open.size() - 1; i >= 0; --i) {
        const Open open = m_open.at(i);
        if (!open.kept || (open.pop3 ? wantedPop3 : wanted).contains(open.key))
            continue;
        m_open.removeAt(i);
        m_mail.removeSource(open.storeId);
        Verbose::line(QStringLiteral("closed %1").arg(open.key));
        Q_EMIT sourceClosed(open.storeId);
    }
    QString why;
    for (const QString &root : settings.stores) {
        MailSource *opened = nullptr;
        if (!openMaildir(root, true, &why, &opened)) {
            if (m_say)
                m_say(tr("Lumora: the store is not watched: %1.").arg(why));
        } else if (opened) {
            Q_EMIT sourceOpened(opened);
        }
    }
    for (const QString &url : settings.imapAccounts) {
        MailSource *opened = nullptr;
        if (!openImap(url, true, passwords.value(ImapSourceFactory::key(url)), &why, &opened)) {
            if (m_say)
                m_say(tr("Lumora: the account is not watched: %1").arg(why));
        } else if (opened) {
            Q_EMIT sourceOpened(opened);
        }
    }
    for (const QString &url : settings.pop3Accounts) {
        MailSource *opened = nullptr;
        if (!openPop3(url, true, passwords.value(Pop3SourceFactory::key(url)), &why, &opened)) {
            if (m_say)
                m_say(tr("Lumora: the POP3 account is not watched: %1").arg(why));
        } else if (opened) {
            Q_EMIT sourceOpened(opened);
        }
    }
}

QStringList MailSourceSetup::openStores() const
{
    QStringList out;
    for (const Open &open : m_open) {
        if (!open.imap && !open.pop3 && open.other.isEmpty())
            out << open.key;
    }
    return out;
}

QStringList MailSourceSetup::openAccounts() const
{
    QStringList out;
    for (const Open &open : m_open) {
        if (open.imap || open.pop3)
            out << open.key;
    }
    return out;
}

QStringList MailSourceSetup::openOthers() const
{
    QStringList out;
    for (const Open &open : m_open) {
        if (!open.other.isEmpty())
            out << open.other;
    }
    return out;
}

QStringList MailSourceSetup::describe() const
{
    QStringList out;
    for (MailSource *source : m_mail.sources())
        out << source->description();
    return out;
}

} // namespace lumora
