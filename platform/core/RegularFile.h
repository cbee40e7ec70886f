#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QString>

namespace lumora {

// A file opened only when it is a regular file. Any local program can put a named pipe, a
// device or a link to one where we expect a file; opening such a thing the usual way waits
// forever (a pipe) or reads without end (/dev/zero). Here nothing blocks and reads are
// bounded; what is refused says why in errorString().
class LUMORA_PLATFORM_EXPORT RegularFile
{
public:
    enum class Links {
        Follow,
        // A symbolic link as the last component is refused, not followed.
        Refuse,
    };

    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    bool openForReading(const QString &path, Links links = Links::Follow);
    // Opens for appending, creating the file when missing.
    bool openForAppend(const QString &path);
    bool isOpen() const { return m_fd >= 0; }
    int handle() const { return m_fd; }
    // Hands the descriptor to the caller, who closes it.
    int release();
    void close();

    // Size when it was opened.
    qint64 size() const { return m_size; }
    // Appends up to maxBytes more to *out; fewer at the end of the file. False on a read error.
    bool read(qint64 maxBytes, QByteArray *out);
    // The rest of the file; false when it holds more than maxBytes (nothing is kept then).
    bool readAll(qint64 maxBytes, QByteArray *out);
    // The path the open descriptor names now, links resolved; empty when it cannot be told.
    QString openedPath() const;

    QString errorString() const { return m_error; }

    // The whole of a file of at most maxBytes; false with *error saying why.
    static bool readFile(const QString &path, qint64 maxBytes, QByteArray *data, QString *error = nullptr);
    // What kind of thing mode (a stat st_mode) is, for a message: "a named pipe", "a device"...
    static QString kindOf(unsigned mode);

private:
    bool open(const QString &path, int flags, Links links);
    bool fail(const QString &why);

    int m_fd = -1;
    qint64 m_size = 0;
    QString m_path;
    QString m_error;
};

} // namespace lumora
