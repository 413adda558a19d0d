#include <windows.h>

#include <commctrl.h>

#include "app_state.h"
#include "dialogs_win.h"
#include "pairing_animation.h"
#include "resource.h"
#include "texts_win.h"
#include "workers_win.h"

namespace zelo::app {

namespace {

constexpr INT_PTR kClosedResult = -1;

void setPairingBar(HWND dialog, int position) {
    SendDlgItemMessageW(dialog, IDC_PAIR_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void startPairing(HWND dialog) {
    restartPairing(processState().pairingProgress);
    setPairingBar(dialog, processState().pairingProgress);
    SetTimer(dialog, kPairingTimerId, kPairingTimerMs, nullptr);
    startWorker(PairRequest);
}

void pairingTick(HWND dialog) {
    const PairingTick tick = advancePairing(processState().pairingProgress);
    setPairingBar(dialog, tick.position);
    if (tick.finished) KillTimer(dialog, kPairingTimerId);
}

}  // namespace

void runPairingDialog(HWND owner) {
    DialogBoxParamW(windowState().instance, MAKEINTRESOURCEW(IDD_PAIRING), owner, pairingDialogProc, 0);
    windowState().pairingDialog = nullptr;
}

INT_PTR CALLBACK pairingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        i18n::applyTexts(dialog, IDD_PAIRING);
        windowState().pairingDialog = dialog;
        return TRUE;
    case WM_TIMER:
        pairingTick(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PAIR_START) {
            startPairing(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_PAIR_CLOSE) {
            EndDialog(dialog, kClosedResult);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zelo::app
