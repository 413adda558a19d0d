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
    // The accessory plugged and a record of a write it never completed,
    // before the program starts and connects it.
    void SetUp() override {
        accessory_ = world_.plug("standard");
        own_ = accessoryBlock(*accessory_);
        save_.variant = device::DeviceVariant::Standard;
        save_.block = own_;
        for (std::size_t offset : kEditedOffsets) save_.block[offset] = kEdited;
        save_.address = device::deviceAddressOf(save_.block);
        std::string error;
        ASSERT_TRUE(app::pendingSaveStore().write(save_, error)) << error;
    }

    bool recordGone() const {
        return !std::filesystem::exists(app::pendingSaveStore().fileOf(save_.address));
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

TEST_F(UnfinishedSaveAtConnect, NoKeepsTheAccessorysOwnSettings) {
    ProgramRun program;
    HWND box = question(program);
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(answerMessageBox(box, IDNO));

    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program) && recordGone(); }));
    EXPECT_EQ(own_, accessoryBlock(*accessory_));
    EXPECT_TRUE(pagesWritten(*accessory_).empty());
}

TEST_F(UnfinishedSaveAtConnect, ADamagedRecordIsReportedAndIgnored) {
    const std::filesystem::path file = app::pendingSaveStore().fileOf(save_.address);
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 1);
    ProgramRun program;
    HWND box = waitForMessageBox(program.mainWindow(), kInformationCaption,
                                 i18n::text(i18n::Msg::UnfinishedSaveDamaged));
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    EXPECT_TRUE(recordGone());
    EXPECT_EQ(own_, accessoryBlock(*accessory_));
}

}  // namespace
}  // namespace zelo::gui_test
