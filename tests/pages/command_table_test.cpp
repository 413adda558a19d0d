#include "command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string_view>

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

// The command list written out independently of the table in the code:
// position, code, name, pair, controller key.
struct ListedCommand {
    std::size_t position;
    CommandCode code;
    std::string_view name;
    CommandPair pair;
    bool controllerKey;
};

constexpr ListedCommand kListing[] = {
    {0, 0x00, "NUM1", {0x01, 0x00}, false},
    {1, 0x01, "NUM2", {0x02, 0x00}, false},
    {2, 0x02, "NUM3", {0x03, 0x00}, false},
    {3, 0x03, "NUM4", {0x00, 0x01}, false},
    {4, 0x04, "NUM5", {0x01, 0x01}, false},
    {5, 0x05, "NUM6", {0x02, 0x01}, false},
    {6, 0x06, "NUM7", {0x04, 0x01}, false},
    {7, 0x07, "NUM8", {0x00, 0x02}, false},
    {8, 0x08, "NUM9", {0x01, 0x02}, false},
    {9, 0x09, "NUM0", {0x04, 0x02}, false},
    {10, 0x0B, "ENTER", {0x07, 0x02}, false},
    {11, 0x0E, "RETURN", {0x03, 0x04}, false},
    {12, 0x0F, "CLEAR", {0x03, 0x02}, false},
    {13, 0x15, "PS", {0x0A, 0x05}, true},
    {14, 0x16, "EJECT", {0x00, 0x00}, true},
    {15, 0x1A, "TOPMENU", {0x01, 0x04}, false},
    {16, 0x1B, "MENU", {0x02, 0x04}, false},
    {17, 0x1F, "GREEN", {0x03, 0x03}, false},
    {18, 0x28, "TIME", {0x00, 0x03}, false},
    {19, 0x2A, "YELLOW", {0x04, 0x03}, false},
    {20, 0x2C, "BLUE", {0x01, 0x03}, false},
    {21, 0x30, "PREV", {0x03, 0x05}, false},
    {22, 0x31, "NEXT", {0x00, 0x06}, false},
    {23, 0x32, "PLAY", {0x00, 0x05}, false},
    {24, 0x33, "FASTRWD", {0x04, 0x04}, false},
    {25, 0x34, "FASTFWD", {0x01, 0x05}, false},
    {26, 0x35, "RED", {0x02, 0x03}, false},
    {27, 0x38, "STOP", {0x04, 0x05}, false},
    {28, 0x39, "PAUSE", {0x02, 0x06}, false},
    {29, 0x5E, "OK/X", {0x09, 0x04}, true},
    {30, 0x51, "L3", {0x02, 0x05}, true},
    {31, 0x52, "R3", {0x04, 0x07}, true},
    {32, 0x53, "START", {0x0C, 0x07}, true},
    {33, 0x58, "L2", {0x0B, 0x06}, true},
    {34, 0x59, "R2", {0x13, 0x06}, true},
    {35, 0x5A, "L1", {0x11, 0x04}, true},
    {36, 0x5B, "R1", {0x12, 0x05}, true},
    {37, 0x5C, "OPTIONS/TRIANGLE", {0x05, 0x00}, true},
    {38, 0x5D, "BACK/CIRCLE", {0x06, 0x01}, true},
    {39, 0x5F, "VIEW/SQUARE", {0x08, 0x03}, true},
    {40, 0x60, "SLOWRWD", {0x01, 0x06}, false},
    {41, 0x61, "SLOWFWD", {0x04, 0x06}, false},
    {42, 0x63, "SUBTITLE", {0x02, 0x02}, false},
    {43, 0x64, "AUDIO", {0x04, 0x00}, false},
    {44, 0x65, "ANGLE", {0x03, 0x01}, false},
    {45, 0x54, "DISPLAY", {0x00, 0x04}, false},
    {46, 0x79, "UP", {0x0D, 0x00}, false},
    {47, 0x7A, "DOWN", {0x10, 0x03}, false},
    {48, 0x7B, "LEFT", {0x0E, 0x01}, false},
    {49, 0x7C, "RIGHT", {0x0F, 0x02}, false},
    {50, 0x50, "SELECT", {0x03, 0x06}, true},
    {51, 0xFF, "NONE", {0xFF, 0xFF}, false},
    {52, 0x6B, "Poweroff macro", {0xFE, 0xC8}, true},
    {53, 0x6C, "Custom macro 1", {0xFE, 0xC9}, true},
    {54, 0x6D, "Custom macro 2", {0xFE, 0xCA}, true},
    {55, 0x6E, "Custom macro 3", {0xFE, 0xCB}, true},
    {56, 0x6F, "Custom macro 4", {0xFE, 0xCC}, true},
    {57, 0x70, "Custom macro 5", {0xFE, 0xCD}, true},
    {58, 0x71, "Custom macro 6", {0xFE, 0xCE}, true},
    {59, 0x72, "Custom macro 7", {0xFE, 0xCF}, true},
    {60, 0x73, "Custom macro 8", {0xFE, 0xD0}, true},
    {61, 0x74, "Custom macro 9", {0xFE, 0xD1}, true},
};

TEST(CommandTable, EveryRowMatchesTheListing) {
    ASSERT_EQ(CommandTable::commandCount(), std::size(kListing));
    for (const ListedCommand &row : kListing) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CommandTable::commandAt(row.position), row.code);
        EXPECT_EQ(CommandTable::positionOf(row.code), row.position);
        EXPECT_EQ(CommandTable::commandName(row.code), row.name);
        EXPECT_EQ(CommandTable::encodeCommand(row.code), row.pair);
        EXPECT_EQ(CommandTable::isControllerKey(row.code), row.controllerKey);
    }
    // Every other code is unlisted, without a pair and not a controller key.
    for (unsigned value = 0; value <= 0xFF; ++value) {
        const auto code = static_cast<CommandCode>(value);
        const auto listed = [&](const ListedCommand &row) { return row.code == code; };
        if (std::any_of(std::begin(kListing), std::end(kListing), listed)) continue;
        SCOPED_TRACE(value);
        EXPECT_EQ(CommandTable::positionOf(code), kNoPosition);
        EXPECT_EQ(CommandTable::encodeCommand(code), kNoCommandPair);
        EXPECT_FALSE(CommandTable::isControllerKey(code));
        EXPECT_EQ(CommandTable::commandName(code), code == 46 ? "Discrete power on" : "Unknown");
    }
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
