// runLanguageDialog: the modal dialog in which the user picks a language.
#include "resource.h"
#include "texts.h"
#include "texts_win.h"

namespace zelo::i18n {
namespace {

// Present in the template for a language the catalogue does not carry.
constexpr int kHiddenControls[] = {IDC_LANGUAGE_DUTCH, IDC_LANGUAGE_FLAG_DUTCH};

void tickCurrentLanguage(HWND dialog) {
    const Column current = textColumn();
    for (const Language &language : languages()) {
        const UINT state = language.column == current ? BST_CHECKED : BST_UNCHECKED;
        CheckDlgButton(dialog, language.radioId, state);
    }
}

void openDialog(HWND dialog) {
    if (!languageColumn()) setLanguage(kEnglishKey);
    applyTexts(dialog, IDD_LANGUAGE);
    for (const Language &language : languages()) {
        SetDlgItemTextW(dialog, language.radioId, std::wstring(language.label).c_str());
    }
    for (int control : kHiddenControls) ShowWindow(GetDlgItem(dialog, control), SW_HIDE);
    tickCurrentLanguage(dialog);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
}

void confirm(HWND dialog) {
    setLanguage(confirmedLanguageKey(
        [dialog](int radioId) { return IsDlgButtonChecked(dialog, radioId) == BST_CHECKED; }));
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK languageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        openDialog(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_LANGUAGE_OK:
        confirm(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool runLanguageDialog(HWND owner) {
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LANGUAGE), owner,
                                           languageDialogProc, 0);
    return result == IDOK;
}

}  // namespace zelo::i18n
