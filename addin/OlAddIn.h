#pragma once

#include "addinapi/OlAddInInterface.h"
#include "host/Application.h"
#include "host/SafeMailItem.h"
#include "platform/desktop/ProblemReporter.h"
#include "settings/OrderedDictionary.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <memory>
#include <optional>

namespace lumora {

class AnnouncedMessages;
class CINIFile;
class CFileVersionInfo;
class Main;
class NewMailCommand;
class Timer;

// The add-in's controller: attaches to the host, keeps the watched folders and their
// last-seen dates, scans for new mail, and acts on messages. Its public members are also
// reachable late-bound by name (the options page and `lumora --test-popup` use that).
class OlAddIn : public QObject, public OlAddInInterface
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool WindowState READ WindowState)
    Q_PROPERTY(qint16 NewMsgCount READ NewMsgCount)
    Q_PROPERTY(int UnreadCount READ UnreadCount NOTIFY UnreadCountChanged)
    Q_PROPERTY(QDateTime SnoozedUntil READ SnoozedUntil NOTIFY QuietStateChanged)
public:
    explicit OlAddIn(QObject *parent = nullptr);
    ~OlAddIn() override;

    // Public interface, in its fixed order.
    bool Enabled() const override;
    void setEnabled(bool value) override;
    bool WindowState() const override;
    qint16 NewMsgCount() const override;
    Q_INVOKABLE bool ShowMailMessage(const QString &EntryID, const QString &StoreID) override;
    Q_INVOKABLE bool DeleteMailMessage(const QString &EntryID, const QString &StoreID) override;
    Q_INVOKABLE bool MarkMailMessageRead(const QString &EntryID, const QString &StoreID) override;
    int MarkMailMessagesRead(const QList<QPair<QString, QString>> &messages) override;
    QString lastActionError() const override { return m_actionError; }
    Q_INVOKABLE void GetNewMailMessages() override;
    Q_INVOKABLE void UpdatePopupSettings() override;
    Q_INVOKABLE void TestPopup() override;
    Q_INVOKABLE void ComposeNewContact() override;
    Q_INVOKABLE void ComposeNewAppointment() override;
    Q_INVOKABLE void ComposeNewTask() override;
    Q_INVOKABLE void ComposeNewNote() override;
    Q_INVOKABLE void ComposeNewMail() override;
    bool HoldPopups() override;
    Q_INVOKABLE void Snooze(const QDateTime &until) override;
    QDateTime SnoozedUntil() const override;
    // The unread messages of the watched folders, as last counted for the tray.
    int UnreadCount() const { return m_unreadTotal; }
    Q_INVOKABLE void InitOutlookVersion();
    // Re-reads the watched-folder list so a changed list takes effect at once; folders
    // already watched keep their dates, new ones start three hours back.
    Q_INVOKABLE void LoadFoldersToScan();

    // Within the add-in library only.
    void AttachToOutlook(host::Application *application);
    void DetachFromOutlook();
    void LoadSettings();
    void WriteDefaultSettings();

    // For the connection class, tests and the trace.
    bool isAttached() const { return m_objOutlook != nullptr; }
    QString settingsKeyPath() const { return m_keyPath; }
    QStringList watchedFolders() const { return m_watchedFolders; }
    std::optional<QDateTime> lastSeen(const QString &folderId, const QString &storeId) const;
    host::Explorer *trackedExplorer() const { return m_objExpl; }
    Main *mainForm() const { return m_main.get(); }
    NewMailCommand *newMailCommand() const { return m_newMailCommand.get(); }

Q_SIGNALS:
    // A message was queued for the popup; the texts are as the store gives them.
    void MessageQueued(const QString &folder, const QString &sender, const QString &subject);
    void UnreadCountChanged(int count);
    // Suspended, resumed, snoozed or the snooze ended.
    void QuietStateChanged();

