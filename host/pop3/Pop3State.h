#pragma once

#include "host/common/MailHeaderReader.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace lumora {

// What Lumora keeps of one POP3 account between runs: every message id (UIDL) the server
// listed, when Lumora first saw it, whether the user has read it here (POP3 keeps no read
// flags) and its headers, so that nothing is announced twice and the popup needs no server.
// Saved as JSON, atomically, in a file of its own.
class Pop3State
{
public:
    struct Message
    {
        QByteArray uidl;
        // When Lumora first saw the message: it stands for the arrival.
        QDateTime received;
        bool read = false;
        MailHeaders headers;
    };

    explicit Pop3State(const QString &path);

    // Reads the file; a missing one is an empty state. A file that cannot be understood is
    // moved aside (never overwritten) and the state starts empty; false with *error then.
    bool load(QString *error);
    bool save(QString *error) const;

    const QList<Message> &messages() const { return m_messages; }
    const Message *find(const QByteArray &uidl) const;
    Message *find(const QByteArray &uidl);
    void append(const Message &message);
    // Forgets every message whose id is not in keep; true when any was forgotten.
    bool retain(const QSet<QByteArray> &keep);
    bool remove(const QByteArray &uidl);
    QString path() const { return m_path; }

    // Larger files are refused rather than read.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

private:
    void reindex();

    QString m_path;
    QList<Message> m_messages;
    QHash<QByteArray, qsizetype> m_index;
};

} // namespace lumora
