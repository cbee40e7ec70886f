#pragma once

#include "settings/AddInSettings.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace lumora {

// The ten settings in one typed table: value name, field width, default text and where
// the loaded value goes. The add-in's load and default writing and the options page all
// walk this table, so a setting is described in exactly one place.
class SettingsTable
{
public:
    enum class Kind {
        Int16,
        Int32,
        Text
    };

    struct Row
    {
        const char *name;
        Kind kind;
        // Default as stored; empty for SoundPath, whose default depends on where the add-in lies.
        const char *defaultText;
        qint16 AddInSettings::*int16Field;
        qint32 AddInSettings::*int32Field;
        QString AddInSettings::*textField;
    };

    // All ten rows in their fixed order (SoundPath is eighth: written after MessageDelay).
    static const QList<Row> &rows();

    // Default text of a row; SoundPath's is the library folder followed by "/new.wav".
    static QString defaultText(const Row &row, const QString &libraryFolder);

    // Stores a value read from the settings key into its field. Empty text leaves the field
    // unchanged; numbers use the leading-number rule; a number too large for the field
    // leaves it unchanged.
    static void store(const Row &row, const QString &text, AddInSettings &settings);

    // The number at the start of text ("2500ms" -> 2500, "abc" -> 0, " -2.5e1x" -> -25).
    static double leadingNumber(const QString &text);
    // Rounds half to even and narrows to the width; nothing when it does not fit.
    static std::optional<qint64> roundToWidth(double value, qint64 min, qint64 max);
};

} // namespace lumora
