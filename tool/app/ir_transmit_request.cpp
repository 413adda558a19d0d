#include "ir_transmit_request.h"

#include <algorithm>

namespace zelo::app {

IrTransmitRequest transmitRequest(pages::CommandCode code, bool start) {
    const pages::IrTransmitRecord record = pages::irTransmitRecordOfCode(code, start);
    IrTransmitRequest request{};
    std::copy(record.begin(), record.end(), request.begin());  // the fifth byte stays 0
    return request;
}

IrTransmitFrame transmitFrame(const IrTransmitRequest &request) {
    IrTransmitFrame frame{};
    std::copy_n(request.begin(), frame.size(), frame.begin());
    return frame;
}

}  // namespace zelo::app
