#pragma once

#include "host/Application.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace lumora {

class ActiveWindowMonitor;
class MaildirExplorer;
class MaildirExplorers;
class MaildirInspectors;
class MaildirNameSpace;
class MaildirStore;
class MaildirWatcher;

// The mail application over the user's Maildir++ stores: the namespace, NewMail from
// inotify, and one explorer that is active while the mail client's window is.
class MaildirApplication : public host::Application
{
    Q_OBJECT
public:
    // Roots that are missing or not directories are left out.
    explicit MaildirApplication(const QStringList &storeRoots, QObject *parent = nullptr);
    ~MaildirApplication() override;

    // $MAILDIR, else ~/Maildir, followed by the extra roots.
    static QStringList defaultStoreRoots(const QStringList &extraRoots = {});

    host::NameSpace *GetNamespace(const QString &type) override;
    host::NameSpace *session() override;
    host::Explorer *ActiveExplorer() override;
    host::Explorers *explorers() override;
    host::Inspectors *inspectors() override;
    host::ItemPtr CreateItem(int type) override;
    host::COMAddIns *comAddIns() override;
    QString version() const override;

    // Command that opens a message file ("%f" is the file, else it is appended).
    void setDisplayCommand(const QString &command);
    QString displayCommand() const { return m_displayCommand; }
    // WM_CLASS of the mail client's window; its windows make the explorer active. Empty
    // means the explorer is never active.
    void setMailClientClass(const QString &windowClass) override;
    void setMailClientWindowClass(const QString &windowClass) { setMailClientClass(windowClass); }
    // Closes the explorer, as the host does when it is asked to quit.
    void quit();
    // Relists every watched directory now (after a resume, or in tests).
    void checkForChanges();

    QList<std::shared_ptr<MaildirStore>> stores() const { return m_stores; }
    MaildirWatcher *watcher() const { return m_watcher; }

private:
    QList<std::shared_ptr<MaildirStore>> m_stores;
    QString m_displayCommand = QStringLiteral("xdg-open");
    MaildirNameSpace *m_nameSpace = nullptr;
    MaildirWatcher *m_watcher = nullptr;
    MaildirExplorers *m_explorers = nullptr;
    MaildirInspectors *m_inspectors = nullptr;
    host::COMAddIns *m_addIns = nullptr;
    ActiveWindowMonitor *m_monitor = nullptr;
    QPointer<MaildirExplorer> m_explorer;
};

} // namespace lumora
