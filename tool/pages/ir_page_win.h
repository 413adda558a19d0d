// The IR transmit/receive tab: the name of the last IR command the
// accessory received while the tab is selected, and on the X model a
// Transmit button that makes the accessory send the chosen command for as
// long as it is held down.
#ifndef ZELO_PAGES_IR_PAGE_WIN_H
#define ZELO_PAGES_IR_PAGE_WIN_H

#include <windows.h>

#include <cstdint>
#include <memory>

#include "command_table.h"
#include "ir_transmit_queue.h"
#include "ir_transmit_request.h"
#include "page_window_win.h"

namespace zelo::pages {

using app::kIrStatusCommandByte;
using app::kTransmitKeyB0;
using app::kTransmitKeyB1;
using app::kTransmitOtherB0;
using app::kTransmitOtherB1;
using app::kTransmitStart;
using app::kTransmitStop;

// The transmit request for the command at a position of the IR transmit
// list, with the start state.
app::IrTransmitRequest transmitStartRequest(std::size_t listIndex);

class IrPage final : public app::PageWindow {
public:
    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    void irStatus(const app::IrStatusRecord &record) override;

    // Shows the transmit group once an X model is connected.
    void refreshTexts();

private:
    void initialise();
    void startTransmit();
    void stopTransmit();

    app::IrTransmitRequest request_{};
    bool transmitting_ = false;  // a start went out and its stop not yet
};

std::unique_ptr<app::PageWindow> makeIrPage();

}  // namespace zelo::pages

#endif
