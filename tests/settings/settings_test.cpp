#include "settings/settings.h"

#include <gtest/gtest.h>

#include "base/failure.h"
#include "support/work_dir.h"

using namespace saldorama;

namespace {
Settings settings_from_lines(const std::vector<std::string>& lines) {
    Settings s;
    read_settings_into(lines, s);
    return s;
}

std::vector<std::string> sample() {
    return {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "4711", "10000000", "Musterbank",
            "Anna", "Bert", "false", "7", "true", "false", "2024", "A", "B", "C", "D", "2"};
}
} // namespace

TEST(SettingsLines, RoundTripGivesTheSameLines) {
    const Settings s = settings_from_lines(sample());
    EXPECT_EQ(s.company[kCompanyName], "Muster GmbH");
    EXPECT_FALSE(s.withVat);
    EXPECT_TRUE(s.showZeroAccounts);
    EXPECT_EQ(s.chartIndex, 2);
    EXPECT_EQ(settings_to_lines(s), sample());
}

TEST(SettingsLines, OnlyExactTrueIsYes) {
    EXPECT_TRUE(settings_flag("true"));
    EXPECT_FALSE(settings_flag("True"));
    EXPECT_FALSE(settings_flag("true "));
    EXPECT_FALSE(settings_flag(""));
}

TEST(SettingsLines, ChartIndexIsClamped) {
    EXPECT_EQ(settings_chart_index("9"), 3);
    EXPECT_EQ(settings_chart_index("-7"), -1);
    EXPECT_EQ(settings_chart_index("-1"), -1);
    EXPECT_EQ(settings_chart_index(" 0"), 0);
}

TEST(SettingsLines, ShortFileFailsAtTheEmptyYearLine) {
    try {
        (void)settings_from_lines({"nur", "zwei"});
        FAIL();
    } catch (const Failure& f) {
        EXPECT_STREQ(f.what(), "einstellungen.txt, Zeile 13: '' ist kein g\xFCltiger Integerwert");
    }
}

TEST(SettingsFile, WrittenInCrLfWithAllEighteenLines) {
    test::WorkDir dir;
    Settings s = settings_from_lines(sample());
    s.chartIndex = -1;
    write_settings_file(s);
    const std::string bytes = dir.read("einstellungen.txt");
    EXPECT_EQ(bytes.substr(0, 13), "Muster GmbH\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "-1\r\n");
    EXPECT_EQ(read_settings_lines().size(), 18u);
}
