#pragma once

#include "host/COMAddIns.h"
#include "host/Explorer.h"
#include "host/NameSpace.h"

namespace lumora::host {

// The mail application the add-ins live in. Owned by the host; its collections and
// namespace live as long as it does. Events are its signals.
class LUMORA_HOST_EXPORT Application : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Application() override;

    // The namespace for "MAPI"; null for any other name.
    virtual NameSpace *GetNamespace(const QString &type) = 0;
    virtual NameSpace *session() = 0;
    // The active main window, or null.
    virtual Explorer *ActiveExplorer() = 0;
    virtual Explorers *explorers() = 0;
    virtual Inspectors *inspectors() = 0;
    // A new unsaved item of the given OlItemType, or null.
    virtual ItemPtr CreateItem(int type) = 0;
    virtual COMAddIns *comAddIns() = 0;
    // The host's version text, e.g. "10.0.2627.1" (informational; the add-in reads the
    // program file's version resource).
    virtual QString version() const = 0;

    // The user's mail client by its X11 window class (compared without case against both
    // parts of WM_CLASS); empty when unknown. Its windows are the ones the add-in's window
    // control hides and restores.
    QString mailClientClass() const { return m_mailClientClass; }
    // Hosts that watch the active window override this to follow the new class too.
    virtual void setMailClientClass(const QString &windowClass) { m_mailClientClass = windowClass.trimmed(); }
    // Asks the host to open its options dialog: the host has no window with an options menu
    // of its own, so the add-in's tray menu offers the command for it.
    Q_INVOKABLE void ShowOptions() { Q_EMIT OptionsRequested(); }
    // Asks the host to end the run, as `lumora --quit` does: the host is what owns the process
    // and unwinds the add-ins, so the add-in's menu only asks.
    Q_INVOKABLE void Quit() { Q_EMIT QuitRequested(); }

Q_SIGNALS:
    void NewMail();
    void OptionsPagesAdd(lumora::host::PropertyPages *pages);
    // Raised by ShowOptions; the process that owns the options dialog opens it.
    void OptionsRequested();
    // Raised by Quit; the process that owns the add-ins ends the run.
    void QuitRequested();
    // Some folder's unread messages changed (new mail, or a message read, deleted or moved
    // by us or by another client); MAPIFolder::UnReadItemCount gives the new counts.
    void UnreadChanged();

private:
    QString m_mailClientClass;
};

} // namespace lumora::host
