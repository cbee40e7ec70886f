#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace lumora {

class MailApplication;

// Tells the user of the mail host's problems where they look: each change on standard
// error (through say) and in the log, and the current problems below the tray icon's tip
// until they are over. Lives as long as the application it reports on.
class HostProblemReport : public QObject
{
    Q_OBJECT
public:
    using Say = std::function<void(const QString &text)>;

    // source names the host in the log ("MaildirHost"). Problems the host already has are
    // reported at once.
    HostProblemReport(MailApplication *application, const QString &source, Say say);
    ~HostProblemReport() override;

    // The log the problems are written to.
    static QString logFile();

private:
    void show(const QString &text);

    QString m_source;
    Say m_say;
    QString m_shown;
};

} // namespace lumora
