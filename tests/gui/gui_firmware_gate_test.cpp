// The firmware gate through the real main window: the update prompt, its
// answers, the pages the update writes, the messages after it, and a page
// write that fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <span>

#include "app_state.h"
#include "catalogue.h"
#include "connection_helpers.h"
#include "firmware_gate.h"
#include "images.h"
#include "page_crc.h"
#include "protocol.h"
#include "resource.h"

namespace zelo::gui_test {
namespace {

using device::DeviceVariant;

constexpr wchar_t kStandardConnected[] = L"ZE\u00B7LO Connected (v1.24)";
constexpr wchar_t kXConnected[] = L"ZE\u00B7LO X Connected (v2.06)";
constexpr int kLastFirmwarePage = device::kFirmwarePages.back();
constexpr int kProgressDone = 100;

using Page = std::array<std::uint8_t, sim::kPageSize>;

Page imagePage(DeviceVariant variant, std::size_t index) {
    const auto image = device::firmwareImage(variant);
    Page page{};
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(index * sim::kPageSize), page.size(), page.begin());
    return page;
}

// Firmware pages of the accessory that differ from the program's image.
std::vector<int> differingPages(const sim::Accessory &accessory, DeviceVariant variant) {
    std::vector<int> pages;
    for (std::size_t i = 0; i < device::kFirmwarePages.size(); ++i) {
        const int number = device::kFirmwarePages[i];
        if (accessory.page(number) != imagePage(variant, i)) pages.push_back(number);
    }
    return pages;
}

std::wstring updatedText(const std::wstring &version) {
    return i18n::replacePlaceholder(i18n::Msg::FirmwareUpdatedRestart, i18n::kMarkerNewVersion, version);
}

class FirmwareGate : public testing::Test {
protected:
    static std::shared_ptr<sim::Accessory> plug(const std::string &model, const std::string &firmware) {
        return SimulatedWorld::world().plug(accessoryConfig(model, firmware));
    }

    // The prompt names both versions; answers it.
    static void answerPrompt(const ProgramRun &program, const std::wstring &current, const std::wstring &offered,
                             int button) {
        HWND prompt = waitForMessageBox(program.mainWindow(), kInformationCaption);
        ASSERT_NE(nullptr, prompt);
        const std::wstring text = messageBoxText(prompt);
        EXPECT_EQ(app::upgradePromptText(current, offered), text);
        EXPECT_NE(std::wstring::npos, text.find(current));
        EXPECT_NE(std::wstring::npos, text.find(offered));
        ASSERT_TRUE(answerMessageBox(prompt, button));
    }

    // The update went through: the success message names version, then the
    // pages are loaded and the status shows connected.
    static void expectUpdated(const ProgramRun &program, const std::wstring &version, const wchar_t *status) {
        HWND done = waitForMessageBox(program.mainWindow(), kInformationCaption, updatedText(version));
        ASSERT_NE(nullptr, done);
        ASSERT_TRUE(answerMessageBox(done, IDOK));
        ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
        EXPECT_EQ(status, program.statusText(0));
        EXPECT_EQ(kProgressDone, SendMessageW(program.statusProgress(), PBM_GETPOS, 0, 0));
    }

    static void expectFirmwarePagesAreTheImage(const sim::Accessory &accessory, DeviceVariant variant) {
        EXPECT_TRUE(differingPages(accessory, variant).empty());
    }

    SimulatedWorld world_;
};

TEST_F(FirmwareGate, NoAtStartUpEndsTheProgramAndWritesNothing) {
    auto accessory = plug("standard", "1.18");
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    answerPrompt(program, L"v1.18", L"v1.24", IDNO);
    ASSERT_TRUE(program.waitForEnd());
    EXPECT_EQ(0u, commandCount(*accessory, device::command::kPageWrite));
    EXPECT_EQ(0u, commandCount(*accessory, device::command::kBootEnter));
}

TEST_F(FirmwareGate, YesAfterPlugInRewritesTheDifferingPagesAndPage29) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    auto accessory = plug("standard", "1.18");
    std::vector<int> expected = differingPages(*accessory, DeviceVariant::Standard);
    expected.erase(std::remove(expected.begin(), expected.end(), kLastFirmwarePage), expected.end());
    ASSERT_FALSE(expected.empty()) << "the old firmware's text lies in a compared page";
    // The update always writes page 29 with the image CRC; then the
    // configuration goes back, page 29 being its third page.
    expected.push_back(kLastFirmwarePage);
    for (int page : device::kConfigurationPages) expected.push_back(page);

    answerPrompt(program, L"v1.18", L"v1.24", IDYES);
    expectUpdated(program, L"1.24", kStandardConnected);
    EXPECT_EQ(expected, pagesWritten(*accessory));
    expectFirmwarePagesAreTheImage(*accessory, DeviceVariant::Standard);
    EXPECT_FALSE(accessory->bootMode());

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(FirmwareGate, XModelUpdateWritesOnlyTheDifferingPages) {
    auto accessory = plug("x", "2.05");
    const std::vector<int> expected = differingPages(*accessory, DeviceVariant::X);
    ASSERT_FALSE(expected.empty());
    ProgramRun program;
    ASSERT_TRUE(program.ready());

    answerPrompt(program, L"v2.05", L"v2.06", IDYES);
    expectUpdated(program, L"2.06", kXConnected);
    EXPECT_EQ(expected, pagesWritten(*accessory));
    expectFirmwarePagesAreTheImage(*accessory, DeviceVariant::X);

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(FirmwareGate, AFailedPageWriteDiscardsTheLinkAndTheNextStartAsksAgain) {
    auto accessory = plug("standard", "1.18");
    const std::vector<int> before = differingPages(*accessory, DeviceVariant::Standard);
    accessory->injectFault({sim::Fault::FailPageWrite});
    {
        ProgramRun program;
        ASSERT_TRUE(program.ready());
        answerPrompt(program, L"v1.18", L"v1.24", IDYES);
        HWND error = waitForMessageBox(program.mainWindow(), kErrorCaption);
        ASSERT_NE(nullptr, error);
        EXPECT_EQ(i18n::text(i18n::Msg::FirmwareUpdateError), messageBoxText(error));
        ASSERT_TRUE(answerMessageBox(error, IDOK));
        ASSERT_TRUE(waitFor([] { return app::deviceLink() == nullptr; }));
        EXPECT_EQ(L"Disconnected", program.statusText(0));
        EXPECT_EQ(before, differingPages(*accessory, DeviceVariant::Standard)) << "the failed page was not stored";
        program.command(IDC_MAIN_EXIT);
        ASSERT_TRUE(program.waitForEnd());
    }
    accessory->clearLog();
    ProgramRun again;
    ASSERT_TRUE(again.ready());
    answerPrompt(again, L"v1.18", L"v1.24", IDNO);
    ASSERT_TRUE(again.waitForEnd());
    EXPECT_EQ(0u, commandCount(*accessory, device::command::kPageWrite));
}

}  // namespace
}  // namespace zelo::gui_test
