#pragma once

#include "addinapi/OlAddInInterface.h"

#include <QList>
#include <QStringList>

namespace lumora::test {

// Stands in for the add-in's controller: records every call the tray form and the popup
// make, with the message address where there is one.
class FakeController : public OlAddInInterface
{
public:
    struct Call
    {
        QString what;
        QString entryId;
        QString storeId;
    };

    bool Enabled() const override { return enabled; }
    void setEnabled(bool value) override { enabled = value; }
    bool WindowState() const override { return windowActive; }
    qint16 NewMsgCount() const override { return 0; }
    bool ShowMailMessage(const QString &EntryID, const QString &StoreID) override
    {
        calls.append({QStringLiteral("show"), EntryID, StoreID});
        return failWith.isEmpty();
    }
    bool DeleteMailMessage(const QString &EntryID, const QString &StoreID) override
    {
        calls.append({QStringLiteral("delete"), EntryID, StoreID});
        return failWith.isEmpty();
    }
    bool MarkMailMessageRead(const QString &EntryID, const QString &StoreID) override
    {
        calls.append({QStringLiteral("read"), EntryID, StoreID});
        return failWith.isEmpty();
    }
    int MarkMailMessagesRead(const QList<QPair<QString, QString>> &messages) override
    {
        for (const auto &m : messages)
            calls.append({QStringLiteral("read all"), m.first, m.second});
        return failWith.isEmpty() ? 0 : int(messages.size());
    }
    QString lastActionError() const override { return failWith; }
    void GetNewMailMessages() override { record(QStringLiteral("GetNewMailMessages")); }
    void UpdatePopupSettings() override { record(QStringLiteral("UpdatePopupSettings")); }
    void TestPopup() override { record(QStringLiteral("TestPopup")); }
    void ComposeNewContact() override { record(QStringLiteral("Contact")); }
    void ComposeNewAppointment() override { record(QStringLiteral("Appointment")); }
    void ComposeNewTask() override { record(QStringLiteral("Task")); }
    void ComposeNewNote() override { record(QStringLiteral("Note")); }
    void ComposeNewMail() override { record(QStringLiteral("Mail")); }
    bool HoldPopups() override { return holdPopups; }
    void Snooze(const QDateTime &until) override
    {
        snoozedUntil = until;
        record(QStringLiteral("Snooze"));
    }
    QDateTime SnoozedUntil() const override { return snoozedUntil; }

    // The calls by name alone, in order.
    QStringList callNames() const
    {
        QStringList names;
        for (const Call &call : calls)
            names << call.what;
        return names;
    }

    bool enabled = true;
    bool windowActive = false;
    bool holdPopups = false;
    QDateTime snoozedUntil;
    QList<Call> calls;
    // When set, every message action fails with this reason.
    QString failWith;

private:
    void record(const QString &what) { calls.append({what, {}, {}}); }
};

} // namespace lumora::test
