// A save that an unplug cut short, as the program meets it at the next
// connect: the question through the real message box, Yes and No.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "app_state.h"
#include "catalogue.h"
#include "config_record.h"
#include "connection_helpers.h"
#include "pending_save.h"
#include "resource.h"

namespace zelo::gui_test {
namespace {

// One edited byte per configuration page, outside the protected ranges
// (1028: power tracking, in the page the standard model shares with its firmware).
constexpr std::array<std::size_t, 3> kEditedOffsets{100, 612, 1028};
constexpr std::uint8_t kEdited = 0x3C;

device::ConfigRecord::Block accessoryBlock(const sim::Accessory &accessory) {
    device::ConfigRecord::Block block{};
    for (std::size_t i = 0; i < device::kConfigurationPages.size(); ++i) {
        const auto page = accessory.page(device::kConfigurationPages[i]);
        std::copy(page.begin(), page.end(), block.begin() + static_cast<std::ptrdiff_t>(i * device::kPageSize));
    }
    return block;
}

class UnfinishedSaveAtConnect : public testing::Test {
protected:
    // The accessory plugged with the first page of a write it never
    // completed, and that write's record, before the program starts and
    // connects it.
    void SetUp() override {
        accessory_ = world_.plug("standard");
        own_ = accessoryBlock(*accessory_);
        save_.variant = device::DeviceVariant::Standard;
        save_.before = own_;
        save_.block = own_;
        for (std::size_t offset : kEditedOffsets) save_.block[offset] = kEdited;
        save_.key = device::accessoryKeyOf(save_.block);
        std::string error;
        ASSERT_TRUE(app::pendingSaveStore().write(save_, error)) << error;
        std::array<std::uint8_t, device::kPageSize> firstPage{};
        std::copy_n(save_.block.begin(), device::kPageSize, firstPage.begin());
        accessory_->setPage(device::kConfigurationPages[0], firstPage);
    }

    bool recordGone() const {
        return !std::filesystem::exists(app::pendingSaveStore().fileOf(save_.key));
    }

    // The question, once the connect has loaded the pages.
    HWND question(const ProgramRun &program) const {
        return waitForMessageBox(program.mainWindow(), kInformationCaption, i18n::text(i18n::Msg::UnfinishedSave));
    }

    SimulatedWorld world_;
    std::shared_ptr<sim::Accessory> accessory_;
    device::ConfigRecord::Block own_{};
    device::PendingSave save_;
};

TEST_F(UnfinishedSaveAtConnect, YesWritesTheRecordedSettings) {
    ProgramRun program;
    HWND box = question(program);
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(answerMessageBox(box, IDYES));

    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program) && recordGone(); }));
    const device::ConfigRecord::Block now = accessoryBlock(*accessory_);
    for (std::size_t offset : kEditedOffsets) EXPECT_EQ(kEdited, now[offset]) << "offset " << offset;
    EXPECT_EQ(std::vector<int>({14, 15, 29}), pagesWritten(*accessory_));
    EXPECT_FALSE(messageBoxOpen(program.mainWindow(), kErrorCaption));
}

// No used to keep the accessory as it was, part new and part old.
TEST_F(UnfinishedSaveAtConnect, NoWritesBackTheSettingsFromBeforeTheSave) {
    ProgramRun program;
    HWND box = question(program);
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(answerMessageBox(box, IDNO));

    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program) && recordGone(); }));
    EXPECT_EQ(own_, accessoryBlock(*accessory_)) << "not the old settings as a whole";
    EXPECT_EQ(std::vector<int>({14, 15, 29}), pagesWritten(*accessory_));
    EXPECT_FALSE(messageBoxOpen(program.mainWindow(), kErrorCaption));
}

// Saved elsewhere since: the record is out of date and must not be written.
TEST_F(UnfinishedSaveAtConnect, AStaleRecordIsReportedAndTheAccessoryKept) {
    // The first two pages: the third also carries the firmware's seal.
    for (std::size_t i = 0; i < 2; ++i) {
        auto page = accessory_->page(device::kConfigurationPages[i]);
        page[kEditedOffsets[i] % device::kPageSize] = kEdited + 1;
        accessory_->setPage(device::kConfigurationPages[i], page);
    }
    const device::ConfigRecord::Block newer = accessoryBlock(*accessory_);
    ProgramRun program;
    HWND box = waitForMessageBox(program.mainWindow(), kInformationCaption,
                                 i18n::text(i18n::Msg::UnfinishedSaveStale));
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    EXPECT_TRUE(recordGone());
    EXPECT_EQ(newer, accessoryBlock(*accessory_));
}

TEST_F(UnfinishedSaveAtConnect, ADamagedRecordIsReportedAndIgnored) {
    const std::filesystem::path file = app::pendingSaveStore().fileOf(save_.key);
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 1);
    ProgramRun program;
    HWND box = waitForMessageBox(program.mainWindow(), kInformationCaption,
                                 i18n::text(i18n::Msg::UnfinishedSaveDamaged));
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    EXPECT_TRUE(recordGone());
    EXPECT_TRUE(pagesWritten(*accessory_).empty());
}

}  // namespace
}  // namespace zelo::gui_test
