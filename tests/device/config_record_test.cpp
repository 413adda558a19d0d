#include "config_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace zelo::device {
namespace {

constexpr std::uint8_t kReadFill = 0xAA;

// A defaults block whose every byte differs from kReadFill and from its
// neighbours, so a wrong offset shows.
std::vector<std::uint8_t> patternDefaults(std::size_t size) {
    std::vector<std::uint8_t> block(size);
    for (std::size_t i = 0; i < size; ++i) block[i] = static_cast<std::uint8_t>((i * 7 + 1) % 0xA9);
    return block;
}

bool isProtected(std::size_t offset) {
    return std::any_of(kProtectedRanges.begin(), kProtectedRanges.end(),
                       [&](const ByteRange &r) { return offset >= r.start && offset < r.end; });
}

class RecordTest : public ::testing::Test {
protected:
    void connectAs(DeviceVariant variant, std::size_t defaultsSize) {
        defaults = patternDefaults(defaultsSize);
        record.connect(variant, defaults);
        record.readCopy().fill(kReadFill);
        record.acceptRead();
    }

    std::vector<std::uint8_t> defaults;
    ConfigRecord record;
};

TEST(MemoryMap, FieldsSitAtTheirOffsets) {
    EXPECT_EQ(kDeviceCodeOffset, 68u);
    EXPECT_EQ(kMacrosOffset, 88u);
    EXPECT_EQ(kProtectedValuesOffset, 698u);
    EXPECT_EQ(kDeviceValueOffset, 750u);
    EXPECT_EQ(kTimeStampOffset, 758u);
    EXPECT_EQ(kDeviceAddressOffset, 762u);
    EXPECT_EQ(kKeyMapFirstOffset, 768u);
    EXPECT_EQ(kKeyMapSecondOffset, 896u);
    EXPECT_EQ(kFirmwareVersionOffset, 1024u);
    EXPECT_EQ(kPowerTrackingOffset, 1028u);
    EXPECT_EQ(kDeviceCodeCopyOffset, 1029u);
    EXPECT_EQ(kAlternateCodeCopiesOffset, 1031u);
    EXPECT_EQ(kReservedTailOffset, 1035u);
    EXPECT_EQ(kImageCrcOffset, 1534u);
    const std::vector<std::pair<int, int>> ranges{{8, 19}, {22, 68}, {70, 88}, {698, 750},
                                                  {768, 768}, {1024, 1028}, {1035, 1534}};
    ASSERT_EQ(kProtectedRanges.size(), ranges.size());
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        EXPECT_EQ(kProtectedRanges[i].start, ranges[i].first);
        EXPECT_EQ(kProtectedRanges[i].end, ranges[i].second);
    }
    EXPECT_EQ(blockLength(DeviceVariant::X), 1024u);
    EXPECT_EQ(blockLength(DeviceVariant::Standard), 1536u);
}

TEST(DeviceCodes, EncodeAndDecode) {
    struct Case {
        unsigned d, e;
        std::uint8_t low, high;
    };
    for (const Case &c : {Case{26, 73, 0x3A, 0x09}, Case{26, 218, 0x5A, 0x1B}, Case{31, 255, 0xFF, 0x1F},
                          Case{0, 0, 0x00, 0x00}}) {
        const auto bytes = encodeDeviceCode(c.d, c.e);
        ASSERT_TRUE(bytes);
        EXPECT_EQ((*bytes)[0], c.low) << c.d << "." << c.e;
        EXPECT_EQ((*bytes)[1], c.high) << c.d << "." << c.e;
        EXPECT_EQ(decodeDeviceCode(c.low, c.high), (DeviceCode{static_cast<std::uint8_t>(c.d), static_cast<std::uint8_t>(c.e)}));
    }
    for (unsigned d = 0; d <= kDeviceCodeMaxDevice; ++d)
        for (unsigned e = 0; e <= kDeviceCodeMaxExtension; ++e) {
            const auto bytes = *encodeDeviceCode(d, e);
            const DeviceCode back = decodeDeviceCode(bytes[0], bytes[1]);
            ASSERT_EQ(back.device, d);
            ASSERT_EQ(back.extension, e);
        }
    EXPECT_FALSE(encodeDeviceCode(32, 0));
    EXPECT_FALSE(encodeDeviceCode(0, 256));
}

