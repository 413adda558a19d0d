// The key mapping page (template 153): one entry of the key map at a time,
// settled or pending; a confirmed entry goes straight into the working
// copy.
#include <string>
#include <vector>

#include "app_state.h"
#include "command_table.h"
#include "configuration_pages_win.h"
#include "key_mapping.h"
#include "page_controls_win.h"
#include "resource.h"
#include "texts_win.h"

namespace zelo::pages {
namespace {

constexpr std::size_t kFirstIrIndex = 0;

std::vector<std::wstring> listTexts(CommandList list) {
    std::vector<std::wstring> texts;
    for (const CommandListEntry &entry : commandList(list)) texts.push_back(CommandTable::commandNameText(entry.code));
    return texts;
}

// The working copy the page edits; empty without a connected model.
std::span<std::uint8_t> workingBlock() {
    device::CDeviceLink *link = app::deviceLink();
    if (link == nullptr) return {};
    return link->record.workingCopy();
}

class KeyMappingPage : public app::PageWindow {
public:
    ~KeyMappingPage() override { i18n::setTextHook(IDD_PAGE_KEY_MAPPING, {}); }

    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM) override {
        switch (message) {
        case WM_INITDIALOG:
            create(page);
            return TRUE;
        case WM_COMMAND:
            return command(page, LOWORD(wParam), HIWORD(wParam));
        default:
            return FALSE;
        }
    }

    void load(device::ConfigRecord::Block &working, device::DeviceVariant) override {
        block_ = working;
        if (window() != nullptr) showMapping(window(), kFirstIrIndex);
    }
    // Confirmed entries are in the working copy already.
    void store(device::ConfigRecord::Block &, device::DeviceVariant) override {}

private:
    void create(HWND page) {
        fillList(page, IDC_KEYMAP_IR_LIST, listTexts(CommandList::KeyMapIr));
        fillList(page, IDC_KEYMAP_PS3_LIST, listTexts(CommandList::KeyMapPs3));
        selectListIndex(page, IDC_KEYMAP_IR_LIST, kFirstIrIndex);
        selectListIndex(page, IDC_KEYMAP_PS3_LIST, kFirstIrIndex);
        updateEnabled(page);
        i18n::setTextHook(IDD_PAGE_KEY_MAPPING, [this](HWND window) { refreshTexts(window); });
    }

    void refreshTexts(HWND page) {
        setControlText(page, IDC_KEYMAP_IR_LABEL, L"IR");
        showMapping(page, kFirstIrIndex);
    }

    // The block the page was loaded with, while its link still exists.
    std::span<std::uint8_t> block() const {
        const std::span<std::uint8_t> working = workingBlock();
        return working.data() == block_.data() ? working : std::span<std::uint8_t>{};
    }

    void showMapping(HWND page, std::size_t irIndex) {
        const std::span<std::uint8_t> working = block();
        if (!working.empty()) {
            model_.showMapping(working, irIndex);
        } else {
            model_.cancel();  // nothing to read: drop a pending edit
        }
        selectListIndex(page, IDC_KEYMAP_IR_LIST, working.empty() ? irIndex : model_.irIndex());
        selectListIndex(page, IDC_KEYMAP_PS3_LIST, model_.selectedPosition());
        updateEnabled(page);
    }

    INT_PTR command(HWND page, int id, int code) {
        if (code == CBN_SELCHANGE && id == IDC_KEYMAP_IR_LIST) {
            showMapping(page, listSelection(page, IDC_KEYMAP_IR_LIST).value_or(kFirstIrIndex));
            return TRUE;
        }
        if (code == CBN_SELCHANGE && id == IDC_KEYMAP_PS3_LIST) {
            model_.selectPs3(listSelection(page, IDC_KEYMAP_PS3_LIST).value_or(model_.committedPosition()));
            updateEnabled(page);
            return TRUE;
        }
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
        case IDC_KEYMAP_OK:
            confirm(page);
            return TRUE;
        case IDC_KEYMAP_CANCEL:
            model_.cancel();
            selectListIndex(page, IDC_KEYMAP_PS3_LIST, model_.selectedPosition());
            updateEnabled(page);
            return TRUE;
        case IDC_KEYMAP_DEFAULT:
            restoreDefault(page);
            return TRUE;
        default:
            return FALSE;
        }
    }

    void confirm(HWND page) {
        const std::span<std::uint8_t> working = block();
        if (working.empty()) {
            model_.cancel();
        } else {
            model_.ok(working);
        }
        selectListIndex(page, IDC_KEYMAP_PS3_LIST, model_.selectedPosition());
        updateEnabled(page);
    }

    void restoreDefault(HWND page) {
        const std::span<std::uint8_t> working = block();
        if (!working.empty()) model_.restoreDefault(working);
        showMapping(page, kFirstIrIndex);
    }

    void updateEnabled(HWND page) const {
        enableControl(page, IDC_KEYMAP_IR_LIST, model_.irListEnabled());
        enableControl(page, IDC_KEYMAP_OK, model_.okCancelEnabled());
        enableControl(page, IDC_KEYMAP_CANCEL, model_.okCancelEnabled());
    }

    KeyMapping model_;
    std::span<std::uint8_t> block_;
};

}  // namespace

std::unique_ptr<app::PageWindow> makeKeyMappingPage() { return std::make_unique<KeyMappingPage>(); }

}  // namespace zelo::pages
