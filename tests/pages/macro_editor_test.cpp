#include "macro_editor.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace zelo::pages {
namespace {

using device::ConfigRecord;

constexpr std::size_t kPlay = 23;
constexpr std::size_t kStop = 27;
constexpr std::size_t kMacro3 = 3;
constexpr std::size_t kRecordSize = device::kMacroRecordSize;

std::size_t recordAt(std::size_t m) { return device::kMacrosOffset + kRecordSize * m; }

MacroRow row(std::size_t position, std::wstring hold, std::wstring delay) { return MacroRow{position, hold, delay}; }

TEST(MacroEditor, DefaultPowerOffMacroStoresBigEndianTimes) {
    ConfigRecord::Block block{};
    MacroEditor editor;
    editor.load(block);
    const MacroRows rows = editor.reset(kPowerOffMacro);
    EXPECT_EQ(rows[0], row(CommandTable::positionOf(kCommandPs), L"3750", L"450"));
    EXPECT_EQ(rows[7], row(kNonePosition, L"150", L"450"));
    ASSERT_TRUE(editor.store(rows, block));
    const std::size_t base = recordAt(kPowerOffMacro);
    EXPECT_EQ(block[base], 7);
    EXPECT_EQ(block[base + 1], 0x0A);
    EXPECT_EQ(block[base + 11], 0x05);
    EXPECT_EQ(block[base + 21], 0x0E);
    EXPECT_EQ(block[base + 22], 0xA6);
    EXPECT_EQ(device::loadMacro(block, kPowerOffMacro), defaultMacro(kPowerOffMacro));
}

TEST(MacroEditor, GapsArePackedFromTheTop) {
    MacroRows rows = freshRows();
    rows[0] = row(kPlay, L"100", L"200");
    rows[3] = row(kStop, L"300", L"400");
    rows[9] = row(kPlay, L"5", L"6");  // the hidden last row takes part
    const auto record = recordOf(rows);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->stepCount, 3);
    EXPECT_EQ(record->second[0], 0x05);
    EXPECT_EQ(record->first[1], 0x04);  // STOP right after PLAY
    EXPECT_EQ(record->holdMs[1], 300);
    EXPECT_EQ(record->pauseMs[2], 6);
    EXPECT_EQ(rowsOf(*record)[1], row(kStop, L"300", L"400"));
}

TEST(MacroEditor, TimeTexts) {
    EXPECT_EQ(parseMilliseconds(L"200ms"), 200);
    EXPECT_EQ(parseMilliseconds(L" 65535"), 65535);
    for (std::wstring_view bad : {L"65536", L"-1", L"abc", L"", L"99999999999999999999999"})
        EXPECT_EQ(parseMilliseconds(bad), std::nullopt) << std::wstring(bad).size();
}

TEST(MacroEditor, InvalidTimesLeaveTheMacroUnchanged) {
    ConfigRecord::Block block{};
    MacroEditor editor;
    editor.load(block);
    MacroRows rows = editor.reset(kPowerOffMacro);
    ASSERT_TRUE(editor.store(rows, block));
    const ConfigRecord::Block before = block;

    rows[2].holdText = L"70000";
    rows[8] = row(kPlay, L"x", L"1");  // invalid in a hidden row too
    rows[9] = row(kNonePosition, L"bad", L"bad");  // NONE rows are not checked
    InvalidTimes invalid;
    EXPECT_FALSE(editor.store(rows, block, &invalid));
    EXPECT_EQ(invalid.rows, (std::vector<std::size_t>{2, 8}));
    EXPECT_EQ(block, before);
    EXPECT_FALSE(editor.select(rows, kMacro3));
    EXPECT_EQ(editor.currentMacro(), kPowerOffMacro);
}

TEST(MacroEditor, SwitchingKeepsEditsAndHiddenSteps) {
    ConfigRecord::Block block{};
    MacroRecord ten;
    ten.stepCount = 10;
    for (std::size_t s = 0; s < ten.first.size(); ++s) {
        ten.first[s] = 0x00;
        ten.second[s] = 0x05;  // PLAY
        ten.holdMs[s] = static_cast<std::uint16_t>(s);
    }
    device::storeMacro(block, 1, ten);
    MacroEditor editor;
    editor.load(block);
    MacroRows rows = editor.show(kMacro3);
    rows[0] = row(kStop, L"10", L"20");
    ASSERT_TRUE(editor.select(rows, kPowerOffMacro));
    const auto back = editor.select(editor.show(kPowerOffMacro), kMacro3);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[0], row(kStop, L"10", L"20"));

    const MacroRows custom1 = editor.show(1);
    EXPECT_EQ(custom1[9], row(kPlay, L"9", L"0"));
    ASSERT_TRUE(editor.store(custom1, block));
    EXPECT_EQ(device::loadMacro(block, 1), ten);
    EXPECT_EQ(device::loadMacro(block, kMacro3).stepCount, 1);
}

TEST(MacroEditor, StoredStepsWithoutARowShowAsNone) {
    MacroRecord record;
    record.stepCount = 0xFF;  // erased memory
    record.first[0] = 0x14;   // decodes to nothing
    record.first[1] = 0xFE;   // a macro reference has no row
    record.second[1] = 0xC9;
    record.holdMs[0] = 999;
    const MacroRows rows = rowsOf(record);
    EXPECT_EQ(rows[0], row(kNonePosition, L"150", L"450"));
    EXPECT_EQ(rows[1], row(kNonePosition, L"150", L"450"));
}

}  // namespace
}  // namespace zelo::pages
