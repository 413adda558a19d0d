// A configuration change from connect to read-back, without windows: the
// connect sequence's device steps, edits in the working copy, the save, and
// a fresh link that reads the accessory again.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "images.h"
#include "page_crc.h"
#include "sim_fixture.h"

namespace zelo::device::test {
namespace {

constexpr std::int64_t kNow = 1700000000;  // outside the stamp window, so connect stamps it
constexpr std::size_t kEditedMacro = 3;
constexpr std::size_t kEditedKey = 0x2A;
constexpr std::uint8_t kKeyFirst = 0x11;
constexpr std::uint8_t kKeySecond = 0x22;

PageBytes pageOf(std::span<const std::uint8_t> bytes, std::size_t index) {
    PageBytes page{};
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(index * kPageSize), kPageSize, page.begin());
    return page;
}

MacroRecord sampleMacro() {
    MacroRecord macro;
    macro.stepCount = 2;
    macro.first[0] = 0x01;
    macro.second[0] = 0x02;
    macro.first[1] = 0x03;
    macro.second[1] = 0x04;
    macro.holdMs[0] = 2500;
    macro.pauseMs[1] = 300;
    return macro;
}

class EndToEnd : public SimulatedAccessoryTest {
protected:
    // An accessory as it leaves the factory: its model's firmware in pages
    // 16 to 29 and the default configuration in its configuration pages.
    void plugFactoryAccessory(const std::string &model) {
        sim::AccessoryConfig config;
        config.model = model;
        accessory_ = world().plug(config);
        const DeviceVariant variant = model == "x" ? DeviceVariant::X : DeviceVariant::Standard;
        const auto image = firmwareImage(variant);
        for (std::size_t i = 0; i < kFirmwarePages.size(); ++i) accessory_->setPage(kFirmwarePages[i], pageOf(image, i));
        const auto defaults = defaultBlock(variant);
        for (std::size_t i = 0; i < defaults.size() / kPageSize; ++i) {
            accessory_->setPage(kConfigurationPages[i], pageOf(defaults, i));
        }
    }

    // The device steps of the connect sequence.
    std::unique_ptr<CDeviceLink> connectLink() {
        auto link = std::make_unique<CDeviceLink>();
        NoProgress progress;
        EXPECT_EQ(ZELO_OK, link->open(0));
        EXPECT_EQ(ZELO_OK, readVersions(*link));
        link->selectDefaults();
        if (link->variant() == DeviceVariant::Standard) {
            // What the firmware check leaves behind for an accessory whose
            // firmware is the built-in image.
            const auto imageA = firmwareImageA();
            std::copy(imageA.begin(), imageA.end(), link->firmwareImage.begin());
            link->firmwarePagesValid = true;
        }
        EXPECT_EQ(ZELO_OK, readConfiguration(*link, progress));
        link->record.setClock([] { return kNow; });
        link->record.stampTime();
        link->record.acceptRead();
        return link;
    }

    static void editAndCommit(CDeviceLink &link) {
        ConfigRecord &record = link.record;
        record.writeMacro(kEditedMacro, sampleMacro());
        const auto code = encodeDeviceCode(26, 73);
        ASSERT_TRUE(code.has_value());
        std::copy(code->begin(), code->end(), record.workingCopy().begin() + kDeviceCodeOffset);
        record.writeKey(kEditedKey, kKeyFirst, kKeySecond);
        ASSERT_TRUE(record.hasUnsavedChanges());
        record.commitEdits();
    }

    static void expectEditsIn(const ConfigRecord &record) {
        EXPECT_EQ(sampleMacro(), record.readMacro(kEditedMacro));
        EXPECT_EQ((DeviceCode{26, 73}), decodeDeviceCode(record.readCopy()[kDeviceCodeOffset],
                                                         record.readCopy()[kDeviceCodeOffset + 1]));
        EXPECT_EQ(kKeyFirst, record.readCopy()[kKeyMapFirstOffset + kEditedKey]);
        EXPECT_EQ(kKeySecond, record.readCopy()[kKeyMapSecondOffset + kEditedKey]);
        EXPECT_EQ(static_cast<std::uint32_t>(kNow), loadLittleEndian32(record.readCopy(), kTimeStampOffset));
    }
};

TEST_F(EndToEnd, StandardModelSaveReadsBackAndSealsTheFirmwareImage) {
    plugFactoryAccessory("standard");
    auto link = connectLink();
    EXPECT_EQ(DeviceVariant::Standard, link->variant());
    editAndCommit(*link);

    RecordingProgress progress;
    ASSERT_EQ(ZELO_OK, writeConfiguration(*link, progress));
    link->record.confirmCommit();
    EXPECT_EQ(100, progress.reports.back());

    // The sealed CRC is in the block, in the program's image and in flash.
    const std::uint16_t sealed = pageCrc(std::span<const std::uint8_t>(link->firmwareImage).first(kFirmwareCrcOffset));
    const auto &block = link->record.readCopy();
    EXPECT_EQ(sealed, loadCrc(std::span<const std::uint8_t>(block).subspan<kImageCrcOffset, 2>()));
    EXPECT_EQ(sealed, loadCrc(std::span<const std::uint8_t>(link->firmwareImage).subspan<kFirmwareCrcOffset, 2>()));
    std::vector<std::uint8_t> flash;
    for (std::uint8_t page : kFirmwarePages) {
        const PageBytes bytes = accessory_->page(page);
        flash.insert(flash.end(), bytes.begin(), bytes.end());
    }
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), link->firmwareImage.begin()));
    EXPECT_EQ(sealed, pageCrc(std::span<const std::uint8_t>(flash).first(kFirmwareCrcOffset)))
        << "the accessory's firmware pages pass the whole-image check";

    const ConfigRecord::Block written = block;
    link->close();
    auto fresh = connectLink();
    EXPECT_EQ(written, fresh->record.readCopy());
    EXPECT_FALSE(fresh->record.hasUnsavedChanges());
    expectEditsIn(fresh->record);
}

TEST_F(EndToEnd, XModelSaveReadsBackAndLeavesItsFirmwareAlone) {
    plugFactoryAccessory("x");
    const PageBytes lastFirmwarePage = accessory_->page(kFirmwarePages.back());
    auto link = connectLink();
    EXPECT_EQ(DeviceVariant::X, link->variant());
    editAndCommit(*link);

    NoProgress progress;
    ASSERT_EQ(ZELO_OK, writeConfiguration(*link, progress));
    link->record.confirmCommit();
    EXPECT_EQ(lastFirmwarePage, accessory_->page(kFirmwarePages.back()));

    const ConfigRecord::Block written = link->record.readCopy();
    link->close();
    auto fresh = connectLink();
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + kXBlockSize, fresh->record.readCopy().begin()));
    expectEditsIn(fresh->record);
}

TEST_F(EndToEnd, FailedSaveLeavesTheEditsUnsaved) {
    plugFactoryAccessory("standard");
    auto link = connectLink();
    editAndCommit(*link);
    EXPECT_FALSE(link->record.hasUnsavedChanges());

    world().unplug(accessory_);
    RecordingProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(*link, progress));
    EXPECT_EQ(100, progress.reports.back());
    EXPECT_TRUE(link->record.revertCommit());
    EXPECT_TRUE(link->record.hasUnsavedChanges()) << "the user must still be asked to save";
}

}  // namespace
}  // namespace zelo::device::test
