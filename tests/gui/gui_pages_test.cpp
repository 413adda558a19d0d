// The four configuration pages in the real program with a simulated
// standard and X accessory: edits reach the flash through Save and show
// again in a later run, the exit question follows the edits, Restore
// default settings, the model's layout and a language switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "app_state.h"
#include "command_table.h"
#include "config_record.h"
#include "connection_helpers.h"
#include "gui_harness.h"
#include "images.h"
#include "resource.h"
#include "catalogue.h"

namespace zelo::gui_test {
namespace {

using pages::CommandList;
using pages::CommandTable;

constexpr wchar_t kExitQuestion[] = L"Save changes before exit?";
constexpr wchar_t kRestoreQuestion[] = L"Are you sure you want to continue?";
constexpr int kSettingsTab = 0;
constexpr int kMacroTab = 1;
constexpr int kDeviceCodeTab = 2;
constexpr int kKeyMapTab = 3;
constexpr std::size_t kEditedMacro = 3;  // Custom 3
constexpr std::size_t kDeviceCodeCustom = 4;
constexpr wchar_t kCustomCode[] = L"26.218";
constexpr std::array<std::uint8_t, 2> kCustomCodeBytes{0x5A, 0x1B};
constexpr wchar_t kHoldText[] = L"200";
constexpr wchar_t kDelayText[] = L"300";
constexpr std::uint16_t kHoldMs = 200;
constexpr std::uint16_t kDelayMs = 300;
constexpr std::size_t kFirstIrIndex = 0;
constexpr std::size_t kKeptHeadEnd = 4;       // bytes 0..3 survive a restore
constexpr std::size_t kKeptTailBegin = 750;   // and bytes 750..767
constexpr std::size_t kKeptTailEnd = 768;
constexpr std::size_t kMacroRecordSize = 61;
constexpr std::size_t kMacroBlockOffset = 0x58;
constexpr std::size_t kHoldFieldOffset = 21;
constexpr std::size_t kDelayFieldOffset = 41;
constexpr std::size_t kHighByteShift = 8;

using Block = std::array<std::uint8_t, device::kBlockSize>;

// Pages 14 and 15 of the accessory's flash as the start of a block.
Block flashBlock(const sim::Accessory &accessory) {
    Block block{};
    for (std::size_t i = 0; i < device::kConfigurationPages.size(); ++i) {
        const auto page = accessory.page(device::kConfigurationPages[i]);
        std::copy(page.begin(), page.end(), block.begin() + static_cast<std::ptrdiff_t>(i * device::kPageSize));
    }
    return block;
}

// The macro step list's position of PLAY, the code whose pair is 0x00 0x05.
std::size_t playPosition() {
    const auto code = CommandTable::decodeCommand({0x00, 0x05});
    return CommandTable::positionOf(code.value_or(pages::kCommandNone));
}

std::uint8_t firstIrCode() { return pages::commandOfListIndex(CommandList::KeyMapIr, kFirstIrIndex); }

HWND control(const ProgramRun &program, int tab, int id) { return GetDlgItem(program.page(tab), id); }

// As the user picks an entry: the selection, then the notification.
void choose(const ProgramRun &program, int tab, int id, std::size_t index) {
    HWND list = control(program, tab, id);
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(program.page(tab), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void click(const ProgramRun &program, int tab, int id) {
    SendMessageW(program.page(tab), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(program, tab, id)));
}

LRESULT selection(const ProgramRun &program, int tab, int id) {
    return SendMessageW(control(program, tab, id), CB_GETCURSEL, 0, 0);
}

bool isChecked(const ProgramRun &program, int tab, int id) {
    return SendMessageW(control(program, tab, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setCheck(const ProgramRun &program, int tab, int id, bool on) {
    SendMessageW(control(program, tab, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void setText(const ProgramRun &program, int tab, int id, const wchar_t *text) {
    SendMessageW(control(program, tab, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

bool styleVisible(const ProgramRun &program, int tab, int id) {
    return (GetWindowLongW(control(program, tab, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::uint16_t bigEndianAt(const Block &block, std::size_t offset) {
    return static_cast<std::uint16_t>((block[offset] << kHighByteShift) | block[offset + 1]);
}

class Pages : public testing::TestWithParam<const char *> {
protected:
    void connect(ProgramRun &program) {
        ASSERT_TRUE(program.ready());
        ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    }

    bool xModel() const { return std::string(GetParam()) == "x"; }

    // One edit on every page; the status LED tick is flipped.
    bool editEveryPage(const ProgramRun &program) {
        const bool ledOn = !isChecked(program, kSettingsTab, IDC_SETTINGS_STATUS_LED);
        setCheck(program, kSettingsTab, IDC_SETTINGS_STATUS_LED, ledOn);

        choose(program, kMacroTab, IDC_MACRO_SELECT, kEditedMacro);
        choose(program, kMacroTab, IDC_MACRO_COMMAND_FIRST, playPosition());
        setText(program, kMacroTab, IDC_MACRO_HOLD_FIRST, kHoldText);
        setText(program, kMacroTab, IDC_MACRO_DELAY_FIRST, kDelayText);
        for (int row = 1; row < IDC_MACRO_ROW_COUNT; ++row) {
            choose(program, kMacroTab, IDC_MACRO_COMMAND_FIRST + row, pages::kNonePosition);
        }

        choose(program, kDeviceCodeTab, IDC_DEVCODE_PRESET, kDeviceCodeCustom);
        setText(program, kDeviceCodeTab, IDC_DEVCODE_EDIT, kCustomCode);

        choose(program, kKeyMapTab, IDC_KEYMAP_PS3_LIST, pages::kNonePosition);
        click(program, kKeyMapTab, IDC_KEYMAP_OK);
        return ledOn;
    }

    void expectEditsInFlash(const Block &flash, bool ledOn) const {
        EXPECT_EQ(ledOn ? 0 : 1, flash[device::kStatusLedOffOffset]);
        const std::size_t macro = kMacroBlockOffset + kMacroRecordSize * kEditedMacro;
        EXPECT_EQ(1, flash[macro]) << "one step";
        EXPECT_EQ(0x00, flash[macro + 1]);
        EXPECT_EQ(0x05, flash[macro + 1 + device::kMacroSteps]);
        EXPECT_EQ(kHoldMs, bigEndianAt(flash, macro + kHoldFieldOffset));
        EXPECT_EQ(kDelayMs, bigEndianAt(flash, macro + kDelayFieldOffset));
        // The X model's flash keeps only the first place.
        const std::size_t places = xModel() ? 1 : 2;
        const std::array<std::size_t, 2> offsets{0x44, 0x405};
        for (std::size_t offset : std::span(offsets).first(places)) {
            EXPECT_EQ(kCustomCodeBytes[0], flash[offset]) << offset;
            EXPECT_EQ(kCustomCodeBytes[1], flash[offset + 1]) << offset;
        }
        EXPECT_EQ(0xFF, flash[device::kKeyMapFirstOffset + firstIrCode()]);
        EXPECT_EQ(0xFF, flash[device::kKeyMapSecondOffset + firstIrCode()]);
    }

    void expectEditsOnPages(const ProgramRun &program, bool ledOn) const {
        EXPECT_EQ(ledOn, isChecked(program, kSettingsTab, IDC_SETTINGS_STATUS_LED));
        choose(program, kMacroTab, IDC_MACRO_SELECT, kEditedMacro);
        EXPECT_EQ(static_cast<LRESULT>(playPosition()), selection(program, kMacroTab, IDC_MACRO_COMMAND_FIRST));
        EXPECT_EQ(kHoldText, windowText(control(program, kMacroTab, IDC_MACRO_HOLD_FIRST)));
        EXPECT_EQ(kDelayText, windowText(control(program, kMacroTab, IDC_MACRO_DELAY_FIRST)));
        EXPECT_EQ(static_cast<LRESULT>(kDeviceCodeCustom), selection(program, kDeviceCodeTab, IDC_DEVCODE_PRESET));
        EXPECT_EQ(kCustomCode, windowText(control(program, kDeviceCodeTab, IDC_DEVCODE_EDIT)));
        EXPECT_EQ(static_cast<LRESULT>(pages::kNonePosition), selection(program, kKeyMapTab, IDC_KEYMAP_PS3_LIST));
        EXPECT_TRUE(IsWindowEnabled(control(program, kKeyMapTab, IDC_KEYMAP_IR_LIST))) << "settled";
    }

    bool saveEnabled(const ProgramRun &program) const {
        return IsWindowEnabled(GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE)) != FALSE;
    }

    SimulatedWorld world_;
    std::shared_ptr<sim::Accessory> accessory_ = world_.plug(GetParam());
};

TEST_P(Pages, EditsOnEveryPageAreSavedAndFoundAgain) {
    bool ledOn = false;
    {
        ProgramRun program;
        connect(program);
        ledOn = editEveryPage(program);
        accessory_->clearLog();
        program.command(IDC_MAIN_SAVE);
        ASSERT_TRUE(waitFor([&] {
            return !pagesWritten(*accessory_).empty() && saveEnabled(program) &&
                   !app::deviceLink()->record.hasUnsavedChanges();
        }));
        expectEditsInFlash(flashBlock(*accessory_), ledOn);
        program.command(IDC_MAIN_EXIT);
        ASSERT_TRUE(program.waitForEnd()) << "saved: no question";
    }
    ProgramRun again;
    connect(again);
    expectEditsOnPages(again, ledOn);
    expectEditsInFlash(flashBlock(*accessory_), ledOn);
    again.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(again.waitForEnd()) << "showing the stored values changes nothing";
}

// The write puts the defaults into the protected ranges; on an accessory
// whose own bytes there differ, a good save must still leave nothing
// unsaved, this save and the next.
TEST_P(Pages, SavesLeaveNothingUnsavedOnAnAccessoryWithItsOwnProtectedBytes) {
    SimulatedWorld::world().unplug(accessory_);
    sim::AccessoryConfig config;
    config.model = GetParam();
    config.ownProtectedBytes = true;
    accessory_ = SimulatedWorld::world().plug(config);
    ProgramRun program;
    connect(program);
    for (int save = 0; save < 2; ++save) {
        setCheck(program, kSettingsTab, IDC_SETTINGS_STATUS_LED, !isChecked(program, kSettingsTab, IDC_SETTINGS_STATUS_LED));
        accessory_->clearLog();
        program.command(IDC_MAIN_SAVE);
        ASSERT_TRUE(waitFor([&] { return !pagesWritten(*accessory_).empty() && saveEnabled(program); }));
    }
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "saved: no question";
}

TEST_P(Pages, ExitAsksAfterAChangeAndNotAfterItWasUndone) {
    ProgramRun program;
    connect(program);
    const bool before = isChecked(program, kSettingsTab, IDC_SETTINGS_STATUS_LED);
    setCheck(program, kSettingsTab, IDC_SETTINGS_STATUS_LED, !before);
    program.command(IDC_MAIN_EXIT);
    HWND question = program.waitForOwnedWindow(kExitQuestion);
    ASSERT_NE(nullptr, question);
    clickButton(question, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(kExitQuestion); }));

    setCheck(program, kSettingsTab, IDC_SETTINGS_STATUS_LED, before);
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "undone by hand: no question";
}

TEST_P(Pages, RestoreDefaultsCancelKeepsOkWritesDefaultsAndTheIdentity) {
    ProgramRun program;
    connect(program);
    editEveryPage(program);
    program.command(IDC_MAIN_SAVE);
    ASSERT_TRUE(waitFor([&] { return saveEnabled(program) && !app::deviceLink()->record.hasUnsavedChanges(); }));
    const Block before = flashBlock(*accessory_);
    accessory_->clearLog();

    program.command(IDM_OPTIONS_RESTORE_DEFAULTS);
    HWND question = program.waitForOwnedWindow(kRestoreQuestion);
    ASSERT_NE(nullptr, question);
    clickButton(question, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return !program.ownedWindowOpen(kRestoreQuestion); }));
    EXPECT_TRUE(accessory_->commands().empty());
    EXPECT_EQ(before, flashBlock(*accessory_));

    program.command(IDM_OPTIONS_RESTORE_DEFAULTS);
    question = program.waitForOwnedWindow(kRestoreQuestion);
    ASSERT_NE(nullptr, question);
    clickButton(question, IDOK);
    ASSERT_TRUE(waitFor([&] { return !pagesWritten(*accessory_).empty() && saveEnabled(program); }));

    const Block after = flashBlock(*accessory_);
    const auto defaults = device::defaultBlock(xModel() ? device::DeviceVariant::X : device::DeviceVariant::Standard);
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + kKeptHeadEnd, before.begin()));
    EXPECT_TRUE(std::equal(after.begin() + kKeptTailBegin, after.begin() + kKeptTailEnd,
                           before.begin() + kKeptTailBegin));
    EXPECT_EQ(defaults[device::kStatusLedOffOffset], after[device::kStatusLedOffOffset]);
    EXPECT_EQ(defaults[0x44], after[0x44]);
    EXPECT_EQ(defaults[device::kKeyMapFirstOffset + firstIrCode()], after[device::kKeyMapFirstOffset + firstIrCode()]);
    // The pages show the defaults.
    EXPECT_EQ(defaults[device::kStatusLedOffOffset] == 0, isChecked(program, kSettingsTab, IDC_SETTINGS_STATUS_LED));
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "the pages show what was written";
}

TEST_P(Pages, LayoutFollowsTheModel) {
    ProgramRun program;
    connect(program);
    for (int id : {IDC_SETTINGS_PAIRING_MODE, IDC_SETTINGS_PAIRING_MODE_LABEL, IDC_SETTINGS_DISCRETE_POWER_ON}) {
        EXPECT_EQ(xModel(), styleVisible(program, kSettingsTab, id)) << id;
    }
    EXPECT_TRUE(styleVisible(program, kSettingsTab, IDC_SETTINGS_RECEIVER_HELP));
    const LRESULT modes = SendMessageW(control(program, kSettingsTab, IDC_SETTINGS_RECEIVER_MODE), CB_GETCOUNT, 0, 0);
    EXPECT_EQ(xModel() ? 5 : 2, modes);
    for (int row = 0; row < IDC_MACRO_ROW_COUNT; ++row) {
        EXPECT_EQ(row < IDC_MACRO_VISIBLE_ROWS, styleVisible(program, kMacroTab, IDC_MACRO_COMMAND_FIRST + row));
    }
    // The power note follows the receiver mode.
    choose(program, kSettingsTab, IDC_SETTINGS_RECEIVER_MODE, 1);
    EXPECT_TRUE(styleVisible(program, kSettingsTab, IDC_SETTINGS_POWER_NOTE));
    choose(program, kSettingsTab, IDC_SETTINGS_RECEIVER_MODE, 0);
    EXPECT_FALSE(styleVisible(program, kSettingsTab, IDC_SETTINGS_POWER_NOTE));
    EXPECT_EQ(L"Receives IR commands through front window only",
              windowText(control(program, kSettingsTab, IDC_SETTINGS_RECEIVER_HELP)));
}

TEST_P(Pages, AMalformedDeviceCodeIsReportedAndNotStored) {
    ProgramRun program;
    connect(program);
    const std::uint8_t stored = app::deviceLink()->record.workingCopy()[0x44];
    choose(program, kDeviceCodeTab, IDC_DEVCODE_PRESET, kDeviceCodeCustom);
    setText(program, kDeviceCodeTab, IDC_DEVCODE_EDIT, L"26.7.3");
    program.command(IDC_MAIN_SAVE);
    HWND error = waitForMessageBox(program.mainWindow(), kErrorCaption,
                                   L"Error in device code format, it should be formatted as xx.yyy");
    ASSERT_NE(nullptr, error);
    ASSERT_TRUE(answerMessageBox(error, IDOK));
    ASSERT_TRUE(waitFor([&] { return saveEnabled(program); }));
    EXPECT_EQ(stored, app::deviceLink()->record.workingCopy()[0x44]);
}

TEST_P(Pages, AKeyMappingEditIsPendingUntilOkOrCancel) {
    ProgramRun program;
    connect(program);
    const LRESULT committed = selection(program, kKeyMapTab, IDC_KEYMAP_PS3_LIST);
    const std::size_t other = committed == static_cast<LRESULT>(pages::kNonePosition) ? 0 : pages::kNonePosition;
    choose(program, kKeyMapTab, IDC_KEYMAP_PS3_LIST, other);
    EXPECT_FALSE(IsWindowEnabled(control(program, kKeyMapTab, IDC_KEYMAP_IR_LIST)));
    EXPECT_TRUE(IsWindowEnabled(control(program, kKeyMapTab, IDC_KEYMAP_OK)));
    EXPECT_TRUE(IsWindowEnabled(control(program, kKeyMapTab, IDC_KEYMAP_CANCEL)));

    click(program, kKeyMapTab, IDC_KEYMAP_CANCEL);
    EXPECT_EQ(committed, selection(program, kKeyMapTab, IDC_KEYMAP_PS3_LIST));
    EXPECT_TRUE(IsWindowEnabled(control(program, kKeyMapTab, IDC_KEYMAP_IR_LIST)));
    EXPECT_FALSE(IsWindowEnabled(control(program, kKeyMapTab, IDC_KEYMAP_OK)));
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "a cancelled edit changes nothing";
}

// A hold time beyond 16 bits must not be stored as a different number.
TEST_P(Pages, AnOutOfRangeHoldTimeIsReportedAndKeepsTheMacro) {
    ProgramRun program;
    connect(program);
    const Block before = app::deviceLink()->record.workingCopy();
    choose(program, kMacroTab, IDC_MACRO_COMMAND_FIRST, playPosition());
    setText(program, kMacroTab, IDC_MACRO_HOLD_FIRST, L"70000");
    program.command(IDC_MAIN_SAVE);
    HWND error = waitForMessageBox(program.mainWindow(), kErrorCaption);
    ASSERT_NE(nullptr, error);
    ASSERT_TRUE(answerMessageBox(error, IDOK));
    ASSERT_TRUE(waitFor([&] { return saveEnabled(program); }));
    const Block &after = app::deviceLink()->record.workingCopy();
    EXPECT_TRUE(std::equal(after.begin() + kMacroBlockOffset, after.begin() + kMacroBlockOffset + kMacroRecordSize,
                           before.begin() + kMacroBlockOffset));
}

// Last for each model: the language stays German until the next run stores
// English again.
TEST_P(Pages, ALanguageSwitchKeepsEverySelectionAndHelpText) {
    ProgramRun program;
    connect(program);
    editEveryPage(program);
    constexpr std::size_t kSecondMode = 1;
    constexpr std::size_t kSecondTracking = 1;
    choose(program, kSettingsTab, IDC_SETTINGS_RECEIVER_MODE, kSecondMode);
    choose(program, kSettingsTab, IDC_SETTINGS_POWER_TRACKING, kSecondTracking);
    choose(program, kMacroTab, IDC_MACRO_SELECT, kEditedMacro);
    const LRESULT pairing = selection(program, kSettingsTab, IDC_SETTINGS_PAIRING_MODE);

    program.command(IDM_OPTIONS_LANGUAGE);
    HWND dialog = program.waitForOwnedWindow(L"Language");
    ASSERT_NE(nullptr, dialog);
    CheckDlgButton(dialog, IDC_LANGUAGE_ENGLISH, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_LANGUAGE_GERMAN, BST_CHECKED);
    clickButton(dialog, IDOK);
    const std::wstring germanSettings = i18n::textIn(i18n::Msg::TabSettings, i18n::Column::German);
    ASSERT_TRUE(waitFor([&] { return program.tabText(kSettingsTab) == germanSettings; }));

    EXPECT_EQ(static_cast<LRESULT>(kSecondMode), selection(program, kSettingsTab, IDC_SETTINGS_RECEIVER_MODE));
    EXPECT_EQ(static_cast<LRESULT>(kSecondTracking), selection(program, kSettingsTab, IDC_SETTINGS_POWER_TRACKING));
    const i18n::Msg help = xModel() ? i18n::Msg::ReceiverHelpNetwork : i18n::Msg::ReceiverHelpIrEye;
    EXPECT_EQ(i18n::textIn(help, i18n::Column::German),
              windowText(control(program, kSettingsTab, IDC_SETTINGS_RECEIVER_HELP)));
    EXPECT_TRUE(styleVisible(program, kSettingsTab, IDC_SETTINGS_POWER_NOTE));
    EXPECT_EQ(static_cast<LRESULT>(kEditedMacro), selection(program, kMacroTab, IDC_MACRO_SELECT));
    EXPECT_EQ(static_cast<LRESULT>(playPosition()), selection(program, kMacroTab, IDC_MACRO_COMMAND_FIRST));
    EXPECT_EQ(static_cast<LRESULT>(kDeviceCodeCustom), selection(program, kDeviceCodeTab, IDC_DEVCODE_PRESET));
    EXPECT_EQ(kCustomCode, windowText(control(program, kDeviceCodeTab, IDC_DEVCODE_EDIT)));
    EXPECT_EQ(static_cast<LRESULT>(pages::kNonePosition), selection(program, kKeyMapTab, IDC_KEYMAP_PS3_LIST))
        << "the confirmed mapping of IR index 0";
    EXPECT_EQ(pairing, selection(program, kSettingsTab, IDC_SETTINGS_PAIRING_MODE));
}

INSTANTIATE_TEST_SUITE_P(Models, Pages, testing::Values("standard", "x"));

}  // namespace
}  // namespace zelo::gui_test
