#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "images.h"
#include "key_mapping.h"
#include "settings_file.h"
#include "settings_rules.h"

namespace zelo::settings {
namespace {

using device::ConfigRecord;

constexpr std::uint32_t kSeed = 20261208;
constexpr int kBlocks = 120;

class RandomBlocks {
public:
    explicit RandomBlocks(std::uint32_t seed) : random_(seed) {}

    // Random bytes everywhere, then every value the file carries set to
    // something the pages accept.
    ConfigRecord::Block next(DeviceVariant model) {
        ConfigRecord::Block block;
        for (std::uint8_t &byte : block) byte = static_cast<std::uint8_t>(below(256));
        pages::SettingsControls controls;
        controls.statusLedEnabled = below(2) == 1;
        controls.lowBatteryFlash = below(2) == 1;
        controls.receiverMode = selection(pages::receiverModeEntries(model).size());
        controls.powerTracking = selection(pages::powerTrackingEntries().size());
        controls.pairingMode = selection(pages::pairingModeEntries().size());
        controls.discretePowerOn = below(2) == 1;
        pages::storeSettings(controls, block, model);
        pages::storeDeviceCode(*device::encodeDeviceCode(below(32), below(256)), block);
        for (std::size_t m = 0; m < device::kMacroCount; ++m) device::storeMacro(block, m, macro());
        for (const auto &key : pages::commandList(pages::CommandList::KeyMapIr))
            pages::writeKeyEntry(block, key.code, pages::CommandTable::encodeCommand(pick(pages::CommandList::KeyMapPs3)));
        return block;
    }

private:
    unsigned below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    pages::ListSelection selection(std::size_t entries) {
        const unsigned value = below(static_cast<unsigned>(entries) + 1);
        return value == entries ? pages::ListSelection{} : pages::ListSelection{value};
    }
    pages::CommandCode pick(pages::CommandList list) {
        const auto entries = pages::commandList(list);
        return entries[below(static_cast<unsigned>(entries.size()))].code;
    }
    device::MacroRecord macro() {
        device::MacroRecord record;
        record.stepCount = static_cast<std::uint8_t>(below(device::kMacroSteps + 1));
        for (std::size_t s = 0; s < device::kMacroSteps; ++s) {
            const pages::CommandPair pair = pages::CommandTable::encodeCommand(pick(pages::CommandList::MacroStep));
            record.first[s] = pair.first;
            record.second[s] = pair.second;
            record.holdMs[s] = static_cast<std::uint16_t>(below(65536));
            record.pauseMs[s] = static_cast<std::uint16_t>(below(65536));
        }
        return record;
    }

