// cFlashUpgrade against a simulated accessory.
#include <array>

#include "lib_fixture.h"
#include "module_image.h"

namespace zelo::test {
namespace {

using Page = std::array<std::uint8_t, sim::kPageSize>;

Page imagePage(int index) {
    Page page{};
    std::copy_n(moduleImage().begin() + index * kFlashPageSize, kFlashPageSize, page.begin());
    return page;
}

class FlashUpgrade : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        handle_ = plugAndOpen();
        device_ = cFlashUpgrade::Designate(handle_);
        ASSERT_NE(nullptr, device_);
    }

    void installImage() {
        for (int i = 0; i < kModulePageCount; ++i) {
            accessory_->setPage(cFlashUpgrade::StartPage + i, imagePage(i));
        }
    }

    std::vector<std::uint8_t> commandCodes() const {
        std::vector<std::uint8_t> codes;
        for (const auto &command : commands()) {
            codes.push_back(command.at(0));
        }
        return codes;
    }

    ZELO_HANDLE handle_ = nullptr;
    char *device_ = nullptr;
    cFlashUpgrade upgrade_;
};

TEST_F(FlashUpgrade, CurrentPagesCostThreeCrcQueries) {
    installImage();
    EXPECT_EQ(0, upgrade_.Upgrade(device_));
    EXPECT_EQ((std::vector<std::uint8_t>{0x57, 0x57, 0x57}), commandCodes());
    const std::vector<std::vector<std::uint8_t>> expected{{0x57, 20}, {0x57, 21}, {0x57, 22}};
    EXPECT_EQ(expected, commands());
    EXPECT_EQ(0, upgrade_.CheckFirmwareCRC(device_));
}

TEST_F(FlashUpgrade, OnlyDifferingPagesAreWritten) {
    installImage();
    Page changed = imagePage(1);
    changed[100] ^= 0x01;
    accessory_->setPage(21, changed);
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(device_));

    accessory_->clearLog();
    EXPECT_EQ(0, upgrade_.Upgrade(device_));
    EXPECT_EQ((std::vector<std::uint8_t>{0x57, 0x57, 0x58, 0x57}), commandCodes());
    const auto write = commands()[2];
    ASSERT_EQ(1u + 1u + kFlashPageSize, write.size());
    EXPECT_EQ(21, write[1]);
    const Page expected = imagePage(1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), write.begin() + 2));
    EXPECT_EQ(expected, accessory_->page(21));
    EXPECT_EQ(0, upgrade_.CheckFirmwareCRC(device_));
}

TEST_F(FlashUpgrade, ErasedPagesAreAllWritten) {
    EXPECT_EQ(0, upgrade_.Upgrade(device_));
    EXPECT_EQ((std::vector<std::uint8_t>{0x57, 0x58, 0x57, 0x58, 0x57, 0x58}), commandCodes());
    for (int i = 0; i < kModulePageCount; ++i) {
        EXPECT_EQ(imagePage(i), accessory_->page(cFlashUpgrade::StartPage + i));
    }
    // Nine reports of a 514-byte message: eight of 62 data bytes, one of 18.
    int writeReports = 0;
    for (const auto &report : outputReports()) {
        writeReports += report[1] == 62 || report[1] == 18 ? 1 : 0;
    }
    EXPECT_EQ(3 * 9, writeReports);
}

TEST_F(FlashUpgrade, CheckStopsAtTheFirstDifference) {
    installImage();
    Page changed = imagePage(0);
    changed[0] = '2';
    accessory_->setPage(20, changed);
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(device_));
    EXPECT_EQ((std::vector<std::vector<std::uint8_t>>{{0x57, 20}}), commands());
}

TEST_F(FlashUpgrade, MissingAnswersAreFailures) {
    installImage();
    accessory_->injectFault({sim::Fault::DropAnswer, 0x57});
    EXPECT_EQ(-1, upgrade_.Upgrade(device_));
    EXPECT_EQ(0, ZELO_BytesInFifo(handle_));

    accessory_->injectFault({sim::Fault::DropAnswer, 0x57});
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(device_)) << "a missing CRC counts as 0";

    accessory_->setPage(22, Page{});
    accessory_->injectFault({sim::Fault::DropAnswer, 0x58});
    EXPECT_EQ(-2, upgrade_.Upgrade(device_));
}

TEST_F(FlashUpgrade, RefusesDesignationsThatAreNotOpenDevices) {
    char notADevice[64] = {};
    EXPECT_EQ(-1, upgrade_.Upgrade(notADevice));
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(notADevice));
    EXPECT_EQ(-1, upgrade_.Upgrade(nullptr));
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(nullptr));

    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(handle_));
    EXPECT_EQ(-1, upgrade_.Upgrade(device_));
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(device_));
    EXPECT_EQ(nullptr, cFlashUpgrade::Designate(handle_));

    // Kept past the close, the designation reaches no later device.
    ZELO_HANDLE again = open();
    ASSERT_NE(nullptr, again);
    accessory_->clearLog();
    EXPECT_NE(device_, cFlashUpgrade::Designate(again));
    EXPECT_EQ(-1, upgrade_.Upgrade(device_));
    EXPECT_EQ(1, upgrade_.CheckFirmwareCRC(device_));
    EXPECT_TRUE(commands().empty());

    cFlashUpgrade copy;
    EXPECT_EQ(&copy, &(copy = upgrade_));
}

}  // namespace
}  // namespace zelo::test
