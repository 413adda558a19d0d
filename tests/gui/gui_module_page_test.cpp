// The Install module tab with a simulated accessory: install from a file,
// restore the built-in image, erase, and a module that never answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app_state.h"
#include "connection_helpers.h"
#include "gui_harness.h"
#include "images.h"
#include "module_page_win.h"
#include "resource.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::gui_test {
namespace {

constexpr int kModuleTab = 5;
constexpr int kSettingsTab = 0;
constexpr std::size_t kAddressStart = 14;  // the generated module address follows
constexpr std::size_t kDataStart = 128;
constexpr std::size_t kDataCompared = 256;
constexpr std::chrono::seconds kOperationDeadline{90};
constexpr std::uint32_t kShortLimitMs = 200;
constexpr std::uint32_t kShortReadWaitMs = 20;
constexpr int kNeverSyncs = 1000;

class ModulePageTest : public testing::Test {
protected:
    void start() {
        accessory_ = SimulatedWorld::world().plug(accessoryConfig("standard"));
        program_ = std::make_unique<ProgramRun>();
        ASSERT_TRUE(program_->ready());
        ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(*program_); }));
        program_->selectTab(kModuleTab);
    }
    HWND page() const { return program_->page(kModuleTab); }
    HWND control(int id) const { return GetDlgItem(page(), id); }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool operationsEnabled() const {
        return enabled(IDC_MODULE_UPDATE) && enabled(IDC_MODULE_RESTORE) && enabled(IDC_MODULE_ERASE);
    }
    bool operationsDisabled() const {
        return !enabled(IDC_MODULE_UPDATE) && !enabled(IDC_MODULE_RESTORE) && !enabled(IDC_MODULE_ERASE);
    }
    std::wstring status() const { return windowText(control(IDC_MODULE_STATUS)); }

    void choose(const std::filesystem::path &path) {
        const std::wstring text = path.wstring();
        SendMessageW(page(), maintenance::UM_MODULE_FILE_CHOSEN, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::filesystem::path writeFile(const std::string &name, const std::vector<std::uint8_t> &bytes) {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    // Starts an operation and waits for its outcome text; the percentage
    // then reads 100 and the buttons work again.
    bool runAndWait(int button, const std::wstring &outcome) {
        SendMessageW(page(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        EXPECT_TRUE(operationsDisabled());
        // Neither a tab switch nor new texts free the buttons meanwhile.
        program_->selectTab(kSettingsTab);
        program_->selectTab(kModuleTab);
        if (status() != outcome) {
            EXPECT_TRUE(operationsDisabled());
        }
        const bool ended = waitFor([&] { return status() == outcome; }, kOperationDeadline);
        EXPECT_TRUE(waitFor([&] { return windowText(control(IDC_MODULE_PERCENT)) == L"100 %"; }));
        EXPECT_TRUE(operationsEnabled());
        return ended;
    }

    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("zelo-module-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        program_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    SimulatedWorld world_;
    std::filesystem::path folder_;
    std::shared_ptr<sim::Accessory> accessory_;
    std::unique_ptr<ProgramRun> program_;
};

TEST_F(ModulePageTest, InstallsRestoresAndErases) {
    start();
    EXPECT_EQ(L"Idle...", status());
    EXPECT_EQ(L"0 %", windowText(control(IDC_MODULE_PERCENT)));
    EXPECT_FALSE(enabled(IDC_MODULE_UPDATE));

    std::vector<std::uint8_t> image(device::kModuleImageSize);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const auto path = writeFile("module.bin", image);
    choose(path);
    EXPECT_TRUE(enabled(IDC_MODULE_UPDATE));
    const std::wstring shown = windowText(control(IDC_MODULE_FILE));
    EXPECT_NE(std::wstring::npos, shown.find(L"module.bin"));

    ASSERT_TRUE(runAndWait(IDC_MODULE_UPDATE, L"Module successfully installed!"));
    const auto installed = accessory_->moduleMemory();
    ASSERT_GE(installed.size(), kDataCompared);
    EXPECT_TRUE(std::equal(installed.begin(), installed.begin() + kAddressStart, image.begin()));
    EXPECT_TRUE(
        std::equal(installed.begin() + kDataStart, installed.begin() + kDataCompared, image.begin() + kDataStart));

    ASSERT_TRUE(runAndWait(IDC_MODULE_RESTORE, L"Module successfully installed!"));
    const auto restored = accessory_->moduleMemory();
    EXPECT_FALSE(accessory_->moduleErased());
    EXPECT_FALSE(
        std::equal(restored.begin() + kDataStart, restored.begin() + kDataCompared, image.begin() + kDataStart));

    ASSERT_TRUE(runAndWait(IDC_MODULE_ERASE, L"Module successfully erased!"));
    EXPECT_TRUE(accessory_->moduleErased());
}

TEST_F(ModulePageTest, AnUnreadableFileIsReportedAndNotChosen) {
    start();
    const std::wstring before = windowText(control(IDC_MODULE_FILE));
    const bool updateBefore = enabled(IDC_MODULE_UPDATE);
    choose(folder_ / "missing.bin");
    EXPECT_EQ(before, windowText(control(IDC_MODULE_FILE)));
    EXPECT_EQ(updateBefore, enabled(IDC_MODULE_UPDATE));
    EXPECT_NE(std::wstring::npos, status().find(L"missing.bin"));
}

TEST_F(ModulePageTest, AModuleThatNeverSynchronisesEndsWithTheError) {
    hid::Timing timing;
    timing.receiveLimitMs = timing.uartReadLimitMs = kShortLimitMs;
    timing.readWaitMs = kShortReadWaitMs;
    SimulatedWorld::world().setTiming(timing);
    // 26 attempts of 250 polls 10 ms apart would take more than a minute.
    static device::NoWaits noPauses;
    maintenance::setModuleWaits(noPauses);
    start();
    accessory_->injectFault({sim::Fault::ModuleNeverSyncs, 0, kNeverSyncs});
    const auto path = writeFile("module.bin", std::vector<std::uint8_t>(device::kModuleImageSize, 0x11));
    choose(path);
    const bool ended = runAndWait(IDC_MODULE_UPDATE, L"Error installing module!");
    maintenance::setModuleWaits(device::realWaits());
    ASSERT_TRUE(ended);
}

}  // namespace
}  // namespace zelo::gui_test
