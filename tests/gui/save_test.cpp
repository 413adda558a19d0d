// Save, the exit question and Restore default settings with a simulated
// accessory whose configuration was read as a connect reads it.
#include <gtest/gtest.h>

#include <algorithm>

#include "app_state.h"
#include "gui_harness.h"
#include "images.h"
#include "protocol.h"
#include "resource.h"
#include "worker_tasks.h"

namespace zelo::gui_test {
namespace {

constexpr wchar_t kExitQuestion[] = L"Save changes before exit?";
constexpr wchar_t kRestoreQuestion[] = L"Are you sure you want to continue?";
constexpr std::size_t kChangedByte = device::kStatusLedOffOffset;
constexpr int kFirstConfigurationPage = device::kConfigurationPages[0];

class Save : public testing::Test {
protected:
    // The program runs and connects the accessory by itself at start-up;
    // the pages show its configuration once Save is enabled.
    void connect(ProgramRun &program) {
        ASSERT_TRUE(program.ready());
        ASSERT_TRUE(waitFor([&] { return app::deviceConnected() && saveEnabled(program); }));
        accessory_->clearLog();
    }

    static device::ConfigRecord &record() { return app::deviceLink()->record; }

    static std::uint8_t changeWorkingCopy() {
        std::uint8_t &byte = record().workingCopy()[kChangedByte];
        byte ^= 1;
        return byte;
    }

    static bool saveEnabled(const ProgramRun &program) {
        return IsWindowEnabled(GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE)) != FALSE;
    }

    // Answers the exit question, which must come.
    static void answerExitQuestion(ProgramRun &program, int button) {
        program.command(IDC_MAIN_EXIT);
        HWND question = program.waitForOwnedWindow(kExitQuestion);
        ASSERT_NE(nullptr, question);
        EXPECT_TRUE(showsText(question, L"Changes have not been saved, save changes before exiting?"));
        clickButton(question, button);
    }

    SimulatedWorld world_;
    std::shared_ptr<sim::Accessory> accessory_ = world_.plug();
};

TEST_F(Save, ConnectedShowsTheAccessoryAndEnablesItsCommands) {
    ProgramRun program;
    connect(program);
    EXPECT_EQ(L"ZE\u00B7LO Connected (v" + app::deviceLink()->firmwareText() + L")", program.statusText(0));
    EXPECT_FALSE(program.menuState(IDM_OPTIONS_RESTORE_DEFAULTS) & MF_GRAYED);
    EXPECT_FALSE(program.menuState(IDM_TOOLS_PAIR) & MF_GRAYED);
    EXPECT_TRUE(saveEnabled(program));
    EXPECT_EQ(record().readCopy(), record().workingCopy());

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "nothing changed: no question";
}

TEST_F(Save, CancelKeepsTheProgramAndTheChangesNoEndsWithoutSaving) {
    ProgramRun program;
    connect(program);
    const std::uint8_t changed = changeWorkingCopy();

    answerExitQuestion(program, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(kExitQuestion); }));
    EXPECT_FALSE(program.ended());
    EXPECT_EQ(changed, record().workingCopy()[kChangedByte]);

    answerExitQuestion(program, IDNO);
    ASSERT_TRUE(program.waitForEnd());
    EXPECT_TRUE(accessory_->commands().empty()) << "No does not save";
}

TEST_F(Save, YesSavesAndEndsWhenTheSaveSucceeds) {
    ProgramRun program;
    connect(program);
    const std::uint8_t changed = changeWorkingCopy();

    answerExitQuestion(program, IDYES);
    ASSERT_TRUE(program.waitForEnd());
    EXPECT_EQ(changed, accessory_->page(kFirstConfigurationPage)[kChangedByte]);
}

TEST_F(Save, AFailedSaveKeepsTheChangesUnsaved) {
    ProgramRun program;
    connect(program);
    accessory_->injectFault({sim::Fault::CorruptCrc, device::command::kPageWrite});
    changeWorkingCopy();

    program.command(IDC_MAIN_SAVE);
    HWND error = program.waitForOwnedWindow(L"Error");
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(showsText(error, L"Error: Could not save save changes"));
    EXPECT_TRUE(saveEnabled(program));
    clickButton(error, IDOK);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(L"Error"); }));
    EXPECT_TRUE(record().hasUnsavedChanges());

    answerExitQuestion(program, IDNO);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Save, RestoreDefaultsAsksFirstAndKeepsTheIdentity) {
    ProgramRun program;
    connect(program);
    const device::ConfigRecord::Block before = record().readCopy();

    program.command(IDM_OPTIONS_RESTORE_DEFAULTS);
    HWND question = program.waitForOwnedWindow(kRestoreQuestion);
    ASSERT_NE(nullptr, question);
    clickButton(question, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(kRestoreQuestion); }));
    EXPECT_EQ(before, record().readCopy());
    EXPECT_TRUE(accessory_->commands().empty());

    program.command(IDM_OPTIONS_RESTORE_DEFAULTS);
    question = program.waitForOwnedWindow(kRestoreQuestion);
    ASSERT_NE(nullptr, question);
    clickButton(question, IDOK);
    ASSERT_TRUE(waitFor([&] { return !accessory_->commands().empty() && saveEnabled(program); }));

    const auto page = accessory_->page(kFirstConfigurationPage);
    const auto defaults = device::defaultBlock(device::DeviceVariant::Standard);
    EXPECT_TRUE(std::equal(page.begin(), page.begin() + device::kDiscretePowerOnOffset, before.begin()));
    EXPECT_TRUE(std::equal(page.begin() + device::kDiscretePowerOnOffset, page.end(),
                           defaults.begin() + device::kDiscretePowerOnOffset));
    const auto stamp = record().readCopy().begin() + device::kDeviceValueOffset;
    EXPECT_TRUE(std::equal(stamp, stamp + (device::kKeyMapFirstOffset - device::kDeviceValueOffset),
                           before.begin() + device::kDeviceValueOffset));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "the pages show what was saved";
}

}  // namespace
}  // namespace zelo::gui_test
