#pragma once

#include <QObject>
#include <QPointer>
#include <QProcessEnvironment>
#include <QString>

class QProcess;

namespace lumora {

// Runs the user's command on new mail, with the mail in its environment (LUMORA_FOLDER,
// LUMORA_SENDER, LUMORA_SUBJECT, LUMORA_COUNT). The command line is the user's own, split
// into program and arguments and started without a shell, so mail text never becomes part
// of a command line. A failure is told once, until the command works again or changes, so
// a broken command does not complain about every message.
class NewMailCommand : public QObject
{
    Q_OBJECT
public:
    struct Mail
    {
        QString folder;
        QString sender;
        QString subject;
        int count = 0;
    };

    explicit NewMailCommand(QObject *parent = nullptr);
    ~NewMailCommand() override;

    // Starts commandLine for mail without waiting for it; an empty line runs nothing. While
    // the previous run still goes on, no second one is started (that counts as a failure).
    void run(const QString &commandLine, const Mail &mail);
    bool isRunning() const;

    // Mail text as it goes into the environment: control characters (C0, DEL, C1) and
    // bidirectional controls removed, line and tab breaks made spaces, and cut to a length
    // any environment takes.
    static QString clean(const QString &text);
    // base with the mail's variables set.
    static QProcessEnvironment environment(const Mail &mail, const QProcessEnvironment &base);

Q_SIGNALS:
    // The command could not be started or ended in failure; once until it works again.
    void failed(const QString &why);
    // The command ended well after a failure was told, or another command took its place.
    void recovered();
    // A run is over, whether or not it worked.
    void finished(bool ok);

private:
    void fail(const QString &why);
    void succeed();
    void forgetFailure();

    QPointer<QProcess> m_process;
    QString m_commandLine;
    QString m_program;
    bool m_failing = false;
};

} // namespace lumora
