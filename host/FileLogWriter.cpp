#include "host/FileLogWriter.h"

#include "platform/core/Clock.h"
#include "platform/core/RegularFile.h"
#include "platform/core/Verbose.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <unistd.h>

namespace lumora::host {

namespace {

// A log that cannot be written is said once per file on standard error, however many
// writers a run makes for it.
void tellOnce(const QString &path, const QString &why)
{
    static QMutex mutex;
    static QSet<QString> told;
    QMutexLocker locker(&mutex);
    if (told.contains(path))
        return;
    told.insert(path);
    Verbose::warning(QStringLiteral("nothing is logged to %1: %2").arg(path, why));
}

} // namespace

FileLogWriter::FileLogWriter(const QString &path, QObject *parent)
    : LogWriter(parent)
    , m_path(path)
{
    if (path.isEmpty()) {
        m_error = QStringLiteral("no log file was named");
        return;
    }
    RegularFile file;
    if (!file.openForAppend(path)) {
        m_error = file.errorString();
        tellOnce(path, m_error);
        return;
    }
    const int fd = file.release();
    if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_error = m_file.errorString();
        tellOnce(path, m_error);
    }
}

FileLogWriter::~FileLogWriter() = default;

QString FileLogWriter::escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default:
            // C0/C1 controls and the Unicode line and paragraph separators all end a line
            // for some reader of the log.
            if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029)
                out += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

void FileLogWriter::Log(int level, const QString &procedure, const QString &message)
{
    if (!m_file.isOpen())
        return;
    const QString line = Clock::instance().now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + QLatin1Char(' ')
        + QString::number(level) + QLatin1Char(' ') + escaped(procedure) + QLatin1String(": ") + escaped(message)
        + QLatin1Char('\n');
    // One write per entry and an immediate flush, so that a crash loses at most this line.
    m_file.write(line.toUtf8());
    m_file.flush();
}

} // namespace lumora::host
