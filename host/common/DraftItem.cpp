#include "host/common/DraftItem.h"

#include "host/common/DesktopHandlers.h"
#include "platform/core/Clock.h"
#include "platform/core/ProcessLauncher.h"
#include "platform/core/Product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

namespace lumora {

namespace {

QString icalTime(const QDateTime &t)
{
    return t.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

} // namespace

DraftItem::DraftItem(int type, QObject *parent)
    : host::Item(parent)
    , m_type(type)
{
}

DraftItem::~DraftItem() = default;

QString DraftItem::draftsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/')
        + product::companyFolder() + QLatin1Char('/') + product::productFolder() + QStringLiteral("/drafts");
}

QByteArray DraftItem::draftText(int type, const QDateTime &now)
{
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString stamp = icalTime(now);
    QStringList lines;
    if (type == host::ContactItemType) {
        lines << QStringLiteral("BEGIN:VCARD") << QStringLiteral("VERSION:4.0") << QStringLiteral("UID:urn:uuid:") + uid
              << QStringLiteral("FN:") << QStringLiteral("REV:") + stamp << QStringLiteral("END:VCARD");
    } else if (type == host::AppointmentItemType || type == host::TaskItemType || type == host::NoteItemType) {
        lines << QStringLiteral("BEGIN:VCALENDAR") << QStringLiteral("VERSION:2.0")
              << QStringLiteral("PRODID:-//Corvane Software//Lumora//EN");
        if (type == host::AppointmentItemType) {
            // A new appointment starts at the next full hour and lasts one hour.
            QDateTime start = now;
            start.setTime(QTime(now.time().hour(), 0));
            start = start.addSecs(3600);
            lines << QStringLiteral("BEGIN:VEVENT") << QStringLiteral("UID:") + uid
                  << QStringLiteral("DTSTAMP:") + stamp << QStringLiteral("DTSTART:") + icalTime(start)
                  << QStringLiteral("DTEND:") + icalTime(start.addSecs(3600)) << QStringLiteral("SUMMARY:")
                  << QStringLiteral("END:VEVENT");
        } else if (type == host::TaskItemType) {
            lines << QStringLiteral("BEGIN:VTODO") << QStringLiteral("UID:") + uid << QStringLiteral("DTSTAMP:") + stamp
                  << QStringLiteral("SUMMARY:") << QStringLiteral("STATUS:NEEDS-ACTION") << QStringLiteral("END:VTODO");
        } else {
            lines << QStringLiteral("BEGIN:VJOURNAL") << QStringLiteral("UID:") + uid
                  << QStringLiteral("DTSTAMP:") + stamp << QStringLiteral("SUMMARY:") << QStringLiteral("END:VJOURNAL");
        }
        lines << QStringLiteral("END:VCALENDAR");
    } else {
        return {};
    }
    // Both formats want CRLF line endings.
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

bool DraftItem::Display()
{
    m_error.clear();
    QString why;
    if (m_type == host::MailItemType) {
        if (DesktopHandlers::instance().defaultEntry(QStringLiteral("x-scheme-handler/mailto")).isEmpty()) {
            m_error = QCoreApplication::translate("DraftItem",
                                                  "No mail client on this desktop handles mailto: links. Install a "
                                                  "mail program (for example Thunderbird or Evolution), or choose one "
                                                  "with \"xdg-mime default PROGRAM.desktop x-scheme-handler/mailto\"");
            return false;
        }
        if (ProcessLauncher::instance().startDetached(QStringLiteral("xdg-email"), {}, nullptr, &why))
            return true;
        m_error = QCoreApplication::translate("DraftItem", "The mail composer \"xdg-email\" could not be started: %1")
                      .arg(why);
        return false;
    }

    const QDateTime now = Clock::instance().now();
    const QByteArray text = draftText(m_type, now);
    if (text.isEmpty()) {
        m_error = QCoreApplication::translate("DraftItem", "Items of type %1 cannot be created").arg(m_type);
        return false;
    }
    // Looked for before the draft is written: a draft nothing opens is only a stray file.
    const bool contact = m_type == host::ContactItemType;
    DesktopHandlers &handlers = DesktopHandlers::instance();
    const bool handled = contact ? !handlers.defaultEntry(QStringLiteral("text/vcard")).isEmpty()
            || !handlers.defaultEntry(QStringLiteral("text/x-vcard")).isEmpty()
                                 : !handlers.defaultEntry(QStringLiteral("text/calendar")).isEmpty();
    if (!handled) {
        m_error = contact
            ? QCoreApplication::translate("DraftItem",
                                          "No program on this desktop opens contacts (text/vcard). Install an "
                                          "address book (for example GNOME Contacts, Evolution or "
                                          "KAddressBook), or choose one with \"xdg-mime default "
                                          "PROGRAM.desktop text/vcard\"")
            : QCoreApplication::translate("DraftItem",
                                          "No program on this desktop opens calendar files (text/calendar). "
                                          "Install a calendar program (for example GNOME Calendar, Evolution "
                                          "or KOrganizer), or choose one with \"xdg-mime default "
                                          "PROGRAM.desktop text/calendar\"");
        return false;
    }
    const QString folder = draftsFolder();
    if (!QDir().mkpath(folder)) {
        m_error = QCoreApplication::translate("DraftItem", "The drafts folder %1 cannot be created").arg(folder);
        return false;
    }
    const char *kind = m_type == host::ContactItemType ? "contact"
        : m_type == host::AppointmentItemType          ? "appointment"
        : m_type == host::TaskItemType                 ? "task"
                                                       : "note";
    const QString suffix = m_type == host::ContactItemType ? QStringLiteral(".vcf") : QStringLiteral(".ics");
    const QString base = folder + QLatin1Char('/') + QLatin1String(kind) + QLatin1Char('-')
        + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = base + suffix;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + suffix;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        m_error = QCoreApplication::translate("DraftItem", "The draft %1 cannot be written: %2")
                      .arg(path, file.errorString());
        return false;
    }
    m_draftPath = path;
    if (ProcessLauncher::instance().startDetached(QStringLiteral("xdg-open"), {path}, nullptr, &why))
        return true;
    m_error =
        QCoreApplication::translate("DraftItem", "The draft %1 was written, but \"xdg-open\" could not be started: %2")
            .arg(path, why);
    return false;
}

} // namespace lumora
