#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

namespace lumora {

// What the tray form and the popup call on the controller. OlAddIn implements it; the
// split keeps tray/ and popup/ free of the controller's own dependencies.
class OlAddInInterface
{
public:
    virtual ~OlAddInInterface() = default;

    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool value) = 0;
    // True while the mail application's main window is the active window.
    virtual bool WindowState() const = 0;
    virtual qint16 NewMsgCount() const = 0;
    // Both give false when the message was not opened or not deleted; lastActionError
    // then says why. An empty EntryID (the test popup's) names no message and succeeds.
    virtual bool ShowMailMessage(const QString &EntryID, const QString &StoreID) = 0;
    virtual bool DeleteMailMessage(const QString &EntryID, const QString &StoreID) = 0;
    // Marks the message read in its store; false as above.
    virtual bool MarkMailMessageRead(const QString &EntryID, const QString &StoreID) = 0;
    // Marks every message (entry id, store id) read and says what could not be, in a box of
    // its own; returns how many could not.
    virtual int MarkMailMessagesRead(const QList<QPair<QString, QString>> &messages) = 0;
    virtual QString lastActionError() const = 0;
    // False once the message is known to be read (in another client, say) since it was
    // queued: it is not shown then. Answered from what the store knows, without waiting.
    virtual bool StillUnread(const QString &EntryID, const QString &StoreID)
    {
        Q_UNUSED(EntryID)
        Q_UNUSED(StoreID)
        return true;
    }
    virtual void GetNewMailMessages() = 0;
    virtual void UpdatePopupSettings() = 0;
    virtual void TestPopup() = 0;
    virtual void ComposeNewContact() = 0;
    virtual void ComposeNewAppointment() = 0;
    virtual void ComposeNewTask() = 0;
    virtual void ComposeNewNote() = 0;
    virtual void ComposeNewMail() = 0;

    // True while popups (and their sound) must wait: snoozed, or the user presents. The
    // controller shows the waiting mail itself once that is over.
    virtual bool HoldPopups() { return false; }
    // Holds popups until `until` (local time) while mail is still counted; then one popup
    // run shows the unread mail that came. An invalid time ends a snooze at once.
    virtual void Snooze(const QDateTime &until) { Q_UNUSED(until) }
    // When the snooze ends; invalid while there is none.
    virtual QDateTime SnoozedUntil() const { return {}; }
};

} // namespace lumora
