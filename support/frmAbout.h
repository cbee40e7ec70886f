#pragma once

#include "platform/core/Registry.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace lumora {

// The About box of a plugin library: its title, the version read from the library's own
// version resource, the notices, a button that starts the desktop's system-information
// program and one that opens the help. Each plugin shows it under its own title; the tray
// menu shows it without an owner and without waiting, the options page modally (exec()).
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // Writes one log entry: level, procedure, message.
    using LogFunction = std::function<void(int, const QString &, const QString &)>;

    // libraryPath is the library whose version is shown and beside which the help lies.
    frmAbout(const QString &title, const QString &libraryPath, QWidget *parent = nullptr);
    ~frmAbout() override;

    // Where a failed help launch is logged; nothing is logged without one.
    void setLog(LogFunction log) { m_log = std::move(log); }
    // Names the mail client whose windows "Hide Outlook" acts on; empty hides the line.
    void setMailClient(const QString &windowClass);

    // Starts the registered system-information program, or says it is unavailable.
    void StartSysInfo();
    // Reads a text or 32-bit number value into KeyVal; false (KeyVal empty) when the key
    // or value cannot be read. Any other type succeeds and leaves KeyVal as passed.
    bool GetKeyValue(reg::HKEY &KeyRoot, QString &KeyName, QString &SubKeyRef, QString &KeyVal);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void btnHelp_Click();

    QString title() const { return m_title; }
    QString libraryPath() const { return m_libraryPath; }

protected:
    // The OK-only message box; a test may answer it instead.
    virtual void MsgBox(const QString &text);

private:
    void createControls();
    bool start(const QString &program);

    QString m_title;
    QString m_libraryPath;
    LogFunction m_log;
    QLabel *m_picIcon = nullptr;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblClient = nullptr;
    QPushButton *m_cmdOK = nullptr;
};

} // namespace lumora
