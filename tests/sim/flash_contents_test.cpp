// What a freshly plugged accessory's flash holds: the program's firmware
// image, its defaults with the unit's identity, and the firmware text that
// command 0x01 answers from the flash.
#include <algorithm>

#include "images.h"
#include "page_crc.h"
#include "sim_test_support.h"

namespace zelo::sim::test {
namespace {

using device::DeviceVariant;
using FlashPage = std::array<std::uint8_t, kPageSize>;

constexpr std::uint16_t kErasedPageCrc = 0x6995;
constexpr std::size_t kIdentityBegin = device::kDeviceValueOffset;
constexpr std::size_t kIdentityEnd = device::kDeviceAddressOffset + device::kDeviceAddressSize;

AccessoryConfig model(const std::string &name, const std::string &firmware = {}) {
    AccessoryConfig config;
    config.model = name;
    config.firmware = firmware;
    return config;
}

std::span<const std::uint8_t> slice(std::span<const std::uint8_t> bytes, std::size_t index) {
    return bytes.subspan(index * kPageSize, kPageSize);
}

// Pages 16 to 29 as one image.
std::vector<std::uint8_t> firmwarePages(const Accessory &accessory) {
    std::vector<std::uint8_t> image;
    for (std::uint8_t number : device::kFirmwarePages) {
        const FlashPage page = accessory.page(number);
        image.insert(image.end(), page.begin(), page.end());
    }
    return image;
}

// Indexes of the firmware pages that differ from the variant's image.
std::vector<std::size_t> differingPages(const Accessory &accessory, DeviceVariant variant) {
    const std::vector<std::uint8_t> pages = firmwarePages(accessory);
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < device::kFirmwarePages.size(); ++i) {
        const auto ours = slice(pages, i);
        const auto image = slice(device::firmwareImage(variant), i);
        if (!std::equal(ours.begin(), ours.end(), image.begin())) differing.push_back(i);
    }
    return differing;
}

bool wholeImageCrcValid(const std::vector<std::uint8_t> &image) {
    const std::span<const std::uint8_t> bytes(image);
    return device::pageCrc(bytes.first(device::kFirmwareCrcOffset)) ==
           device::loadCrc(bytes.subspan<device::kFirmwareCrcOffset, 2>());
}

std::uint32_t deviceValue(const FlashPage &page15) {
    return device::loadLittleEndian32(page15, device::kDeviceValueOffset - kPageSize);
}

Bytes deviceAddress(const FlashPage &page15) {
    const auto at = page15.begin() + static_cast<std::ptrdiff_t>(device::kDeviceAddressOffset - kPageSize);
    return {at, at + static_cast<std::ptrdiff_t>(device::kDeviceAddressSize)};
}

class FlashContentsTest : public SimTest {
protected:
    std::string answeredFirmware(const Link &link) {
        const Bytes answer = exchange(link, command(0x01), 4);
        return {answer.begin(), answer.end()};
    }
    std::string answeredFirmware(const Accessory &accessory) { return answeredFirmware(openLink(accessory)); }

    // Writes page index i of the variant's image as the program's update does.
    void writeImagePage(const Link &link, DeviceVariant variant, std::size_t i) {
        const auto data = slice(device::firmwareImage(variant), i);
        exchange(link, command(0x58, {device::kFirmwarePages[i]}, Bytes(data.begin(), data.end())), 2);
    }

