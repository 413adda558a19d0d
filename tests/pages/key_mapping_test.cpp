#include "key_mapping.h"

#include <gtest/gtest.h>

#include "config_record.h"

namespace zelo::pages {
namespace {

using device::ConfigRecord;

constexpr std::uint8_t kPositionPlay = 23;
constexpr CommandCode kMenu = 27;

ConfigRecord::Block identityBlock() {
    ConfigRecord::Block block;
    block.fill(0xFF);
    KeyMapping mapping;
    mapping.restoreDefault(block);
    return block;
}

TEST(KeyMapping, OkWritesBothHalvesOfTheEntry) {
    auto block = identityBlock();
    KeyMapping mapping;
    mapping.showMapping(block, 0);  // NUM1
    EXPECT_TRUE(mapping.settled());
    mapping.selectPs3(kPositionPlay);
    EXPECT_FALSE(mapping.irListEnabled());
    EXPECT_TRUE(mapping.okCancelEnabled());
    mapping.cancel();
    EXPECT_EQ(mapping.selectedPosition(), 0u);
    EXPECT_TRUE(mapping.irListEnabled());
    mapping.selectPs3(kPositionPlay);
    mapping.ok(block);
    EXPECT_TRUE(mapping.settled());
    EXPECT_EQ(block[0x300], 0x00);
    EXPECT_EQ(block[0x380], 0x05);

    mapping.showMapping(block, CommandTable::positionOf(kMenu));
    mapping.selectPs3(kNonePosition);
    mapping.ok(block);
    EXPECT_EQ(block[0x31B], 0xFF);
    EXPECT_EQ(block[0x39B], 0xFF);
    mapping.showMapping(block, CommandTable::positionOf(kMenu));
    EXPECT_EQ(mapping.committedPosition(), kNonePosition);
    EXPECT_TRUE(mapping.irListEnabled());

    mapping.showMapping(block, 51);  // the power-off macro's entry
    EXPECT_EQ(mapping.irCode(), 107);
    mapping.selectPs3(0);
    mapping.ok(block);
    EXPECT_EQ(block[0x36B], 0x01);
    EXPECT_EQ(block[0x3EB], 0x00);
}

TEST(KeyMapping, UndecodableEntryShowsNoneSettled) {
    auto block = identityBlock();
    writeKeyEntry(block, 0, {0x14, 0x00});
    KeyMapping mapping;
    mapping.showMapping(block, 0);
    EXPECT_EQ(mapping.committedPosition(), kNonePosition);
    EXPECT_TRUE(mapping.settled());
}

TEST(KeyMapping, DefaultLeavesUnlistedCodesAlone) {
    ConfigRecord::Block block;
    block.fill(0x42);
    KeyMapping mapping;
    mapping.showMapping(block, 5);
    mapping.selectPs3(7);
    mapping.restoreDefault(block);
    EXPECT_EQ(mapping.irIndex(), 0u);
    EXPECT_TRUE(mapping.settled());
    EXPECT_EQ(readKeyEntry(block, kCommandDiscretePowerOn), (CommandPair{0x42, 0x42}));
    EXPECT_EQ(readKeyEntry(block, 10), (CommandPair{0x42, 0x42}));
    EXPECT_EQ(readKeyEntry(block, 22), (CommandPair{0x00, 0x00}));
    for (const CommandListEntry &entry : commandList(CommandList::KeyMapIr))
        EXPECT_EQ(readKeyEntry(block, entry.code), CommandTable::encodeCommand(entry.code)) << entry.name;
}

}  // namespace
}  // namespace zelo::pages
