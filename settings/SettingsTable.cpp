#include "settings/SettingsTable.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace lumora {

namespace {

using Kind = SettingsTable::Kind;

SettingsTable::Row int16Row(const char *name, const char *def, qint16 AddInSettings::*field)
{
    return {name, Kind::Int16, def, field, nullptr, nullptr};
}

SettingsTable::Row int32Row(const char *name, const char *def, qint32 AddInSettings::*field)
{
    return {name, Kind::Int32, def, nullptr, field, nullptr};
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

const QList<SettingsTable::Row> &SettingsTable::rows()
{
    static const QList<Row> table = {
        int16Row("PopAlign", "3", &AddInSettings::PopAlign),
        int16Row("ManualXPos", "200", &AddInSettings::ManualXPos),
        int16Row("ManualYPos", "300", &AddInSettings::ManualYPos),
        int32Row("GradientColor1", "16744576", &AddInSettings::GradientColor1),
        int32Row("GradientColor2", "16777215", &AddInSettings::GradientColor2),
        int16Row("GradientOrientation", "1", &AddInSettings::GradientOrientation),
        int16Row("MessageDelay", "4000", &AddInSettings::MessageDelay),
        {"SoundPath", Kind::Text, "", nullptr, nullptr, &AddInSettings::SoundPath},
        int16Row("HideOnStartup", "0", &AddInSettings::HideOnStartup),
        int16Row("PopupDelete", "1", &AddInSettings::PopupDelete),
    };
    return table;
}

QString SettingsTable::defaultText(const Row &row, const QString &libraryFolder)
{
    if (row.kind == Kind::Text)
        return libraryFolder + QStringLiteral("/new.wav");
    return QString::fromLatin1(row.defaultText);
}

double SettingsTable::leadingNumber(const QString &text)
{
    // Blanks first, then an optional sign, digits, a fraction and an exponent; whatever
    // follows is ignored.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text.at(i))) {
        ++i;
        ++digits;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(text.at(i))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype end = i;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(text.at(j))) {
            while (j < n && isDigit(text.at(j)))
                ++j;
            end = j;
        }
    }
    // from_chars ignores the C locale (a German desktop writes "2,5"), and tells overflow
    // apart, which must leave a field unchanged rather than read as 0.
    const QByteArray number = text.mid(start, end - start).toLatin1();
    const char *first = number.constData();
    if (*first == '+')
        ++first;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, number.constData() + number.size(), value);
    Q_UNUSED(ptr)
    if (ec == std::errc::result_out_of_range) {
        const bool tiny = number.contains("e-") || number.contains("E-");
        if (tiny)
            return 0.0;
        return number.startsWith('-') ? -std::numeric_limits<double>::infinity()
                                      : std::numeric_limits<double>::infinity();
    }
    return ec == std::errc() ? value : 0.0;
}

std::optional<qint64> SettingsTable::roundToWidth(double value, qint64 min, qint64 max)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default rounding mode: half to even
    if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max))
        return std::nullopt;
    return static_cast<qint64>(rounded);
}

void SettingsTable::store(const Row &row, const QString &text, AddInSettings &settings)
{
    if (text.isEmpty())
        return;
    switch (row.kind) {
    case Kind::Text:
        settings.*row.textField = text;
        return;
    case Kind::Int16:
        if (auto v = roundToWidth(leadingNumber(text), std::numeric_limits<qint16>::min(),
                                  std::numeric_limits<qint16>::max()))
            settings.*row.int16Field = static_cast<qint16>(*v);
        return;
    case Kind::Int32:
        if (auto v = roundToWidth(leadingNumber(text), std::numeric_limits<qint32>::min(),
                                  std::numeric_limits<qint32>::max()))
            settings.*row.int32Field = static_cast<qint32>(*v);
        return;
    }
}

} // namespace lumora