TEST_F(RecordTest, RestoreProtectedCopiesExactlyTheProtectedBytes) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    record.restoreProtected();
    for (std::size_t i = 0; i < kBlockSize; ++i)
        ASSERT_EQ(record.readCopy()[i], isProtected(i) ? defaults[i] : kReadFill) << "offset " << i;
    EXPECT_EQ(record.workingCopy()[kProtectedSettingsOffset], kReadFill);
}

TEST_F(RecordTest, RestoreProtectedOnTheXModelStopsAt1024) {
    // Even a full-size defaults block must not reach the third page.
    connectAs(DeviceVariant::X, kBlockSize);
    record.restoreProtected();
    for (std::size_t i = 0; i < kBlockSize; ++i)
        ASSERT_EQ(record.readCopy()[i], isProtected(i) && i < kXBlockSize ? defaults[i] : kReadFill) << i;
}

TEST_F(RecordTest, WithoutDefaultsNothingIsRestored) {
    connectAs(DeviceVariant::Other, 0);
    record.restoreProtected();
    record.restoreDefaults();
    EXPECT_TRUE(std::all_of(record.readCopy().begin(), record.readCopy().end(), [](auto b) { return b == kReadFill; }));
    EXPECT_FALSE(record.revertCommit());
}

TEST_F(RecordTest, RestoreDefaultsKeepsTheAccessorysIdentity) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    record.restoreDefaults();
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        const bool kept = i < 4 || (i >= kDeviceValueOffset && i < kKeyMapFirstOffset);
        ASSERT_EQ(record.readCopy()[i], kept ? kReadFill : defaults[i]) << "offset " << i;
    }
}

TEST_F(RecordTest, RestoreDefaultsOnTheXModelCopiesTwoPages) {
    connectAs(DeviceVariant::X, kXBlockSize);
    record.restoreDefaults();
    EXPECT_EQ(record.readCopy()[4], defaults[4]);
    EXPECT_EQ(record.readCopy()[kXBlockSize - 1], defaults[kXBlockSize - 1]);
    EXPECT_EQ(record.readCopy()[kTimeStampOffset], kReadFill);
    for (std::size_t i = kXBlockSize; i < kBlockSize; ++i) ASSERT_EQ(record.readCopy()[i], kReadFill) << i;
}

TEST_F(RecordTest, StampReplacesOnlyImplausibleTimes) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    constexpr std::int64_t kNow = 1780000000;  // 2026-05-28
    constexpr std::uint32_t kNowStamp = static_cast<std::uint32_t>(kNow);
    constexpr std::uint32_t kDay = 24 * 60 * 60;
    record.setClock([] { return kNow; });
    struct Case {
        std::uint32_t stamp;
        bool replaced;
    };
    // Erased flash and stamps in the future are replaced; every time from
    // the lower bound up to now (with a day's slack) is the accessory's.
    for (const Case &c : {Case{0, true}, Case{0xFFFFFFFF, true}, Case{kStampLowerBound, true},
                          Case{kStampLowerBound + 1, false}, Case{1514818447, false} /* 2018-01-01 */,
                          Case{1590000000, false} /* 2020 */, Case{kNowStamp + kDay, false},
                          Case{kNowStamp + kDay + 1, true}, Case{1900000000, true} /* 2030 */}) {
        storeLittleEndian32(record.readCopy(), kTimeStampOffset, c.stamp);
        EXPECT_EQ(record.stampTime(), c.replaced) << c.stamp;
        EXPECT_EQ(loadLittleEndian32(record.readCopy(), kTimeStampOffset), c.replaced ? kNow : c.stamp) << c.stamp;
    }
    EXPECT_EQ(record.readCopy()[kTimeStampOffset - 1], kReadFill);
    EXPECT_EQ(record.readCopy()[kTimeStampOffset + 4], kReadFill);
    EXPECT_EQ(record.workingCopy()[kTimeStampOffset], kReadFill);
}

