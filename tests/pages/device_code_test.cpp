#include "device_code.h"

#include <gtest/gtest.h>

namespace zelo::pages {
namespace {

using device::ConfigRecord;

DeviceCodeBytes stored(const ConfigRecord::Block &block, std::size_t offset) {
    return {block[offset], block[offset + 1]};
}

TEST(DeviceCode, ValidTextsAreStoredInBothPlaces) {
    struct Case {
        std::wstring_view text;
        DeviceCodeBytes bytes;
    };
    for (const Case &c : {Case{L"26.73", {0x3A, 0x09}}, Case{L"26.250", {0x5A, 0x1F}},
                          Case{L"26.218", {0x5A, 0x1B}}, Case{L"31.255", {0xFF, 0x1F}},
                          Case{L" 0.0", {0x00, 0x00}}}) {
        ConfigRecord::Block block{};
        ASSERT_TRUE(storeDeviceCodeText(c.text, block)) << std::wstring(c.text).size();
        EXPECT_EQ(stored(block, 0x44), c.bytes);
        EXPECT_EQ(stored(block, 0x405), c.bytes);
        EXPECT_EQ(viewOf(c.bytes).text, std::wstring(c.text.substr(c.text.find_first_not_of(L' '))));
    }
}

TEST(DeviceCode, MalformedOrOutOfRangeTextsChangeNothing) {
    for (std::wstring_view text : {L"2673", L"26.7.3", L"32.73", L"26.256", L"-1.73", L"",
                                   L"99999999999999999999.1", L"0000000000000000026.73"}) {
        ConfigRecord::Block block;
        block.fill(0xAB);
        EXPECT_FALSE(storeDeviceCodeText(text, block)) << std::wstring(text).size();
        for (std::uint8_t byte : block) ASSERT_EQ(byte, 0xAB);
    }
}

TEST(DeviceCode, APartWithoutDigitsCountsAsZero) {
    ConfigRecord::Block block{};
    ASSERT_TRUE(storeDeviceCodeText(L"26.", block));
    EXPECT_EQ(stored(block, 0x44), (DeviceCodeBytes{0x1A, 0x00}));
    EXPECT_EQ(viewOf({0x1A, 0x00}).text, L"26.0");
}

TEST(DeviceCode, ViewChoosesThePreset) {
    EXPECT_EQ(viewOf({0x5A, 0x1B}).listIndex, kCustomIndex);
    for (std::size_t i = 0; i < kPresetCount; ++i) {
        const auto bytes = parseDeviceCode(presetCodeText(i));
        ASSERT_TRUE(bytes);
        EXPECT_EQ(viewOf(*bytes).listIndex, i);
    }
}

TEST(DeviceCode, NotConnectedShowsTheDefaultCode) {
    ConfigRecord::Block block{};
    EXPECT_EQ(viewOf(shownCodeBytes(block, false)).text, L"26.73");
    EXPECT_EQ(viewOf(shownCodeBytes(block, true)).text, L"0.0");
    EXPECT_EQ(deviceCodeListTexts()[0], L"26.73 DVD1a (Default)");
}

}  // namespace
}  // namespace zelo::pages
