// The About and pairing dialogs over the real main window, and the pairing
// request they send to a simulated accessory.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "app_state.h"
#include "fixed_texts.h"
#include "gui_harness.h"
#include "resource.h"

namespace zelo::gui_test {
namespace {

const std::vector<std::uint8_t> kPairingFrame{0x14, 0x27, 0x10};

class Dialogs : public testing::Test {
protected:
    SimulatedWorld world_;
};

std::size_t pairingRequests(const sim::Accessory &accessory) {
    const auto commands = accessory.commands();
    return static_cast<std::size_t>(std::count_if(commands.begin(), commands.end(), [](const sim::LogEntry &entry) {
        return entry.bytes == kPairingFrame;
    }));
}

int pairingBar(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_PAIR_PROGRESS, PBM_GETPOS, 0, 0));
}

TEST_F(Dialogs, AboutShowsItsTextsAndCloses) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    program.command(IDM_HELP_ABOUT);
    HWND about = program.waitForOwnedWindow(L"About");
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(L"Information", windowText(GetDlgItem(about, IDC_ABOUT_GROUP)));
    EXPECT_EQ(L"Close", windowText(GetDlgItem(about, IDC_ABOUT_CLOSE)));
    const std::wstring notice = windowText(GetDlgItem(about, IDC_ABOUT_NOTICE));
    EXPECT_NE(std::wstring::npos, notice.find(L"2008-" + i18n::buildYear())) << notice;

    clickButton(about, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(L"About"); }));
    EXPECT_FALSE(program.ended());
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Dialogs, PairingSendsOneRequestPerPressAndRestartsTheBar) {
    auto accessory = world_.plug();
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    // The program connects by itself; Save is enabled once it is done.
    ASSERT_TRUE(waitFor([&] {
        return app::deviceConnected() && IsWindowEnabled(GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE));
    }));
    accessory->clearLog();

    program.command(IDM_TOOLS_PAIR);
    HWND pairing = program.waitForOwnedWindow(L"Pair");
    ASSERT_NE(nullptr, pairing);
    EXPECT_EQ(L"Pair", windowText(GetDlgItem(pairing, IDC_PAIR_START)));
    EXPECT_EQ(L"Close", windowText(GetDlgItem(pairing, IDC_PAIR_CLOSE)));
    EXPECT_EQ(L"2. Press the PAIR button and wait a couple of seconds",
              windowText(GetDlgItem(pairing, IDC_PAIR_STEP2)));
    EXPECT_EQ(0, pairingBar(pairing));
    EXPECT_TRUE(accessory->commands().empty()) << "opening the dialog sends nothing";

    program.commandTo(pairing, IDC_PAIR_START);
    ASSERT_TRUE(waitFor([&] { return pairingRequests(*accessory) == 1; }));
    EXPECT_EQ(10000, accessory->pairingValue());
    constexpr int kTwoTicks = 6;
    ASSERT_TRUE(waitFor([&] { return pairingBar(pairing) >= kTwoTicks; })) << "the bar advances every 500 ms";

    program.commandTo(pairing, IDC_PAIR_START);
    ASSERT_TRUE(waitFor([&] { return pairingRequests(*accessory) == 2; }));
    EXPECT_TRUE(waitFor([&] { return pairingBar(pairing) < kTwoTicks; })) << "a second press starts the bar again";

    clickButton(pairing, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(L"Pair"); }));
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "the pages show what was read: nothing unsaved";
}

}  // namespace
}  // namespace zelo::gui_test
