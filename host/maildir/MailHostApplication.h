#pragma once

#include "host/Application.h"

#include <QPointer>

namespace lumora {

class ActiveWindowMonitor;
class MaildirExplorer;
class MaildirExplorers;
class MaildirInspectors;

// What every mail host on this desktop shares, whatever holds the mail: one explorer that
// is active while the mail client's window is, drafts for new items, the add-in collection.
// A host supplies the namespace and raises NewMail.
class MailHostApplication : public host::Application
{
    Q_OBJECT
public:
    explicit MailHostApplication(QObject *parent = nullptr);
    ~MailHostApplication() override;

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
    virtual QString problems() const { return {}; }

Q_SIGNALS:
    // problems() changed; text is its new value.
    void problemsChanged(const QString &text);

protected:
    void setNameSpace(host::NameSpace *nameSpace) { m_nameSpace = nameSpace; }

private:
    host::NameSpace *m_nameSpace = nullptr;
    MaildirExplorers *m_explorers = nullptr;
    MaildirInspectors *m_inspectors = nullptr;
    host::COMAddIns *m_addIns = nullptr;
    ActiveWindowMonitor *m_monitor = nullptr;
    QPointer<MaildirExplorer> m_explorer;
};

} // namespace lumora
