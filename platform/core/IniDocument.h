#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace lumora {

// An INI file held as its lines, so that an edit changes only the lines it must and every
// other byte (comments, blank lines, line ends, a BOM) is written back as it was read.
// Pure data: no file access, so it can be fuzzed and tested without a disk.
//
// Reading rules: section and key names compare case-insensitively; the first "=" splits a
// key line; blanks around names and values are dropped, and so is one pair of double
// quotes around a value; lines end at LF, CRLF or a lone CR; lines starting with ";" are
// comments; when a section appears twice, lookups see the first one. Text is UTF-8 and is
// cut at an embedded NUL, because callers receive it in NUL-separated lists.
class LUMORA_PLATFORM_EXPORT IniDocument
{
public:
    static IniDocument parse(const QByteArray &data);
    QByteArray serialize() const;

    bool isEmpty() const { return m_lines.isEmpty(); }

    // Names of the sections in file order, each name once (first spelling), empty names left out.
    QList<QByteArray> sectionNames() const;
    bool hasSection(const QByteArray &section) const;
    // Key names of the section's key lines, in file order.
    QList<QByteArray> keys(const QByteArray &section) const;
    // The section's lines other than blanks and comments, as "key=value" without the blanks
    // around key and value; a line without "=" comes back as its trimmed text.
    QList<QByteArray> sectionLines(const QByteArray &section) const;
    // The value of the first matching key line, or nothing when the key is absent.
    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;

    // Each edit returns true when the document changed.
    // Replaces the value of an existing key (keeping its spelling and line end), or adds the
    // key at the end of its section, or adds the section at the end of the document.
    bool setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    // Removes every line of the section's key from the first matching section.
    bool removeKey(const QByteArray &section, const QByteArray &key);
    // Removes every section of that name with all its lines.
    bool removeSection(const QByteArray &section);
    // Replaces the body of the first matching section with the given lines (appending the
    // section when missing). Blank lines that separate it from the next section stay.
    bool replaceSection(const QByteArray &section, const QList<QByteArray> &lines);

    // Whether a name or value can be written without changing the file's structure (no line
    // breaks; a non-blank section name without "]"; a key without "=" that is not a comment or header;
    // a line that is not a header).
    static bool isWritableSection(const QByteArray &section);
    static bool isWritableKey(const QByteArray &key);
    static bool isWritableValue(const QByteArray &value);
    static bool isWritableLine(const QByteArray &line);

private:
    enum class Kind {
        Blank,
        Comment,
        Section,
        Key,
        Other
    };
    struct Line
    {
        QByteArray text; // without line end
        QByteArray eol; // "\n", "\r\n" or empty for a last line without one
        Kind kind = Kind::Blank;
        QByteArray name; // section or key name, trimmed
        QByteArray value; // key value, trimmed
    };
    struct Range
    {
        qsizetype header = -1; // index of the header line
        qsizetype end = -1; // one past the last line belonging to the section
    };

    static Line makeLine(const QByteArray &text, const QByteArray &eol);
    QList<Range> sectionRanges(const QByteArray &section) const;
    qsizetype lastContentLine(const Range &range) const;
    QByteArray lineEnd() const;
    void terminateLastLine();

    QList<Line> m_lines;
    bool m_bom = false;
};

} // namespace lumora
