#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>

#include <functional>

class QWidget;

namespace lumora {

// The one way Lumora tells the user what it could not do, wherever the failure happens:
// a line on standard error, a line in the reporting side's log, the tray icon's tip while a
// problem stands, and a warning box where the user has just acted.
class LUMORA_PLATFORM_EXPORT ProblemReporter
{
public:
    // Writes one log entry; level 1 is an error, 3 a note.
    using Log = std::function<void(int level, const QString &procedure, const QString &text)>;
    using Say = std::function<void(const QString &line)>;
    enum class Box {
        Modal,
        Open
    };

    // procedure names the reporting side in its log; an empty log writes no entry. say takes
    // the text instead of standard error, where it is written after "Lumora: ".
    explicit ProblemReporter(QString procedure, Log log = {}, Say say = {});

    // Something that failed: standard error and the log, at the log's level (1 an error).
    void tell(const QString &text, int level = 1) const;
    // Something the user just asked for failed: told as above, and in a warning box named
    // boxName. Modal waits for the box over parent; Open leaves the program running meanwhile.
    void tellInBox(const QString &text, QWidget *parent, const QString &boxName, Box box = Box::Modal,
                   int level = 1) const;
    // The problems that stand now, empty when there are none. Each change is told once; the
    // current text stays below the tray icon's tip, and only the end of an earlier problem
    // says that it is over.
    void setStanding(const QString &text);
    QString standing() const { return m_standing; }

private:
    void write(int level, const QString &text) const;

    QString m_procedure;
    Log m_log;
    Say m_say;
    QString m_standing;
};

} // namespace lumora
