// The configuration block's memory map, macro record and page numbers,
// each pinned row by row against a listing written out here.
#include "config_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zelo::device {
namespace {

struct ListedField {
    Field field;
    std::size_t offset;
    std::size_t width;
};

constexpr ListedField kListing[] = {
    {Field::LayoutVersion, 0, 4},          {Field::DiscretePowerOn, 4, 1},
    {Field::Reserved5, 5, 1},              {Field::PairingMode, 6, 1},
    {Field::PowerTrackingX, 7, 1},         {Field::ProtectedSettings, 8, 11},
    {Field::StatusLedOff, 19, 1},          {Field::IrReceiverMode, 20, 1},
    {Field::LowBatteryFlash, 21, 1},       {Field::AccessoryValues, 22, 46},
    {Field::DeviceCode, 68, 2},            {Field::AlternateCodes, 70, 18},
    {Field::Macros, 88, 610},              {Field::ProtectedValues, 698, 52},
    {Field::DeviceValue, 750, 4},          {Field::Unused754, 754, 4},
    {Field::TimeStamp, 758, 4},            {Field::DeviceAddress, 762, 6},
    {Field::KeyMapFirst, 768, 128},        {Field::KeyMapSecond, 896, 128},
    {Field::FirmwareVersion, 1024, 4},     {Field::PowerTracking, 1028, 1},
    {Field::DeviceCodeCopy, 1029, 2},      {Field::AlternateCodeCopies, 1031, 4},
    {Field::ReservedTail, 1035, 499},      {Field::ImageCrc, 1534, 2},
};

TEST(MemoryMapRows, EveryFieldMatchesTheListing) {
    ASSERT_EQ(kMemoryMap.size(), std::size(kListing));
    for (const ListedField &row : kListing) {
        SCOPED_TRACE(fieldInfo(row.field).meaning);
        EXPECT_EQ(offsetOf(row.field), row.offset);
        EXPECT_EQ(widthOf(row.field), row.width);
    }
}

TEST(MemoryMapRows, MacroRecordAndPageNumbers) {
    // Step count, first bytes, second bytes, hold times, pauses.
    const std::vector<std::size_t> macroLayout{0, 1, 11, 21, 41};
    EXPECT_EQ((std::vector<std::size_t>{kMacroStepCountAt, kMacroFirstsAt, kMacroSecondsAt, kMacroHoldsAt,
                                        kMacroPausesAt}),
              macroLayout);
    EXPECT_EQ(kMacroRecordSize, 61u);
    EXPECT_EQ((std::vector<int>(kConfigurationPages.begin(), kConfigurationPages.end())),
              (std::vector<int>{14, 15, 29}));
    EXPECT_EQ((std::vector<int>(kFirmwarePages.begin(), kFirmwarePages.end())),
              (std::vector<int>{16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
}

}  // namespace
}  // namespace zelo::device