    std::mt19937 random_;
};

void expectLeftOutUnchanged(const ConfigRecord::Block &before, const ConfigRecord::Block &after) {
    for (std::size_t offset = 0; offset < before.size(); ++offset)
        if (!inFile(fieldAt(offset))) {
            ASSERT_EQ(before[offset], after[offset]) << "byte " << offset << " was changed";
        }
}

TEST(SettingsRoundTrip, BlockToFileToBlockKeepsTheUserSettings) {
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    RandomBlocks random(kSeed);
    for (int i = 0; i < kBlocks; ++i) {
        SCOPED_TRACE("block " + std::to_string(i));
        const DeviceVariant model = i % 2 == 0 ? DeviceVariant::Standard : DeviceVariant::X;
        const ConfigRecord::Block source = random.next(model);
        const SettingsDocument document = documentOf(source, model, "1.0.0", "1.23");
        const std::string text = writeSettingsFile(document);

        ConfigRecord::Block target = random.next(model);
        const ConfigRecord::Block before = target;
        const ImportResult result = importSettings(text, model, target);
        ASSERT_TRUE(result.applied) << result.refusal;
        EXPECT_TRUE(result.warnings.empty());
        EXPECT_EQ(documentOf(target, model, "1.0.0", "1.23"), document);
        EXPECT_EQ(readSettingsFile(text).document, document);
        expectLeftOutUnchanged(before, target);
        // What the accessory plays and maps, byte for byte.
        for (std::size_t m = 0; m < device::kMacroCount; ++m) {
            const device::MacroRecord a = device::loadMacro(source, m);
            const device::MacroRecord b = device::loadMacro(target, m);
            ASSERT_EQ(a.stepCount, b.stepCount);
            for (std::size_t s = 0; s < a.stepCount; ++s)
                ASSERT_TRUE(a.first[s] == b.first[s] && a.second[s] == b.second[s] && a.holdMs[s] == b.holdMs[s] &&
                            a.pauseMs[s] == b.pauseMs[s]);
        }
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(SettingsRoundTrip, OtherModelAppliesWhereFieldsExistAndWarnsAboutTheRest) {
    RandomBlocks random(kSeed);
    ConfigRecord::Block x = random.next(DeviceVariant::X);
    x[device::kIrReceiverModeOffset] = 3;  // repeater, which the standard model lacks
    const std::string fromX = writeSettingsFile(documentOf(x, DeviceVariant::X, "1.0.0", "1.23"));

    ConfigRecord::Block standard = random.next(DeviceVariant::Standard);
    const ConfigRecord::Block before = standard;
    const ImportResult result = importSettings(fromX, DeviceVariant::Standard, standard);
    ASSERT_TRUE(result.applied) << result.refusal;
    EXPECT_EQ(result.warnings, (std::vector<std::string>{
                                   "settings.receiverMode: the standard model has no entry \"Repeatermode\"",
                                   "settings.pairingMode: the standard model has no such setting",
                                   "settings.discretePowerOn: the standard model has no such setting",
                               }));
    EXPECT_EQ(standard[device::kIrReceiverModeOffset], before[device::kIrReceiverModeOffset]);
    EXPECT_EQ(standard[device::kPairingModeOffset], before[device::kPairingModeOffset]);
    EXPECT_EQ(pages::loadSettings(standard, DeviceVariant::Standard).powerTracking,
              pages::loadSettings(x, DeviceVariant::X).powerTracking);
    const SettingsDocument got = documentOf(standard, DeviceVariant::Standard, "", "");
    const SettingsDocument sent = documentOf(x, DeviceVariant::X, "", "");
    EXPECT_EQ(got.macros, sent.macros);
    EXPECT_EQ(got.deviceCode, sent.deviceCode);
    EXPECT_EQ(got.keyMap, sent.keyMap);
    expectLeftOutUnchanged(before, standard);

    // Standard to X: everything the standard model has exists on the X.
    ConfigRecord::Block standardSource = random.next(DeviceVariant::Standard);
    standardSource[device::kIrReceiverModeOffset] = 0;
    ConfigRecord::Block xTarget = random.next(DeviceVariant::X);
    const ImportResult up = importSettings(
        writeSettingsFile(documentOf(standardSource, DeviceVariant::Standard, "", "")), DeviceVariant::X, xTarget);
    ASSERT_TRUE(up.applied) << up.refusal;
    EXPECT_TRUE(up.warnings.empty());
    EXPECT_EQ(xTarget[device::kPowerTrackingXOffset], standardSource[device::kPowerTrackingOffset]);
}

TEST(SettingsRoundTrip, PartialFileChangesOnlyWhatItNames) {
    RandomBlocks random(kSeed);
    ConfigRecord::Block block = random.next(DeviceVariant::Standard);
    ConfigRecord::Block expected = block;
    pages::storeDeviceCode(*device::encodeDeviceCode(5, 6), expected);
    const ImportResult result = importSettings(
        R"({"format": "ZE-LO settings", "version": 1, "model": "standard", "deviceCode": "5.6"})",
        DeviceVariant::Standard, block);
    ASSERT_TRUE(result.applied) << result.refusal;
    EXPECT_EQ(block, expected);
}

}  // namespace
}  // namespace zelo::settings