private:
    void LoadWatchedFolders();
    // Says, in the log, the trace and the tray tip, when no watched folder can be found.
    void reportWatchedFolders();
    void reportMissingFolder(const QString &folderId, const QString &storeId);
    void objOutlook_NewMail();
    void objOutlook_OptionsPagesAdd(host::PropertyPages *pages);
    void colExpl_NewExplorer(host::Explorer *explorer);
    void objExpl_Activate();
    void objExpl_Deactivate();
    void objExpl_Close();
    void trackExplorer(host::Explorer *explorer);
    void RemoveHostTrayIcon();
    void composeItem(int type, const QString &procedure);
    // Looks the message up and runs the action on it; false (with m_actionError set, the
    // log written and a warning on stderr) when it could not be done.
    bool actOnMessage(const QString &procedure, const QString &verb, const QString &EntryID, const QString &StoreID,
                      bool (host::Item::*action)());
    // Logs at `level` (2 for a notifier that watches nothing, 4 like other failed
    // program starts) and warns on stderr.
    void reportFailure(const QString &procedure, const QString &text, int level = 4);
    ProblemReporter reporter(const QString &procedure);
    // Says what an action started from the menu could not do, in a box of its own.
    void tellUser(const QString &procedure, const QString &text);
    // Why the watched-folder list gives nothing to watch; empty when something is watched.
    QString watchProblem(const QString &iniPath) const;
    void setTrayIcon(qint16 state);
    // The unread counts of the watched folders go to the tray a moment after a change, so a
    // burst of renames by another client gives one count.
    void countUnreadSoon();
    void countUnread();
    // Last-seen bookkeeping, kept per folder id.
    struct FolderMark
    {
        QDateTime date;
        // Ids queued at exactly `date`, so a second message of the same instant is still
        // reported while the one already queued is not reported again.
        QSet<QString> idsAtDate;
        // Ids queued without a readable received time, so they are reported only once.
        QSet<QString> undatedQueued;
    };
    // Queues the folder's new mail and returns how many it found; countOnly leaves the
    // queue and the date alone, so the mail is still new when it is looked for again.
    int scanFolder(const QString &folderId, const QString &storeId, bool countOnly);
    void saveAnnounced();
    bool isSnoozed() const;
    void armSnoozeTimer();
    void snoozeTimer_Timer();
    // Ends the snooze; lookForMail starts the scan whose popup shows what came meanwhile.
    void endSnooze(bool lookForMail);
    // Why popups wait for the user to stop presenting; empty when they need not.
    QString quietReason() const;
    void quietTimer_Timer();
    void runNewMailCommand();
    // The tray tip's note: the snooze, the watch problem, the new-mail command's failure.
    void refreshTipNote();
    static QString folderKey(const QString &folderId, const QString &storeId);

    host::Application *m_objOutlook = nullptr;
    host::NameSpace *m_objNS = nullptr;
    QPointer<host::Explorer> m_objExpl;
    QPointer<host::Explorers> m_colExpl;
    QPointer<host::Inspectors> m_colInsp;
    std::optional<bool> m_windowActive;
    host::FolderPtr m_inbox;
    std::shared_ptr<host::SafeMailItem> m_safeMail;
    qint16 m_newMsgCount = 0;
    std::unique_ptr<CINIFile> m_ini;
    QStringList m_watchedFolders;
    QSet<QString> m_reportedMissing;
    QString m_watchNote;
    // What the tip says about the watched folders (or the data folder at start).
    QString m_folderNote;
    QString m_commandNote;
    QDateTime m_snoozeUntil;
    std::unique_ptr<Timer> m_snoozeTimer;
    // Asks again, while a popup waits, whether the user still presents.
    std::unique_ptr<Timer> m_quietTimer;
    std::unique_ptr<NewMailCommand> m_newMailCommand;
    // The newest message queued by the scan under way, and how many it queued.
    QString m_lastFolder;
    QString m_lastSender;
    QString m_lastSubject;
    int m_queuedThisScan = 0;
    std::unique_ptr<OrderedDictionary<FolderMark>> m_lastSeen;
    // Messages already queued, by MessageKey, across folders and restarts.
    std::unique_ptr<AnnouncedMessages> m_announced;
    bool m_announcedFailing = false;
    bool m_enabled = false;
    // When the first event of the burst now waiting for its scan came (ms since the epoch);
    // -1 while none waits.
    qint64 m_burstStartMs = -1;
    std::unique_ptr<CFileVersionInfo> m_versionReader;
    QString m_keyPath;
    std::unique_ptr<Main> m_main;
    QList<QMetaObject::Connection> m_connections;
    QString m_actionError;
    std::unique_ptr<Timer> m_unreadTimer;
    int m_unreadTotal = 0;
    // The watched folders once found, by their INI entry: counting asks what the host keeps
    // of them, where a look-up by id may have to ask a server.
    QHash<QString, host::FolderPtr> m_countedFolders;
};

} // namespace lumora
