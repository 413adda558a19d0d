// The device code page (template 135): the preset list and the code edit,
// parsed into both places of the block on every store.
#include <string>

#include "app_state.h"
#include "catalogue.h"
#include "configuration_pages_win.h"
#include "device_code.h"
#include "page_controls_win.h"
#include "resource.h"
#include "texts_win.h"

namespace zelo::pages {
namespace {

constexpr std::size_t kDefaultPreset = 0;

class DeviceCodePage : public app::PageWindow {
public:
    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM) override {
        switch (message) {
        case WM_INITDIALOG:
            create(page);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_DEVCODE_PRESET && HIWORD(wParam) == CBN_SELCHANGE) {
                presetChosen(page);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

    void load(device::ConfigRecord::Block &working, device::DeviceVariant) override {
        HWND page = window();
        if (page == nullptr) return;
        const DeviceCodeView view = viewOf(shownCodeBytes(working, true));
        setControlText(page, IDC_DEVCODE_EDIT, view.text);
        selectListIndex(page, IDC_DEVCODE_PRESET, view.listIndex);
    }

    // A malformed code is reported each time and leaves the block as it was.
    void store(device::ConfigRecord::Block &working, device::DeviceVariant) override {
        HWND page = window();
        if (page == nullptr) return;
        std::wstring text = controlText(page, IDC_DEVCODE_EDIT);
        if (text.size() > kDeviceCodeTextLimit) text.resize(kDeviceCodeTextLimit);
        if (!storeDeviceCodeText(text, working)) showPageError(page, i18n::text(i18n::Msg::DeviceCodeFormatError));
    }

private:
    static void create(HWND page) {
        i18n::applyTexts(page, IDD_PAGE_DEVICE_CODE);
        enableControl(page, IDC_DEVCODE_EDIT, false);
        setControlText(page, IDC_DEVCODE_EDIT, std::wstring(presetCodeText(kDefaultPreset)));
        // Built once: later language changes keep these entries.
        fillList(page, IDC_DEVCODE_PRESET, deviceCodeListTexts());
        selectListIndex(page, IDC_DEVCODE_PRESET, kDefaultPreset);
    }

    static void presetChosen(HWND page) {
        const std::size_t index = listSelection(page, IDC_DEVCODE_PRESET).value_or(kDefaultPreset);
        if (index != kCustomIndex) {
            setControlText(page, IDC_DEVCODE_EDIT, std::wstring(presetCodeText(index)));
            enableControl(page, IDC_DEVCODE_EDIT, false);
            return;
        }
        enableControl(page, IDC_DEVCODE_EDIT, true);
        device::CDeviceLink *link = app::deviceLink();
        const bool connected = link != nullptr && app::deviceConnected();
        const device::ConfigRecord::Block none{};
        const DeviceCodeView view =
            viewOf(shownCodeBytes(connected ? link->record.workingCopy() : none, connected));
        setControlText(page, IDC_DEVCODE_EDIT, view.text);
    }
};

}  // namespace

std::unique_ptr<app::PageWindow> makeDeviceCodePage() { return std::make_unique<DeviceCodePage>(); }

}  // namespace zelo::pages
