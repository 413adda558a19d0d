#include "ir_page_win.h"

#include <string>

#include "app_state.h"
#include "resource.h"
#include "tab_pages_win.h"
#include "texts_win.h"
#include "workers_win.h"

namespace zelo::pages {

namespace {

constexpr wchar_t kPreviousProcProperty[] = L"ZeloTransmitPreviousProc";

constexpr int kTransmitControls[] = {IDC_IR_TRANSMIT, IDC_IR_TRANSMIT_GROUP, IDC_IR_COMMAND};

bool xModelConnected() {
    const device::CDeviceLink *link = app::deviceLink();
    return app::deviceConnected() && link != nullptr && link->variant() == device::DeviceVariant::X;
}

// The button reports its own pressed and released states to the page as
// the start and stop commands, then behaves as before.
LRESULT CALLBACK transmitButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(button, kPreviousProcProperty));
    if (message == BM_SETSTATE) {
        const int command = wParam != FALSE ? IDC_IR_TRANSMIT_START : IDC_IR_TRANSMIT_STOP;
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(button, kPreviousProcProperty);
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return previous != nullptr ? CallWindowProcW(previous, button, message, wParam, lParam)
                               : DefWindowProcW(button, message, wParam, lParam);
}

void subclassTransmitButton(HWND page) {
    HWND button = GetDlgItem(page, IDC_IR_TRANSMIT);
    if (button == nullptr) return;
    const LONG_PTR previous = GetWindowLongPtrW(button, GWLP_WNDPROC);
    SetPropW(button, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(transmitButtonProc));
}

void fillCommandList(HWND page) {
    HWND list = GetDlgItem(page, IDC_IR_COMMAND);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const CommandListEntry &entry : commandList(CommandList::IrTransmit)) {
        const std::wstring name(entry.name.begin(), entry.name.end());
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
}

}  // namespace

app::IrTransmitRequest transmitStartRequest(std::size_t listIndex) {
    return app::transmitRequest(commandOfListIndex(CommandList::IrTransmit, listIndex), true);
}

INT_PTR IrPage::handleMessage(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        initialise();
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_IR_TRANSMIT_START:
        startTransmit();
        return TRUE;
    case IDC_IR_TRANSMIT_STOP:
        stopTransmit();
        return TRUE;
    default:
        return FALSE;
    }
}

void IrPage::initialise() {
    subclassTransmitButton(window());
    // A language change or a later connect comes back here through the hook;
    // the page object is looked up, as the hook may outlive it.
    i18n::setTextHook(IDD_PAGE_IR, [](HWND) {
        if (auto *page = dynamic_cast<IrPage *>(app::pageWindow(app::PageIndex::TransmitReceive))) page->refreshTexts();
    });
    fillCommandList(window());
    refreshTexts();
}

void IrPage::refreshTexts() {
    if (window() == nullptr || !xModelConnected()) return;
    for (const int control : kTransmitControls) ShowWindow(GetDlgItem(window(), control), SW_SHOW);
}

// The button may report its pressed state more than once while held; one
// start and one stop go out per press.
void IrPage::startTransmit() {
    if (transmitting_) return;
    const LRESULT selected = SendDlgItemMessageW(window(), IDC_IR_COMMAND, CB_GETCURSEL, 0, 0);
    request_ = transmitStartRequest(selected < 0 ? 0 : static_cast<std::size_t>(selected));
    transmitting_ = true;
    app::startTransmitIr(request_);
}

void IrPage::stopTransmit() {
    if (!transmitting_) return;
    transmitting_ = false;
    request_[app::kTransmitRecordState] = kTransmitStop;
    app::startTransmitIr(request_);
}

void IrPage::irStatus(const app::IrStatusRecord &record) {
    if (window() == nullptr) return;
    const std::wstring name = CommandTable::commandNameText(record[kIrStatusCommandByte]);
    SetDlgItemTextW(window(), IDC_IR_LAST_RECEIVED, name.c_str());
}

std::unique_ptr<app::PageWindow> makeIrPage() { return std::make_unique<IrPage>(); }

}  // namespace zelo::pages
