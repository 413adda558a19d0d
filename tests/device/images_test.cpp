#include "images.h"

#include "page_crc.h"
#include "rijndael.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace zelo::device {
namespace {

constexpr std::uint16_t kErasedPageSignature = 0x6995;

std::string textAt(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t length = kVersionTextLength) {
    return {reinterpret_cast<const char *>(bytes.data() + offset), length};
}

std::uint16_t storedCrc(std::span<const std::uint8_t> image) {
    return loadCrc(image.subspan(kFirmwareCrcOffset).first<2>());
}

// Splits the deciphered loader as the module programming does: a line ends
// at CR, LF or 0xFF; the text ends where a line would start with 0xFF.
std::vector<std::string> loaderLines(const std::vector<std::uint8_t> &plain) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < plain.size() && plain[at] != kImageEndMark) {
        std::string line;
        while (at < plain.size() && plain[at] != '\r' && plain[at] != '\n' && plain[at] != kImageEndMark)
            line += static_cast<char>(plain[at++]);
        if (at == plain.size()) break;
        ++at;
        lines.push_back(line);
    }
    return lines;
}

unsigned hexByte(const std::string &line, std::size_t at) { return std::stoul(line.substr(at, 2), nullptr, 16); }

TEST(DefaultBlocks, StandardModel) {
    const auto block = defaultBlock(DeviceVariant::Standard);
    ASSERT_EQ(block.size(), kBlockSize);
    EXPECT_EQ(textAt(block, kLayoutVersionOffset), "1.19");
    EXPECT_EQ(textAt(block, kFirmwareVersionOffset), "1.24");
    const std::vector<std::uint8_t> settings(block.begin() + 8, block.begin() + 19);
    EXPECT_EQ(settings, (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 3, 11, 0, 0, 3, 0}));
    EXPECT_EQ(block[kStatusLedOffOffset], 0);
    EXPECT_EQ(block[kIrReceiverModeOffset], 0);
    EXPECT_EQ(block[kLowBatteryFlashOffset], 1);
    EXPECT_EQ(block[kDeviceCodeOffset], 0x3A);
    EXPECT_EQ(block[kDeviceCodeOffset + 1], 0x09);
    EXPECT_EQ(textAt(block, kAlternateCodesOffset), "\x5A\x1B\x5A\x1B");
    EXPECT_EQ(block[kPowerTrackingOffset], 0);
    EXPECT_EQ(textAt(block, kDeviceCodeCopyOffset, 6), "\x3A\x09\x5A\x1B\x5A\x1B");
    EXPECT_TRUE(std::all_of(block.begin() + kReservedTailOffset, block.end(), [](auto b) { return b == 0xFF; }));
    EXPECT_TRUE(std::all_of(block.begin() + kDeviceValueOffset, block.begin() + kKeyMapFirstOffset,
                            [](auto b) { return b == 0; }));
}

TEST(DefaultBlocks, XModel) {
    const auto block = defaultBlock(DeviceVariant::X);
    ASSERT_EQ(block.size(), kXBlockSize);
    EXPECT_EQ(textAt(block, kLayoutVersionOffset), "2.04");
    EXPECT_EQ(block[kIrReceiverModeOffset], 4);
    EXPECT_EQ(block[kDiscretePowerOnOffset], 0);
    EXPECT_EQ(block[kKeyMapFirstOffset + 46], kNoCommandByte) << "discrete power-on off: entry 46 is NONE";
    EXPECT_TRUE(defaultBlock(DeviceVariant::Other).empty());
}

