#include "settings/SettingsTable.h"

#include <gtest/gtest.h>

using lumora::AddInSettings;
using lumora::SettingsTable;

namespace {

const SettingsTable::Row &row(const char *name)
{
    for (const auto &r : SettingsTable::rows()) {
        if (qstrcmp(r.name, name) == 0)
            return r;
    }
    ADD_FAILURE() << "no row " << name;
    return SettingsTable::rows().first();
}

struct StoreCase
{
    const char *name;
    const char *text;
    qint64 expected;
};

class SettingsStore : public ::testing::TestWithParam<StoreCase>
{};

qint64 fieldValue(const SettingsTable::Row &r, const AddInSettings &s)
{
    return r.kind == SettingsTable::Kind::Int16 ? s.*r.int16Field : s.*r.int32Field;
}

} // namespace

TEST(SettingsTable, TenRowsInFixedOrderWithDefaults)
{
    QStringList names;
    QStringList defaults;
    for (const auto &r : SettingsTable::rows()) {
        names << QString::fromLatin1(r.name);
        defaults << SettingsTable::defaultText(r, QStringLiteral("/opt/lumora"));
    }
    EXPECT_EQ(names,
              (QStringList{"PopAlign", "ManualXPos", "ManualYPos", "GradientColor1", "GradientColor2",
                           "GradientOrientation", "MessageDelay", "SoundPath", "HideOnStartup", "PopupDelete"}));
    EXPECT_EQ(defaults,
              (QStringList{"3", "200", "300", "16744576", "16777215", "1", "4000", "/opt/lumora/new.wav", "0", "1"}));
}

// Each row stores into a field that starts at 7, so "unchanged" is visible.
TEST_P(SettingsStore, LeadingNumberRoundedHalfToEvenOrUnchanged)
{
    const StoreCase c = GetParam();
    const auto &r = row(c.name);
    AddInSettings s;
    if (r.kind == SettingsTable::Kind::Int16)
        s.*r.int16Field = 7;
    else
        s.*r.int32Field = 7;
    SettingsTable::store(r, QString::fromUtf8(c.text), s);
    EXPECT_EQ(fieldValue(r, s), c.expected) << c.name << " <- \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsStore,
    ::testing::Values(StoreCase{"MessageDelay", "2500ms", 2500}, StoreCase{"MessageDelay", "abc", 0},
                      StoreCase{"MessageDelay", "32768", 7}, StoreCase{"MessageDelay", "2.5", 2},
                      StoreCase{"MessageDelay", "3.5", 4}, StoreCase{"MessageDelay", "-2.5", -2},
                      StoreCase{"MessageDelay", "", 7}, StoreCase{"MessageDelay", "  42 ", 42},
                      StoreCase{"MessageDelay", "1e3", 1000}, StoreCase{"MessageDelay", "1e", 1},
                      StoreCase{"MessageDelay", "-", 0}, StoreCase{"MessageDelay", "1e999", 7},
                      StoreCase{"PopAlign", "-32768", -32768}, StoreCase{"PopAlign", "-32769", 7},
                      StoreCase{"PopAlign", "32767", 32767}, StoreCase{"PopAlign", "32767.4", 32767},
                      StoreCase{"PopAlign", "32767.5", 7}, StoreCase{"GradientColor1", "2147483647", 2147483647},
                      StoreCase{"GradientColor1", "-2147483648", -2147483648LL},
                      StoreCase{"GradientColor1", "16744576", 16744576}, StoreCase{"GradientColor1", "2147483648", 7},
                      StoreCase{"GradientColor2", "4294967295", 7}));

TEST(SettingsTable, SoundPathIsStoredAsText)
{
    AddInSettings s;
    s.SoundPath = QStringLiteral("old");
    SettingsTable::store(row("SoundPath"), QString(), s);
    EXPECT_EQ(s.SoundPath, QStringLiteral("old"));
    SettingsTable::store(row("SoundPath"), QStringLiteral("/home/u/ding 1.wav"), s);
    EXPECT_EQ(s.SoundPath, QStringLiteral("/home/u/ding 1.wav"));
}
