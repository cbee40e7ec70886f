#pragma once

#include "host/mbox/MboxFile.h"

#include <QString>

namespace lumora {

// What the folder and items of one mbox source share: the file's index, its ids and the
// command that opens a message.
class MboxStore
{
public:
    explicit MboxStore(const QString &path);

    QString path() const { return m_file.path(); }
    QString storeId() const { return m_storeId; }
    MboxFile &file() { return m_file; }
    const MboxFile &file() const { return m_file; }
    QString displayCommand() const { return m_displayCommand; }
    void setDisplayCommand(const QString &command) { m_displayCommand = command; }

    static QString folderEntryId();
    static QString itemEntryId(quint64 identity, quint16 occurrence);
    static bool parseItemEntryId(const QString &id, quint64 *identity, quint16 *occurrence);

private:
    MboxFile m_file;
    QString m_storeId;
    QString m_displayCommand;
};

} // namespace lumora