TEST(DefaultBlocks, PowerOffMacroAndEmptyCustomMacros) {
    for (auto [variant, psHold] : {std::pair{DeviceVariant::Standard, 2500}, std::pair{DeviceVariant::X, 3750}}) {
        const auto block = defaultBlock(variant);
        const MacroRecord macro = loadMacro(block, 0);
        ASSERT_EQ(macro.stepCount, 7);
        const std::vector<std::uint8_t> first(macro.first.begin(), macro.first.begin() + 7);
        const std::vector<std::uint8_t> second(macro.second.begin(), macro.second.begin() + 7);
        EXPECT_EQ(first, (std::vector<std::uint8_t>{0x0A, 0x10, 0x10, 0x10, 0x0D, 0x09, 0x09}));
        EXPECT_EQ(second, (std::vector<std::uint8_t>{0x05, 0x03, 0x03, 0x03, 0x00, 0x04, 0x04}));
        EXPECT_EQ(macro.holdMs[0], psHold);
        for (std::size_t s = 1; s < 7; ++s) EXPECT_EQ(macro.holdMs[s], 150);
        for (std::size_t s = 0; s < 7; ++s) EXPECT_EQ(macro.pauseMs[s], 450);
        for (std::size_t s = 7; s < kMacroSteps; ++s) EXPECT_EQ(macro.first[s] | macro.holdMs[s] | macro.pauseMs[s], 0);
        for (std::size_t m = 1; m < kMacroCount; ++m) EXPECT_EQ(loadMacro(block, m), MacroRecord{}) << "macro " << m;
    }
}

TEST(DefaultBlocks, KeyMapSendsEachCodesOwnCommand) {
    const auto block = defaultBlock(DeviceVariant::Standard);
    auto entry = [&](std::size_t c) {
        return std::pair<int, int>{block[kKeyMapFirstOffset + c], block[kKeyMapSecondOffset + c]};
    };
    EXPECT_EQ(entry(0), (std::pair{0x01, 0x00}));    // NUM1
    EXPECT_EQ(entry(21), (std::pair{0x0A, 0x05}));   // PS
    EXPECT_EQ(entry(22), (std::pair{0x00, 0x00}));   // EJECT
    EXPECT_EQ(entry(23), (std::pair{0x00, 0x00}));   // also EJECT
    EXPECT_EQ(entry(47), (std::pair{0xFE, 0xC8}));   // power-off macro
    EXPECT_EQ(entry(10), (std::pair{0xFF, 0xFF}));   // no command
    EXPECT_EQ(entry(46), (std::pair{0xFF, 0xFF}));   // discrete power on has no pair
    EXPECT_EQ(entry(94), (std::pair{0x09, 0x04}));   // OK/X
    EXPECT_EQ(entry(116), (std::pair{0xFE, 0xD1}));  // custom macro 9
    EXPECT_EQ(entry(127), (std::pair{0xFF, 0xFF}));
    const auto x = defaultBlock(DeviceVariant::X);
    EXPECT_TRUE(std::equal(block.begin() + kKeyMapFirstOffset, block.begin() + kXBlockSize, x.begin() + kKeyMapFirstOffset));
}

TEST(DefaultBlocks, AlternateCodeCommandsAreTheControllerKeys) {
    const auto block = defaultBlock(DeviceVariant::Standard);
    const auto first = block.begin() + kAlternateCodeCommandsOffset;
    const std::vector<std::uint8_t> codes(first, first + kAlternateCodeCommandCount);
    for (std::uint8_t code : {0x15, 0x16, 0x50, 0x51, 0x52, 0x53, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x6B,
                              0x74})
        EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << int(code);
    EXPECT_EQ(std::find(codes.begin(), codes.end(), 0x32), codes.end()) << "PLAY is not a controller key";
}

TEST(FirmwareImages, CrcVersionAndNoErasedPages) {
    struct Case {
        DeviceVariant variant;
        std::span<const std::uint8_t> image;
        std::size_t versionAt;
        const char *version;
    };
    for (const Case &c : {Case{DeviceVariant::Standard, firmwareImageA(), 6656, "1.24"},
                          Case{DeviceVariant::X, firmwareImageB(), 1864, "2.06"}}) {
        ASSERT_EQ(c.image.size(), 7168u);
        EXPECT_EQ(pageCrc(c.image.first(7166)), storedCrc(c.image));
        EXPECT_EQ(textAt(c.image, c.versionAt), c.version);
        EXPECT_EQ(firmwareVersionText(c.variant), c.version);
        EXPECT_EQ(firmwareImage(c.variant).data(), c.image.data());
        // An embedded page that looked erased would confuse the firmware check.
        for (std::size_t page = 0; page < kFirmwarePages.size(); ++page)
            EXPECT_NE(pageCrc(c.image.subspan(page * kPageSize, kPageSize)), kErasedPageSignature) << page;
    }
    EXPECT_TRUE(firmwareVersionText(DeviceVariant::Other).empty());
    EXPECT_TRUE(firmwareImage(DeviceVariant::Other).empty());
}

