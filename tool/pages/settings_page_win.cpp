// The settings page (template 133): moves values between its controls and
// the settings mapping, lays itself out for the connected model and keeps
// the receiver help text and the power note in step with the mode list.
#include <string>
#include <vector>

#include "catalogue.h"
#include "configuration_pages_win.h"
#include "page_controls_win.h"
#include "resource.h"
#include "settings_mapping.h"
#include "texts_win.h"

namespace zelo::pages {
namespace {

using device::DeviceVariant;

std::vector<std::wstring> textsOf(std::span<const ListText> entries) {
    std::vector<std::wstring> texts;
    texts.reserve(entries.size());
    for (const ListText &entry : entries) texts.push_back(listText(entry));
    return texts;
}

class SettingsPage : public app::PageWindow {
public:
    ~SettingsPage() override {
        i18n::setTextHook(IDD_PAGE_SETTINGS, {});
        if (italicFont_ != nullptr) DeleteObject(italicFont_);
    }

    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM) override {
        switch (message) {
        case WM_INITDIALOG:
            setItalicNoteFont(page);
            i18n::setTextHook(IDD_PAGE_SETTINGS, [this](HWND window) { refreshTexts(window); });
            i18n::applyTexts(page, IDD_PAGE_SETTINGS);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) == CBN_SELCHANGE) return selectionChanged(page, LOWORD(wParam));
            return FALSE;
        default:
            return FALSE;
        }
    }

    void load(device::ConfigRecord::Block &working, DeviceVariant variant) override {
        HWND page = window();
        variant_ = variant;
        if (page == nullptr) return;
        setItalicNoteFont(page);
        i18n::applyTexts(page, IDD_PAGE_SETTINGS);
        const SettingsControls controls = loadSettings(working, variant);
        setChecked(page, IDC_SETTINGS_STATUS_LED, controls.statusLedEnabled);
        setChecked(page, IDC_SETTINGS_LOW_BATTERY_LED, controls.lowBatteryFlash);
        selectListIndex(page, IDC_SETTINGS_RECEIVER_MODE, controls.receiverMode);
        selectListIndex(page, IDC_SETTINGS_POWER_TRACKING, controls.powerTracking);
        if (variant == DeviceVariant::X) {
            selectListIndex(page, IDC_SETTINGS_PAIRING_MODE, controls.pairingMode);
            setChecked(page, IDC_SETTINGS_DISCRETE_POWER_ON, controls.discretePowerOn);
            enableControl(page, IDC_SETTINGS_DISCRETE_POWER_ON, controls.discretePowerOnUsable);
        }
        showReceiverHelp(page);
    }

    void store(device::ConfigRecord::Block &working, DeviceVariant variant) override {
        HWND page = window();
        if (page == nullptr) return;
        SettingsControls controls;
        controls.statusLedEnabled = checked(page, IDC_SETTINGS_STATUS_LED);
        controls.lowBatteryFlash = checked(page, IDC_SETTINGS_LOW_BATTERY_LED);
        controls.receiverMode = listSelection(page, IDC_SETTINGS_RECEIVER_MODE);
        controls.powerTracking = listSelection(page, IDC_SETTINGS_POWER_TRACKING);
        controls.pairingMode = listSelection(page, IDC_SETTINGS_PAIRING_MODE);
        controls.discretePowerOn = checked(page, IDC_SETTINGS_DISCRETE_POWER_ON);
        controls.discretePowerOnUsable = discretePowerOnUsable(controls.powerTracking);
        storeSettings(controls, working, variant);
    }

private:
    // The lists are refilled in the current language and the variant's
    // layout; every selection survives.
    void refreshTexts(HWND page) {
        const ListSelection mode = listSelection(page, IDC_SETTINGS_RECEIVER_MODE).value_or(0);
        fillList(page, IDC_SETTINGS_RECEIVER_MODE, textsOf(receiverModeEntries(variant_)));
        selectListIndex(page, IDC_SETTINGS_RECEIVER_MODE, mode);
        const ListSelection tracking = listSelection(page, IDC_SETTINGS_POWER_TRACKING).value_or(0);
        fillList(page, IDC_SETTINGS_POWER_TRACKING, textsOf(powerTrackingEntries()));
        selectListIndex(page, IDC_SETTINGS_POWER_TRACKING, tracking);
        const bool x = variant_ == DeviceVariant::X;
        if (x) {
            const ListSelection pairing = listSelection(page, IDC_SETTINGS_PAIRING_MODE).value_or(0);
            fillList(page, IDC_SETTINGS_PAIRING_MODE, textsOf(pairingModeEntries()));
            selectListIndex(page, IDC_SETTINGS_PAIRING_MODE, pairing);
        }
        showControl(page, IDC_SETTINGS_PAIRING_MODE, x);
        showControl(page, IDC_SETTINGS_PAIRING_MODE_LABEL, x);
        showControl(page, IDC_SETTINGS_DISCRETE_POWER_ON, x);
        showControl(page, IDC_SETTINGS_RECEIVER_HELP, true);
        placePowerNote(page);
        showReceiverHelp(page);
    }

    void showReceiverHelp(HWND page) {
        const ListSelection mode = listSelection(page, IDC_SETTINGS_RECEIVER_MODE);
        setControlText(page, IDC_SETTINGS_RECEIVER_HELP, i18n::text(receiverHelp(variant_, mode)));
        showControl(page, IDC_SETTINGS_POWER_NOTE, showsPowerNote(mode));
    }

    INT_PTR selectionChanged(HWND page, int id) {
        if (id == IDC_SETTINGS_RECEIVER_MODE) {
            showReceiverHelp(page);
            return TRUE;
        }
        if (id == IDC_SETTINGS_POWER_TRACKING) {
            // Only enabling changes; the tick stays and the store ignores it.
            enableControl(page, IDC_SETTINGS_DISCRETE_POWER_ON,
                          discretePowerOnUsable(listSelection(page, IDC_SETTINGS_POWER_TRACKING)));
            return TRUE;
        }
        return FALSE;
    }

    // The note sits under the help text, at its left edge.
    static void placePowerNote(HWND page) {
        RECT help{};
        GetWindowRect(GetDlgItem(page, IDC_SETTINGS_RECEIVER_HELP), &help);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&help), 2);
        HWND note = GetDlgItem(page, IDC_SETTINGS_POWER_NOTE);
        SetWindowPos(note, nullptr, help.left, help.top + kPowerNoteOffsetY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void setItalicNoteFont(HWND page) {
        HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
        LOGFONTW font{};
        if (dialogFont == nullptr || GetObjectW(dialogFont, sizeof font, &font) == 0) return;
        font.lfItalic = TRUE;
        HFONT italic = CreateFontIndirectW(&font);
        if (italic == nullptr) return;
        SendDlgItemMessageW(page, IDC_SETTINGS_POWER_NOTE, WM_SETFONT, reinterpret_cast<WPARAM>(italic), TRUE);
        if (italicFont_ != nullptr) DeleteObject(italicFont_);
        italicFont_ = italic;
    }

    DeviceVariant variant_ = DeviceVariant::Other;
    HFONT italicFont_ = nullptr;
};

}  // namespace

std::unique_ptr<app::PageWindow> makeSettingsPage() { return std::make_unique<SettingsPage>(); }

}  // namespace zelo::pages
