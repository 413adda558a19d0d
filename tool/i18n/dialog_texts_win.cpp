// applyTexts: which catalogue text goes into which control of which dialog,
// and the tab caption of each page.
#include "texts_win.h"

#include <commctrl.h>

#include <optional>
#include <span>
#include <string>

#include "resource.h"
#include "texts.h"
#include "window_registry_win.h"

namespace zelo::i18n {
namespace {

// How a control's text is formed from its message.
enum class Fill {
    Plain,
    Milliseconds,        // "%s(ms)"
    WithoutFlashMarker,  // "[FLASH]" replaced by nothing
    BuildYear,           // "%s" filled with the build year
};

struct ControlText {
    int controlId;
    Msg msg;
    Fill fill = Fill::Plain;
};

inline constexpr int kNoTab = -1;

struct DialogTexts {
    int dialogId;
    std::optional<Msg> title;
    int tabIndex;  // position of the page's tab, kNoTab for other dialogs
    std::optional<Msg> tabCaption;
    std::span<const ControlText> controls;
};

// The main window's title, status texts and menu state are its own hook's.
constexpr ControlText kMainControls[] = {
    {IDC_MAIN_SAVE, Msg::Save},
    {IDC_MAIN_EXIT, Msg::Close},
};

constexpr ControlText kSettingsControls[] = {
    {IDC_SETTINGS_STATUS_LED, Msg::EnableStatusLed},
    {IDC_SETTINGS_LOW_BATTERY_LED, Msg::FlashLedBatteryLow},
    {IDC_SETTINGS_RECEIVER_LABEL, Msg::IrReceiver},
    {IDC_SETTINGS_PAIRING_MODE_LABEL, Msg::PairingMode},
    {IDC_SETTINGS_DISCRETE_POWER_ON, Msg::EnableDiscretePowerOn},
    {IDC_SETTINGS_POWER_NOTE, Msg::ExternalPowerNote},
};

constexpr ControlText kMacroControls[] = {
    {IDC_MACRO_SELECT_LABEL, Msg::SelectMacro},
    {IDC_MACRO_COMMAND_LABEL, Msg::Command},
    {IDC_MACRO_DURATION_LABEL, Msg::Duration, Fill::Milliseconds},
    {IDC_MACRO_PAUSE_LABEL, Msg::Pause, Fill::Milliseconds},
    {IDC_MACRO_DEFAULT, Msg::Default},
};

constexpr ControlText kDeviceCodeControls[] = {
    {IDC_DEVCODE_LABEL, Msg::DeviceCode},
};

constexpr ControlText kKeyMappingControls[] = {
    {IDC_KEYMAP_GROUP, Msg::AlternateButtonFunctions},
    {IDC_KEYMAP_CANCEL, Msg::Cancel},
    {IDC_KEYMAP_DEFAULT, Msg::Default},
};

constexpr ControlText kIrControls[] = {
    {IDC_IR_TRANSMIT, Msg::Transmit},
    {IDC_IR_RECEIVE_GROUP, Msg::Receive},
    {IDC_IR_TRANSMIT_GROUP, Msg::Transmit},
    {IDC_IR_LAST_RECEIVED_LABEL, Msg::LastReceived},
};

constexpr ControlText kModuleControls[] = {
    {IDC_MODULE_SELECT, Msg::SelectModule},
    {IDC_MODULE_UPDATE, Msg::Update},
    {IDC_MODULE_RESTORE, Msg::RestoreFlash, Fill::WithoutFlashMarker},
    {IDC_MODULE_ERASE, Msg::Erase},
};

constexpr ControlText kAboutControls[] = {
    {IDC_ABOUT_GROUP, Msg::Information},
    {IDC_ABOUT_NOTICE, Msg::ProductUseNotice, Fill::BuildYear},
    {IDC_ABOUT_CLOSE, Msg::Close},
};

constexpr ControlText kPairingControls[] = {
    {IDC_PAIR_START, Msg::Pair},         {IDC_PAIR_CLOSE, Msg::Close},
    {IDC_PAIR_INTRO, Msg::PairingIntro}, {IDC_PAIR_STEP1, Msg::PairingStep1},
    {IDC_PAIR_STEP2, Msg::PairingStep2}, {IDC_PAIR_STEP3, Msg::PairingStep3},
};

// The pages appear in tab order; applyLanguageToAll follows it.
constexpr DialogTexts kDialogTexts[] = {
    {IDD_MAIN, std::nullopt, kNoTab, std::nullopt, kMainControls},
    {IDD_PAGE_SETTINGS, std::nullopt, 0, Msg::TabSettings, kSettingsControls},
    {IDD_PAGE_MACROS, std::nullopt, 1, Msg::TabMacros, kMacroControls},
    {IDD_PAGE_DEVICE_CODE, std::nullopt, 2, Msg::TabDeviceCode, kDeviceCodeControls},
    {IDD_PAGE_KEY_MAPPING, std::nullopt, 3, Msg::TabButtons, kKeyMappingControls},
    {IDD_PAGE_IR, std::nullopt, 4, Msg::TabTransmitReceive, kIrControls},
    {IDD_PAGE_MODULE, std::nullopt, 5, Msg::InstallModule, kModuleControls},
    {IDD_LANGUAGE, Msg::Language, kNoTab, std::nullopt, {}},
    {IDD_ABOUT, Msg::About, kNoTab, std::nullopt, kAboutControls},
    {IDD_PAIRING, Msg::Pair, kNoTab, std::nullopt, kPairingControls},
};

// Repainted after every applyTexts; the module page is not among them.
constexpr int kConfigurationPages[] = {IDD_PAGE_SETTINGS, IDD_PAGE_MACROS, IDD_PAGE_DEVICE_CODE,
                                       IDD_PAGE_KEY_MAPPING, IDD_PAGE_IR};

const DialogTexts *findDialog(int dialogId) {
    for (const DialogTexts &dialog : kDialogTexts) {
        if (dialog.dialogId == dialogId) return &dialog;
    }
    return nullptr;
}

std::wstring controlText(const ControlText &control) {
    switch (control.fill) {
    case Fill::Milliseconds:
        return fillStrings(kMillisecondsLabelFormat, {text(control.msg)});
    case Fill::WithoutFlashMarker:
        return replacePlaceholder(control.msg, kMarkerFlash, L"");
    case Fill::BuildYear:
        return fillStrings(text(control.msg), {buildYear()});
    case Fill::Plain:
        break;
    }
    return text(control.msg);
}

// The main window's tab control, reached from a page inside it.
HWND tabControlAbove(HWND page) {
    HWND mainWindow = registeredWindow(IDD_MAIN);
    if (mainWindow == nullptr) mainWindow = GetAncestor(page, GA_ROOT);
    return mainWindow != nullptr ? GetDlgItem(mainWindow, IDC_MAIN_TAB) : nullptr;
}

// Renames the tab in place: order and selection stay as they are.
void setTabCaption(HWND page, int tabIndex, Msg caption) {
    HWND tab = tabControlAbove(page);
    if (tab == nullptr) return;
    std::wstring captionText = text(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = captionText.data();
    SendMessageW(tab, TCM_SETITEMW, static_cast<WPARAM>(tabIndex), reinterpret_cast<LPARAM>(&item));
}

void writeFixedTexts(HWND window, const DialogTexts &dialog) {
    if (dialog.title) SetWindowTextW(window, text(*dialog.title).c_str());
    if (dialog.tabCaption) setTabCaption(window, dialog.tabIndex, *dialog.tabCaption);
    for (const ControlText &control : dialog.controls) {
        SetDlgItemTextW(window, control.controlId, controlText(control).c_str());
    }
}

void repaintConfigurationPages() {
    for (int dialogId : kConfigurationPages) {
        HWND page = registeredWindow(dialogId);
        if (page != nullptr) RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

}  // namespace

void applyTexts(HWND window, int dialogId) {
    if (window == nullptr) return;
    const DialogTexts *dialog = findDialog(dialogId);
    if (dialog == nullptr) return;
    const bool lives = dialogId == IDD_MAIN || dialog->tabIndex != kNoTab;
    if (lives) registerWindow(dialogId, window);
    writeFixedTexts(window, *dialog);
    runTextHook(dialogId, window);
    repaintConfigurationPages();
}

void applyLanguageToAll(HWND mainWindow) {
    applyTexts(mainWindow, IDD_MAIN);
    for (const DialogTexts &dialog : kDialogTexts) {
        if (dialog.tabIndex == kNoTab) continue;
        HWND page = registeredWindow(dialog.dialogId);
        if (page != nullptr) applyTexts(page, dialog.dialogId);
    }
    if (mainWindow != nullptr) {
        applyMenuTexts(GetMenu(mainWindow), mainWindow);
        UpdateWindow(mainWindow);
    }
}

}  // namespace zelo::i18n
