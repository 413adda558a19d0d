#include "app_state.h"
#include "dialogs_win.h"
#include "resource.h"
#include "texts_win.h"

namespace zelo::app {

namespace {

constexpr INT_PTR kConfirmedResult = 0;
constexpr INT_PTR kClosedResult = -1;

}  // namespace

void runAboutDialog(HWND owner) {
    DialogBoxParamW(windowState().instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, aboutDialogProc, 0);
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        i18n::applyTexts(dialog, IDD_ABOUT);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, kConfirmedResult);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, kClosedResult);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zelo::app