TEST_F(RecordTest, UnsavedChangesFollowTheVariantsLength) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    EXPECT_FALSE(record.hasUnsavedChanges());
    record.workingCopy()[kImageCrcOffset] ^= 1;
    record.workingCopy()[kImageCrcOffset + 1] ^= 1;
    EXPECT_FALSE(record.hasUnsavedChanges());
    record.workingCopy()[kImageCrcOffset - 1] ^= 1;
    EXPECT_TRUE(record.hasUnsavedChanges());

    connectAs(DeviceVariant::X, kXBlockSize);
    record.workingCopy()[kXBlockSize] ^= 1;
    EXPECT_FALSE(record.hasUnsavedChanges());
    record.workingCopy()[kXBlockSize - 1] ^= 1;
    EXPECT_TRUE(record.hasUnsavedChanges());

    record.disconnect();
    EXPECT_FALSE(record.hasUnsavedChanges());
    connectAs(DeviceVariant::Other, 0);
    record.workingCopy()[0] ^= 1;
    EXPECT_FALSE(record.hasUnsavedChanges());
}

// The accessory's protected bytes (kReadFill) differ from the defaults that
// the write puts there; a good save must still leave nothing unsaved, and
// an edit made while the save ran stays an edit.
TEST_F(RecordTest, AGoodSaveLeavesNothingUnsavedWhateverTheProtectedBytesWere) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    record.workingCopy()[kDeviceCodeOffset] = 0x5A;
    record.commitEdits();
    record.restoreProtected();  // what the write does to the read copy
    record.workingCopy()[kMacrosOffset] = 0x33;
    record.confirmCommit();
    EXPECT_EQ(record.workingCopy()[kProtectedSettingsOffset], defaults[kProtectedSettingsOffset]);
    EXPECT_EQ(record.workingCopy()[kMacrosOffset], 0x33);
    EXPECT_TRUE(record.hasUnsavedChanges()) << "the edit made during the save";
    record.workingCopy()[kMacrosOffset] = record.readCopy()[kMacrosOffset];
    EXPECT_FALSE(record.hasUnsavedChanges());

    record.restoreDefaults();
    record.acceptRead();
    record.readCopy()[kProtectedValuesOffset] ^= 0xFF;  // the write's own change again
    record.confirmCommit();
    EXPECT_FALSE(record.hasUnsavedChanges()) << "after Restore default settings too";
}

TEST_F(RecordTest, AFailedSaveLeavesTheChangesUnsaved) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    record.workingCopy()[kDeviceCodeOffset] = 0x5A;
    record.commitEdits();
    EXPECT_FALSE(record.hasUnsavedChanges());
    record.restoreProtected();  // what the write does to the read copy
    EXPECT_TRUE(record.revertCommit());
    EXPECT_TRUE(record.hasUnsavedChanges());
    EXPECT_EQ(record.readCopy()[kDeviceCodeOffset], kReadFill);
    EXPECT_EQ(record.readCopy()[kProtectedSettingsOffset], kReadFill);
    EXPECT_FALSE(record.revertCommit()) << "one commit reverts once";

    record.commitEdits();
    record.confirmCommit();
    EXPECT_FALSE(record.revertCommit());
    EXPECT_FALSE(record.hasUnsavedChanges());
}

TEST_F(RecordTest, AFailedRestoreOfDefaultsCanBeReverted) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    record.restoreDefaults();
    record.acceptRead();  // the pages reload while the write runs
    EXPECT_FALSE(record.hasUnsavedChanges());
    EXPECT_TRUE(record.revertCommit());
    EXPECT_EQ(record.readCopy()[4], kReadFill);
    EXPECT_TRUE(record.hasUnsavedChanges()) << "the defaults are shown but not on the accessory";

    record.restoreDefaults();
    record.beginRead();  // a new read supersedes what was kept
    EXPECT_FALSE(record.revertCommit());
}

TEST_F(RecordTest, ReadValidityIsClearedUntilAReadCompletes) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    EXPECT_FALSE(record.readValid());
    record.beginRead();
    record.finishRead(true);
    EXPECT_TRUE(record.readValid());
    record.beginRead();
    EXPECT_FALSE(record.readValid());
    record.finishRead(false);
    EXPECT_FALSE(record.readValid());
    record.finishRead(true);
    record.disconnect();
    EXPECT_FALSE(record.readValid());
}

