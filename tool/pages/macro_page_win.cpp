// The macro editor page (template 134): ten rows of command, hold and
// delay controls over the macro editor's working array. Rows 8 and 9 stay
// hidden but load and store like the others.
#include <string>
#include <vector>

#include "catalogue.h"
#include "command_table.h"
#include "configuration_pages_win.h"
#include "macro_editor.h"
#include "page_controls_win.h"
#include "resource.h"
#include "texts_win.h"

namespace zelo::pages {
namespace {

constexpr int commandId(std::size_t row) { return IDC_MACRO_COMMAND_FIRST + static_cast<int>(row); }
constexpr int holdId(std::size_t row) { return IDC_MACRO_HOLD_FIRST + static_cast<int>(row); }
constexpr int delayId(std::size_t row) { return IDC_MACRO_DELAY_FIRST + static_cast<int>(row); }

static_assert(kMacroRows == IDC_MACRO_ROW_COUNT);

std::vector<std::wstring> stepListTexts() {
    std::vector<std::wstring> texts;
    for (const CommandListEntry &entry : commandList(CommandList::MacroStep)) {
        texts.push_back(CommandTable::commandNameText(entry.code));
    }
    return texts;
}

class MacroPage : public app::PageWindow {
public:
    ~MacroPage() override { i18n::setTextHook(IDD_PAGE_MACROS, {}); }

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
        if (window() == nullptr) return;
        editor_.load(working);
        showRows(window(), editor_.show(listSelection(window(), IDC_MACRO_SELECT)));
    }

    void store(device::ConfigRecord::Block &working, device::DeviceVariant) override {
        HWND page = window();
        if (page == nullptr) return;
        if (!editor_.store(rowsShown(page), working)) reportInvalidTimes(page);
    }

private:
    void create(HWND page) {
        const std::vector<std::wstring> steps = stepListTexts();
        for (std::size_t row = 0; row < kMacroRows; ++row) {
            fillList(page, commandId(row), steps);
        }
        showRows(page, freshRows());
        i18n::setTextHook(IDD_PAGE_MACROS, [](HWND window) { refreshTexts(window); });
        i18n::applyTexts(page, IDD_PAGE_MACROS);
    }

    // The macro list in the current language, its selection kept.
    static void refreshTexts(HWND page) {
        const std::size_t selected = listSelection(page, IDC_MACRO_SELECT).value_or(kPowerOffMacro);
        fillList(page, IDC_MACRO_SELECT, macroListTexts());
        selectListIndex(page, IDC_MACRO_SELECT, selected);
    }

    INT_PTR command(HWND page, int id, int code) {
        if (id == IDC_MACRO_SELECT && code == CBN_SELCHANGE) {
            switchMacro(page);
            return TRUE;
        }
        if (id == IDC_MACRO_DEFAULT && code == BN_CLICKED) {
            showRows(page, editor_.reset(listSelection(page, IDC_MACRO_SELECT)));
            return TRUE;
        }
        return FALSE;
    }

    void switchMacro(HWND page) {
        const std::optional<std::size_t> selection = listSelection(page, IDC_MACRO_SELECT);
        const std::optional<MacroRows> rows = editor_.select(rowsShown(page), selection);
        if (rows) {
            showRows(page, *rows);
            return;
        }
        // The rows of the macro left behind stay on screen to be corrected.
        selectListIndex(page, IDC_MACRO_SELECT, editor_.currentMacro());
        reportInvalidTimes(page);
    }

    static void reportInvalidTimes(HWND page) { showPageError(page, i18n::text(i18n::Msg::MacroTimeError)); }

    static void showRows(HWND page, const MacroRows &rows) {
        for (std::size_t row = 0; row < kMacroRows; ++row) {
            selectListIndex(page, commandId(row), rows[row].position);
            setControlText(page, holdId(row), rows[row].holdText);
            setControlText(page, delayId(row), rows[row].delayText);
        }
    }

    static MacroRows rowsShown(HWND page) {
        MacroRows rows;
        for (std::size_t row = 0; row < kMacroRows; ++row) {
            rows[row] = MacroRow{listSelection(page, commandId(row)), controlText(page, holdId(row)),
                                 controlText(page, delayId(row))};
        }
        return rows;
    }

    MacroEditor editor_;
};

}  // namespace

std::unique_ptr<app::PageWindow> makeMacroPage() { return std::make_unique<MacroPage>(); }

}  // namespace zelo::pages
