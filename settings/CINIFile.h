#pragma once

#include "host/Logging.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace lumora {

// One INI file and a current section, with reads, writes, deletions and whole-section
// listings on them. Shared by both plugins, so it logs only through a writer it is given.
//
// Failures are never reported: a missing file or key gives the default or no entries,
// and refused writes are lost. Listings return a 16-bit count and an array (QStringList,
// or QVariantList where noted), or -1 and a null QVariant when there is nothing to list.
class CINIFile
{
public:
    // The value text of valueName in the current section (at most 254 bytes), or
    // defaultValue; *failed tells whether the text came back empty (so a missing key with a
    // non-empty default is not a failure, an existing key with an empty value is).
    QVariant getValue(const QString &valueName, const QString &defaultValue = QString(), bool *failed = nullptr) const;
    // Leaves an empty section header in the file; optionally makes it current.
    void addSection(const QString &name, bool setAsCurrent = false);
    // The current section's key names; a line without "=" gives an empty name.
    qint16 enumSectionKeys(QVariant &arrayResult) const;
    // The current section's values as a QVariantList of strings, from one fixed buffer;
    // 0 (arrayResult untouched) when the list is too long to count.
    qint16 enumSectionValues(QVariant &arrayResult) const;
    // The names of all sections.
    qint16 enumSections(QVariant &arrayResult) const;
    void deleteSection(const QString &sectionName);
    // Deletes a key of the current section.
    void deleteKey(const QString &keyName);
    // A QVariantList of two QStringLists: the current section's keys and its values.
    qint16 enumSectionValuePairs(QVariant &arrayResult) const;
    // Asks for the file to be complete on disk.
    void flush();

    // getValue with an empty default.
    QVariant values(const QString &valueName) const;
    // Writes value, as text, to valueName in the current section.
    void setValues(const QString &valueName, const QVariant &value);

    QString file() const { return m_file; }
    // Also empties the current section: a section name belongs to its file.
    void setFile(const QString &file);
    QString section() const { return m_section; }
    void setSection(const QString &section) { m_section = section; }

    // Replaces the current section's lines with the elements of an array (QStringList or
    // QVariantList, each "key=value"); anything else is ignored.
    void writeSection(const QVariant &lines);

    void setLogWriter(host::LogWriterPtr writer) { m_log = std::move(writer); }

private:
    // The current section's lines, read through the growing buffer; nothing on failure.
    std::optional<QList<QByteArray>> currentSectionLines() const;

    QString m_file;
    QString m_section;
    host::LogWriterPtr m_log;
};

} // namespace lumora
