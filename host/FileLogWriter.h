#pragma once

#include "host/Logging.h"

#include <QFile>

namespace lumora::host {

// Appends one line per entry to a log file: local time with milliseconds, level, procedure
// and message. Message and procedure are written on one line with control characters
// escaped, so text taken from mail cannot forge further entries.
class LUMORA_HOST_EXPORT FileLogWriter : public LogWriter
{
    Q_OBJECT
public:
    explicit FileLogWriter(const QString &path, QObject *parent = nullptr);
    ~FileLogWriter() override;

    // False when the file could not be opened for appending (or is no regular file: a named
    // pipe would block every entry); such a writer writes nothing, and errorString() says why.
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    Q_INVOKABLE void Log(int level, const QString &procedure, const QString &message) override;

    // The text as it appears in the log: backslashes doubled, control characters escaped.
    static QString escaped(const QString &text);

private:
    QString m_path;
    QString m_error;
    QFile m_file;
};

} // namespace lumora::host
