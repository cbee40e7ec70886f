#pragma once

#include "host/Application.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <vector>

#include <functional>
#include <memory>

namespace lumora {

class OptionsDialog;

// The host process's part of the mail application: it makes sure the bundled plugins are
// registered, loads every add-in whose registration asks for start-up, connects it to the
// mail application, and on quit closes the main window and disconnects the add-ins.
class HostApplication : public QObject
{
    Q_OBJECT
public:
    // closeExplorer closes the mail application's main window: the host's way to say it
    // is going away.
    HostApplication(host::Application *application, std::function<void()> closeExplorer, QObject *parent = nullptr);
    ~HostApplication() override;

    // The folder the plugins and the host's program file lie in (the executable's folder).
    void setPluginFolder(const QString &folder) { m_pluginFolder = folder; }
    // The program file whose version resource tells the add-in the host's version.
    void setHostProgram(const QString &path) { m_hostProgram = path; }

    // Registration, loading and connection. Returns the number of add-ins connected.
    int start();
    // What went wrong in start(), one phrase each, for the user.
    QStringList problems() const { return m_problems; }
    // Closes the main window, disconnects every add-in and releases them. Must not run while
    // a dialog of a page waits in its own event loop: quit() is the way to end from an event.
    void shutdown();
    // Ends the run from inside the event loop (a signal, `lumora --quit`, a log-out): cancels
    // every open modal dialog and ends every running event loop with code, so that the
    // caller of the main loop calls shutdown() once nothing of the dialogs is on the stack.
    void quit(int code = 0);
    // Handles a request from a later start of lumora; returns the answer text.
    QString handleRequest(const QString &request);
    // Makes the host's own page, shown first in the options dialog; none when not set.
    void setHostPage(std::function<QObject *()> factory) { m_hostPage = std::move(factory); }
    // Has the add-in read the watched folders again (after the host changed the list).
    void reloadWatchedFolders();
    // Opens the options dialog, or raises it when it is open already.
    void showOptions();
    OptionsDialog *optionsDialog() const;
    // The Lumora add-in's controller, reached as every client reaches it; null without it.
    QObject *controller() const;

private:
    struct LoadedAddIn
    {
        QString progId;
        std::unique_ptr<QObject> object;
        QPointer<host::COMAddIn> entry;
    };

    void registerHostProgram();
    void registerBundledPlugins();
    void loadAddIns();
    QObject *controllerOf(const QString &progId) const;

    host::Application *m_application;
    std::function<void()> m_closeExplorer;
    QString m_pluginFolder;
    QString m_hostProgram;
    std::vector<LoadedAddIn> m_addIns;
    bool m_shutDown = false;
    QStringList m_problems;
    QPointer<OptionsDialog> m_options;
    std::function<QObject *()> m_hostPage;
};

} // namespace lumora
