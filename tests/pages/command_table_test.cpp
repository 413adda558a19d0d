#include "command_table.h"

#include <gtest/gtest.h>

namespace zelo::pages {
namespace {

TEST(CommandTable, NamesIncludingTheSpecialCodes) {
    EXPECT_EQ(CommandTable::commandName(46), "Discrete power on");
    EXPECT_EQ(CommandTable::commandName(10), "Unknown");
    EXPECT_EQ(CommandTable::commandName(255), "NONE");
}

TEST(CommandTable, PositionsFollowTheListOrderNotTheCodes) {
    EXPECT_EQ(CommandTable::commandCount(), 62u);
    EXPECT_EQ(CommandTable::positionOf(46), kNoPosition);
    EXPECT_EQ(CommandTable::positionOf(10), kNoPosition);
    EXPECT_EQ(CommandTable::positionOf(255), 51);
    EXPECT_EQ(CommandTable::commandAt(29), 0x5E);  // OK/X before L3
    EXPECT_EQ(CommandTable::commandAt(45), 0x54);  // DISPLAY after ANGLE
    EXPECT_EQ(CommandTable::commandAt(50), 0x50);  // SELECT after RIGHT
    for (std::size_t p = 0; p < CommandTable::commandCount(); ++p)
        EXPECT_EQ(CommandTable::positionOf(CommandTable::commandAt(p)), p);
}

TEST(CommandTable, EncodeAndDecode) {
    EXPECT_EQ(CommandTable::encodeCommand(21), (CommandPair{0x0A, 0x05}));
    EXPECT_EQ(CommandTable::encodeCommand(46), kNoCommandPair);
    EXPECT_EQ(CommandTable::decodeCommand({0xFE, 0xC8}), 107);
    EXPECT_EQ(CommandTable::decodeCommand({0xFF, 0xFF}), 255);
    EXPECT_EQ(CommandTable::decodeCommand({0x00, 0x00}), 22);  // EJECT
    EXPECT_EQ(CommandTable::decodeCommand({0x14, 0x00}), std::nullopt);
    for (const CommandInfo &row : CommandTable::rows())
        EXPECT_EQ(CommandTable::decodeCommand(row.pair), row.code) << row.name;
}

TEST(CommandTable, ControllerKeys) {
    int keys = 0;
    for (unsigned code = 0; code <= 0xFF; ++code) keys += CommandTable::isControllerKey(static_cast<CommandCode>(code));
    EXPECT_EQ(keys, 24);
    EXPECT_TRUE(CommandTable::isControllerKey(0x50));  // SELECT
    EXPECT_FALSE(CommandTable::isControllerKey(kCommandDiscretePowerOn));
}

TEST(CommandLists, EntriesAndIndexMapping) {
    const auto macro = commandList(CommandList::MacroStep);
    ASSERT_EQ(macro.size(), 52u);
    EXPECT_EQ(macro.back().code, kCommandNone);

    const auto ir = commandList(CommandList::KeyMapIr);
    ASSERT_EQ(ir.size(), 61u);
    EXPECT_EQ(ir[50].name, "SELECT");
    EXPECT_EQ(ir[51].name, "Poweroff macro");
    EXPECT_EQ(keyMapIrPosition(51), 52u);
    EXPECT_EQ(keyMapIrPosition(60), 61u);
    EXPECT_EQ(keyMapIrPosition(61), std::nullopt);
    EXPECT_EQ(keyMapIrIndex(52), 51u);
    EXPECT_EQ(commandOfListIndex(CommandList::KeyMapIr, 51), kCommandPowerOffMacro);

    const auto transmit = commandList(CommandList::IrTransmit);
    ASSERT_EQ(transmit.size(), 62u);
    EXPECT_EQ(transmit[kNonePosition].code, kCommandDiscretePowerOn);
    EXPECT_EQ(transmit[kNonePosition].name, "Discrete power on");
}

}  // namespace
}  // namespace zelo::pages