    // The configuration pages: the defaults block, apart from the identity.
    static void expectDefaults(const Accessory &accessory, DeviceVariant variant) {
        const auto defaults = device::defaultBlock(variant);
        for (std::size_t i = 0; i * kPageSize < defaults.size(); ++i) {
            const FlashPage page = accessory.page(device::kConfigurationPages[i]);
            for (std::size_t k = 0; k < kPageSize; ++k) {
                const std::size_t at = i * kPageSize + k;
                const bool identity = at >= kIdentityBegin && at < kIdentityEnd;
                const bool imageCrc = at >= device::kImageCrcOffset;
                if (identity || imageCrc) continue;
                ASSERT_EQ(page[k], defaults[at]) << "block offset " << at;
            }
        }
    }
};

TEST_F(FlashContentsTest, UpToDateStandardAccessoryHoldsImageA) {
    const auto accessory = plug(model("standard"));
    const auto image = device::firmwareImageA();
    // Pages 16 to 28 are what the firmware check compares.
    for (std::size_t i = 0; i + 1 < device::kFirmwarePages.size(); ++i) {
        const FlashPage page = accessory->page(device::kFirmwarePages[i]);
        EXPECT_EQ(device::pageCrc(page), device::pageCrc(slice(image, i))) << "page index " << i;
    }
    const std::vector<std::uint8_t> pages = firmwarePages(*accessory);
    EXPECT_TRUE(wholeImageCrcValid(pages));
    EXPECT_TRUE(differingPages(*accessory, DeviceVariant::Standard).empty());
    expectDefaults(*accessory, DeviceVariant::Standard);
    const FlashPage last = accessory->page(29);
    EXPECT_EQ(Bytes(last.begin(), last.begin() + 4), bytesOf("1.24")) << "the configuration's text";
    EXPECT_EQ(answeredFirmware(*accessory), "1.19");
    EXPECT_EQ(accessory->firmwareVersion(), "1.19");
}

TEST_F(FlashContentsTest, UpToDateXAccessoryHoldsImageB) {
    const auto accessory = plug(model("x"));
    const auto image = device::firmwareImageB();
    for (std::size_t i = 0; i < device::kFirmwarePages.size(); ++i) {
        const FlashPage page = accessory->page(device::kFirmwarePages[i]);
        EXPECT_EQ(device::pageCrc(page), device::pageCrc(slice(image, i))) << "page index " << i;
    }
    EXPECT_TRUE(wholeImageCrcValid(firmwarePages(*accessory)));
    expectDefaults(*accessory, DeviceVariant::X);
    const FlashPage first = accessory->page(14);
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 4), bytesOf("2.04"));
    EXPECT_EQ(answeredFirmware(*accessory), "2.06");
}

TEST_F(FlashContentsTest, EachUnitHasItsOwnIdentityAndNoTimeStamp) {
    const auto first = plug(model("standard"));
    const auto second = plug(model("x"));
    const FlashPage a = first->page(15);
    const FlashPage b = second->page(15);
    EXPECT_NE(deviceValue(a), deviceValue(b));
    EXPECT_NE(deviceValue(a), 0u);
    EXPECT_NE(deviceAddress(a), deviceAddress(b));
    for (const FlashPage &page : {a, b}) {
        const Bytes address = deviceAddress(page);
        EXPECT_NE(address, Bytes(address.size(), 0x00));
        EXPECT_NE(address, Bytes(address.size(), 0xFF));
        EXPECT_EQ(device::loadLittleEndian32(page, device::kTimeStampOffset - kPageSize), 0u)
            << "the program stamps the first connection";
    }
}

TEST_F(FlashContentsTest, OldFirmwareDiffersInTheTextPageUntilItIsRewritten) {
    // The old firmware is sealed with its own whole-image CRC, so its last
    // page differs from the image's until the program seals it again.
    constexpr std::size_t kLastIndex = device::kFirmwarePages.size() - 1;
    struct Case {
        const char *model;
        const char *old;
        DeviceVariant variant;
        std::uint8_t textPage;
        const char *current;
    };
    for (const Case &c : {Case{"standard", "1.18", DeviceVariant::Standard, 16, "1.19"},
                          Case{"x", "2.04", DeviceVariant::X, 19, "2.06"}}) {
        SCOPED_TRACE(c.model);
        const auto accessory = plug(model(c.model, c.old));
        const Link link = openLink(*accessory);
        EXPECT_EQ(answeredFirmware(link), c.old);
        EXPECT_TRUE(wholeImageCrcValid(firmwarePages(*accessory)));
        const std::size_t index = c.textPage - device::kFirmwarePages.front();
        EXPECT_EQ(differingPages(*accessory, c.variant), (std::vector<std::size_t>{index, kLastIndex}));
        writeImagePage(link, c.variant, index);
        EXPECT_EQ(differingPages(*accessory, c.variant), std::vector<std::size_t>{kLastIndex});
        EXPECT_EQ(answeredFirmware(link), c.current);
    }
}

TEST_F(FlashContentsTest, ModelOfAnotherLoaderHasErasedFirmwareAndStandardConfiguration) {
    const auto accessory = plug(model("1.02"));
    EXPECT_EQ(answeredFirmware(*accessory), "1.19");
    for (std::uint8_t number = 17; number < 29; ++number)
        EXPECT_EQ(device::pageCrc(accessory->page(number)), kErasedPageCrc) << "page " << int(number);
    // Page 16 holds only the firmware text.
    const FlashPage first = accessory->page(16);
    const auto erased = std::count(first.begin(), first.end(), 0xFF);
    EXPECT_EQ(static_cast<std::size_t>(erased), kPageSize - 4);
    expectDefaults(*accessory, DeviceVariant::Standard);
    const FlashPage last = accessory->page(29);
    EXPECT_EQ(Bytes(last.end() - 2, last.end()), Bytes(2, 0xFF)) << "no image, so no image CRC";
}

}  // namespace
}  // namespace zelo::sim::test