TEST(FirmwareImages, AnswerTextsOfTheRunningFirmware) {
    // Image A answers the highest version the program accepts, not the
    // configuration's text that its last page carries.
    EXPECT_EQ(firmwareAnswerText(DeviceVariant::Standard), "1.19");
    EXPECT_EQ(textAt(firmwareImageA(), kStandardFirmwareTextOffset), "1.19");
    EXPECT_EQ(firmwareAnswerTextOffset(DeviceVariant::Standard), kStandardFirmwareTextOffset);
    EXPECT_LT(kStandardFirmwareTextOffset / kPageSize, kFirmwarePages.size() - 1) << "a compared page, not page 29";
    EXPECT_EQ(firmwareAnswerText(DeviceVariant::Standard),
              textAt(defaultBlock(DeviceVariant::Standard), kLayoutVersionOffset));
    EXPECT_NE(firmwareAnswerText(DeviceVariant::Standard), firmwareVersionText(DeviceVariant::Standard));

    EXPECT_EQ(firmwareAnswerText(DeviceVariant::X), "2.06");
    EXPECT_EQ(firmwareAnswerTextOffset(DeviceVariant::X), 1864u);
    EXPECT_EQ(firmwareAnswerText(DeviceVariant::X), firmwareVersionText(DeviceVariant::X));

    EXPECT_TRUE(firmwareAnswerText(DeviceVariant::Other).empty());
    EXPECT_EQ(firmwareAnswerTextOffset(DeviceVariant::Other), 0u);
}

TEST(FirmwareImages, ImageALastPageIsConfigurationPageTwo) {
    const auto image = firmwareImageA();
    const auto block = defaultBlock(DeviceVariant::Standard);
    EXPECT_TRUE(std::equal(block.begin() + kFirmwareVersionOffset, block.begin() + kImageCrcOffset,
                           image.begin() + kFirmwareLastPageOffset));
}

TEST(FirmwareImages, SealingWithTheDefaultsReproducesImageA) {
    std::array<std::uint8_t, kFirmwareImageSize> image;
    std::array<std::uint8_t, kBlockSize> readCopy;
    image.fill(0xFF);
    std::copy(firmwareImageA().begin(), firmwareImageA().begin() + kFirmwareLastPageOffset, image.begin());
    std::copy(defaultBlock(DeviceVariant::Standard).begin(), defaultBlock(DeviceVariant::Standard).end(), readCopy.begin());
    const std::uint16_t crc = sealFirmwareImage(image, readCopy);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), firmwareImageA().begin()));
    EXPECT_EQ(crc, storedCrc(firmwareImageA()));
    EXPECT_EQ(loadCrc(std::span(readCopy).subspan<kImageCrcOffset, 2>()), crc);

    readCopy[kPowerTrackingOffset] = 2;
    const std::uint16_t changed = sealFirmwareImage(image, readCopy);
    EXPECT_NE(changed, crc);
    EXPECT_EQ(image[kFirmwareLastPageOffset + kPowerTrackingOffset - kFirmwareVersionOffset], 2);
    EXPECT_EQ(pageCrc(std::span(image).first(kFirmwareCrcOffset)), changed);
    EXPECT_EQ(readCopy[kImageCrcOffset], changed >> 8);
}

