#include "settings_mapping.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace zelo::pages {
namespace {

using device::ConfigRecord;
using device::DeviceVariant;

constexpr std::size_t kKeyFirst46 = 0x300 + 46;
constexpr std::size_t kKeySecond46 = 0x380 + 46;

ConfigRecord::Block filled(std::uint8_t value) {
    ConfigRecord::Block block;
    block.fill(value);
    return block;
}

SettingsControls xControls(std::size_t powerTracking, bool discrete) {
    SettingsControls c;
    c.statusLedEnabled = true;
    c.lowBatteryFlash = true;
    c.receiverMode = 4;
    c.powerTracking = powerTracking;
    c.pairingMode = 1;
    c.discretePowerOn = discrete;
    return c;
}

TEST(SettingsMapping, XModelBytesAndTheDiscretePowerOnEntry) {
    auto block = filled(0x77);
    storeSettings(xControls(1, true), block, DeviceVariant::X);
    EXPECT_EQ(block[0x13], 0);  // LED enabled is stored inverted
    EXPECT_EQ(block[0x14], 4);
    EXPECT_EQ(block[0x15], 1);
    EXPECT_EQ(block[0x07], 1);
    EXPECT_EQ(block[0x06], 1);
    EXPECT_EQ(block[0x04], 1);
    EXPECT_EQ(block[kKeyFirst46], 0x0A);
    EXPECT_EQ(block[kKeySecond46], 0x05);
    EXPECT_EQ(block[0x404], 0x77);  // the standard model's field is left alone

    storeSettings(xControls(0, true), block, DeviceVariant::X);
    EXPECT_EQ(block[0x04], 0);  // no power tracking: the tick counts for nothing
    EXPECT_EQ(block[kKeyFirst46], 0xFF);
    EXPECT_EQ(block[kKeySecond46], 0xFF);

    EXPECT_FALSE(loadSettings(block, DeviceVariant::X).discretePowerOnUsable);
}

TEST(SettingsMapping, StandardModelUsesPowerTrackingAt1028Only) {
    auto block = filled(0x77);
    SettingsControls c;
    c.receiverMode = 1;
    c.powerTracking = 2;
    storeSettings(c, block, DeviceVariant::Standard);
    EXPECT_EQ(block[0x13], 1);
    EXPECT_EQ(block[0x14], 1);
    EXPECT_EQ(block[0x15], 0);
    EXPECT_EQ(block[1028], 2);
    for (std::size_t untouched : {std::size_t{4}, std::size_t{6}, std::size_t{7}, kKeyFirst46, kKeySecond46})
        EXPECT_EQ(block[untouched], 0x77) << untouched;
    EXPECT_EQ(loadSettings(block, DeviceVariant::Standard).powerTracking, 2u);
}

TEST(SettingsMapping, ReceiverModeOutsideTheListStaysUnselected) {
    auto block = filled(0);
    block[0x14] = 0xFF;
    SettingsControls c = loadSettings(block, DeviceVariant::X);
    EXPECT_EQ(c.receiverMode, std::nullopt);
    storeSettings(c, block, DeviceVariant::X);
    EXPECT_EQ(block[0x14], 0xFF);
    block[0x14] = 4;  // valid on the X model, not on the standard one
    EXPECT_EQ(loadSettings(block, DeviceVariant::X).receiverMode, 4u);
    EXPECT_EQ(loadSettings(block, DeviceVariant::Standard).receiverMode, std::nullopt);
}

TEST(SettingsMapping, HelpTextsAndNotePerVariant) {
    EXPECT_EQ(receiverHelp(DeviceVariant::X, 1), i18n::Msg::ReceiverHelpNetwork);
    EXPECT_EQ(receiverHelp(DeviceVariant::X, 2), i18n::Msg::ReceiverHelpIrEye);
    EXPECT_EQ(receiverHelp(DeviceVariant::Standard, 1), i18n::Msg::ReceiverHelpIrEye);
    EXPECT_EQ(receiverHelp(DeviceVariant::Standard, std::nullopt), i18n::Msg::ReceiverHelpInternal);
    EXPECT_TRUE(showsPowerNote(2));
    EXPECT_FALSE(showsPowerNote(0));
}

}  // namespace
}  // namespace zelo::pages
