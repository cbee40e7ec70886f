#pragma once

#include "host/Application.h"

#include <QList>
#include <QPointer>

#include <memory>

namespace lumora {

class ActiveWindowMonitor;
class MailExplorer;
class MailExplorers;
class MailInspectors;
class MailNameSpace;
class MailSource;
class Timer;

// The mail application over every source the user's mail lives in (Maildir stores, IMAP
// accounts, ...), side by side in one namespace: one folder tree with a top folder per
// source, one NewMail for all of them, one explorer that is active while the mail client's
// window is, drafts for new items, the add-in collection.
class MailApplication : public host::Application
{
    Q_OBJECT
public:
    explicit MailApplication(QObject *parent = nullptr);
    ~MailApplication() override;

    // Takes the source over. An invalid source, or one whose store id is taken (the same
    // store named twice would report every message twice), is refused: false, and it is
    // deleted. A source added while the host runs is started at once.
    bool addSource(std::unique_ptr<MailSource> source);
    // Stops watching the source and lets it go; false when no source has the store id.
    // Folders and items handed out before stay usable objects (their look-ups then fail
    // or find nothing).
    bool removeSource(const QString &storeId);
    QList<MailSource *> sources() const;
    // Starts every source and the wait for the start-up announcement.
    void start();
    bool isStarted() const { return m_started; }
    // Looks again at every source now (after a resume), so mail that came meanwhile is told.
    void checkForChanges();
    // Command that opens a message file in every source ("%f" is the file, else it is
    // appended); empty means the desktop's handler.
    void setDisplayCommand(const QString &command);
    QString displayCommand() const { return m_displayCommand; }

    QString version() const override;

    host::NameSpace *GetNamespace(const QString &type) override;
    host::NameSpace *session() override;
    host::Explorer *ActiveExplorer() override;
    host::Explorers *explorers() override;
    host::Inspectors *inspectors() override;
    host::ItemPtr CreateItem(int type) override;
    host::COMAddIns *comAddIns() override;

    // WM_CLASS of the mail client's window; its windows make the explorer active. Empty
    // means the explorer is never active.
    void setMailClientClass(const QString &windowClass) override;
    void setMailClientWindowClass(const QString &windowClass) { setMailClientClass(windowClass); }
    // Closes the explorer, as the host does when it is asked to quit.
    void quit();
    // What keeps the host from noticing all new mail, one line each, for the user to act on
    // (an account refusing its password, a folder that may not be read); empty when all work.
    QString problems() const;

    // Mail that came while Lumora was not running (or while it started) is announced like a
    // fetch at start-up: this long after the host starts, once the add-ins are connected, not
    // only when the next message arrives.
    static constexpr int StartupCheckMs = 2000;
    // Another wait (tests that count announcements push it beyond their run).
    void setStartupCheckMs(int ms);

Q_SIGNALS:
    // problems() changed; text is its new value.
    void problemsChanged(const QString &text);

private:
    // Whether the start-up announcement has anything to announce.
    bool holdsWaitingMail() const;
    void announceWaitingMailSoon();

    QList<QPointer<MailSource>> m_sources;
    MailNameSpace *m_nameSpace = nullptr;
    QString m_displayCommand;
    bool m_started = false;
    MailExplorers *m_explorers = nullptr;
    MailInspectors *m_inspectors = nullptr;
    host::COMAddIns *m_addIns = nullptr;
    ActiveWindowMonitor *m_monitor = nullptr;
    QPointer<MailExplorer> m_explorer;
    std::unique_ptr<Timer> m_startupCheck;
    int m_startupCheckMs = StartupCheckMs;
};

} // namespace lumora
