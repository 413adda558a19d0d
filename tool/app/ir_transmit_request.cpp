#include "ir_transmit_request.h"

#include <algorithm>

namespace zelo::app {

IrTransmitRequest transmitRequest(pages::CommandCode code, bool start) {
    const bool key = pages::CommandTable::isControllerKey(code);
    IrTransmitRequest request{};
    request[kTransmitRecordCommand] = code;
    request[kTransmitRecordB0] = key ? kTransmitKeyB0 : kTransmitOtherB0;
    request[kTransmitRecordB1] = key ? kTransmitKeyB1 : kTransmitOtherB1;
    request[kTransmitRecordState] = start ? kTransmitStart : kTransmitStop;
    return request;
}

IrTransmitFrame transmitFrame(const IrTransmitRequest &request) {
    IrTransmitFrame frame{};
    std::copy_n(request.begin(), frame.size(), frame.begin());
    return frame;
}

}  // namespace zelo::app