TEST_F(RecordTest, MacrosAreBigEndianInTheBlock) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    MacroRecord macro;
    macro.stepCount = 2;
    macro.first = {0x0A, 0x10};
    macro.second = {0x05, 0x03};
    macro.holdMs = {2500, 3750};
    macro.pauseMs = {450, 450};
    record.writeMacro(0, macro);
    const auto &w = record.workingCopy();
    EXPECT_EQ(w[kMacrosOffset + 21], 0x09);
    EXPECT_EQ(w[kMacrosOffset + 22], 0xC4);
    EXPECT_EQ(w[kMacrosOffset + 23], 0x0E);
    EXPECT_EQ(w[kMacrosOffset + 24], 0xA6);
    EXPECT_EQ(w[kMacrosOffset + 41], 0x01);
    EXPECT_EQ(w[kMacrosOffset + 42], 0xC2);
    EXPECT_EQ(w[kMacrosOffset + 30], 0x00) << "unused steps are zero";

    // The macro page reads what was last read or saved.
    EXPECT_NE(record.readMacro(0), macro);
    record.commitEdits();
    EXPECT_EQ(record.readMacro(0), macro);
}

TEST_F(RecordTest, TheLastMacroEndsBeforeTheProtectedValues) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    MacroRecord macro;
    macro.stepCount = kMacroSteps;
    macro.pauseMs.fill(0xFFFF);
    record.writeMacro(kMacroCount - 1, macro);
    EXPECT_EQ(record.workingCopy()[kProtectedValuesOffset - 1], 0xFF);
    EXPECT_EQ(record.workingCopy()[kProtectedValuesOffset], kReadFill);
    EXPECT_THROW(record.writeMacro(kMacroCount, macro), std::out_of_range);
    EXPECT_THROW(record.readMacro(kMacroCount), std::out_of_range);
    macro.stepCount = kMacroSteps + 1;
    EXPECT_THROW(record.writeMacro(0, macro), std::invalid_argument);
    EXPECT_EQ(record.workingCopy()[kMacrosOffset], kReadFill) << "a rejected macro writes nothing";
}

TEST_F(RecordTest, KeyMapEntriesSplitOverTwoTables) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    record.writeKey(127, 0xFE, 0xC8);
    EXPECT_EQ(record.workingCopy()[kKeyMapFirstOffset + 127], 0xFE);
    EXPECT_EQ(record.workingCopy()[kKeyMapSecondOffset + 127], 0xC8);
    EXPECT_EQ(record.readKey(127), (KeyMapEntry{0xFE, 0xC8}));
    EXPECT_EQ(record.readKey(0), (KeyMapEntry{kReadFill, kReadFill}));
    EXPECT_THROW(record.writeKey(kKeyMapEntries, 0, 0), std::out_of_range);
    EXPECT_EQ(record.workingCopy()[kFirmwareVersionOffset], kReadFill);
}

TEST_F(RecordTest, UpdateCheckDataComesFromTheReadCopy) {
    connectAs(DeviceVariant::Standard, kBlockSize);
    auto &r = record.readCopy();
    storeLittleEndian32(r, kDeviceValueOffset, 0x12345678);
    storeLittleEndian32(r, kTimeStampOffset, 1300000000);
    const std::array<std::uint8_t, 6> address{0x00, 0x1B, 0xDC, 0x0F, 0xA0, 0x5E};
    std::copy(address.begin(), address.end(), r.begin() + kDeviceAddressOffset);
    EXPECT_EQ(r[kDeviceValueOffset], 0x78);
    const UpdateCheckData data = record.updateCheckData("1.24", "1.00");
    EXPECT_EQ(data.deviceValue, 0x12345678u);
    EXPECT_EQ(data.timeStamp, 1300000000u);
    EXPECT_EQ(data.address, "001BDC0FA05E");
    EXPECT_EQ(data.addressLong, "001BDC0FA05E0000");
    EXPECT_EQ(data.firmwareVersion, "1.24");
    EXPECT_EQ(data.ldVersion, "1.00");
}

}  // namespace
}  // namespace zelo::device