TEST(ImageKey, DerivedFromTheConstantByTheRule) {
    const auto &constant = imageKeyConstant();
    const auto key = imageKey();
    for (std::size_t i = 0; i < kImageKeySize; ++i) {
        if (i == kImageKeyDecrementIndex)
            EXPECT_EQ(key[i], static_cast<std::uint8_t>(constant[i] - 1));
        else if (i == kImageKeyReplaceIndex)
            EXPECT_EQ(key[i], imageKeyReplacementByte());
        else
            EXPECT_EQ(key[i], constant[i]) << i;
    }
}

TEST(ModuleImages, LoaderTextIsPrintableHexLines) {
    CRijndael cipher;
    const std::vector<std::uint8_t> plain = decipherLoaderText(cipher);
    ASSERT_EQ(plain.size(), kLoaderTextSize);
    EXPECT_EQ(plain[kLoaderTextEnd], kImageEndMark);
    for (std::size_t i = 0; i < kLoaderTextEnd; ++i)
        ASSERT_TRUE(std::isprint(plain[i]) || plain[i] == '\r' || plain[i] == '\n') << "offset " << i;
    EXPECT_EQ(plain[kLoaderTextEnd - 1], '\n');
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\r'), 0) << "one terminator per line";
    EXPECT_NE(plain.front(), encipheredLoaderText().front()) << "stored enciphered";

    // One record per line, no empty lines: the module acknowledges records,
    // and an empty line would be waited for in vain. 120 lines bring the
    // upload's progress to 48 and an installation's to 99.
    const std::vector<std::string> lines = loaderLines(plain);
    EXPECT_EQ(lines.size(), 120u);
    std::size_t total = 0;
    for (const std::string &line : lines) {
        total += line.size() + 1;
        ASSERT_GE(line.size(), 11u);
        ASSERT_EQ(line[0], ':');
        const unsigned length = hexByte(line, 1);
        ASSERT_EQ(line.size(), 11 + 2 * length) << line;
        unsigned sum = 0;
        for (std::size_t at = 1; at < line.size(); at += 2) sum += hexByte(line, at);
        EXPECT_EQ(sum % 256, 0u) << line;
    }
    EXPECT_EQ(total, kLoaderTextEnd);
    EXPECT_EQ(lines.back(), ":00000001FF");
}

TEST(ModuleImages, ModuleImageHeaderAndLayout) {
    CRijndael cipher;
    const std::vector<std::uint8_t> image = decipherModuleImage(cipher);
    ASSERT_EQ(image.size(), kModuleImageSize);
    constexpr std::size_t kHeader = 30, kAddressAt = 14, kAddressSize = 6, kData = 128, kSentEnd = 7778;
    unsigned sum = 0;
    for (std::size_t i = 0; i < kHeader; ++i) sum += image[i];
    EXPECT_EQ(sum % 256, 0u) << "the header's last byte balances its sum";
    EXPECT_TRUE(std::all_of(image.begin() + kAddressAt, image.begin() + kAddressAt + kAddressSize,
                            [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(image.begin() + kHeader, image.begin() + kData, [](auto b) { return b == 0xFF; }));
    EXPECT_GT(std::count_if(image.begin() + kData, image.begin() + kData + kPageSize, [](auto b) { return b != 0xFF; }),
              400);
    EXPECT_EQ(image[kModuleImageStoredSize], kImageEndMark);
    EXPECT_TRUE(std::all_of(image.begin() + kModuleImageStoredSize + 1, image.begin() + kSentEnd,
                            [](auto b) { return b == 0; }));
}

TEST(ModuleImages, DecipheringRekeysTheCipherEachTime) {
    CRijndael cipher;
    const std::array<std::uint8_t, 32> otherKey{};
    cipher.setKey(otherKey.data(), nullptr, 32, 16);
    const auto first = decipherModuleImage(cipher);
    cipher.setKey(otherKey.data(), nullptr, 16, 16);
    EXPECT_EQ(decipherModuleImage(cipher), first);
    EXPECT_EQ(cipher.blockLength(), static_cast<int>(kImageCipherBlockSize));
}

}  // namespace
}  // namespace zelo::device
