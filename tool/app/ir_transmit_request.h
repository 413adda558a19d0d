// What an IR test asks the accessory to transmit, in the shapes the
// program's transmit queue and workers carry. The record itself (command,
// device code, start or stop) comes from tool/pages/ir_transmit.h, shared
// with the browser page; the IR page's Transmit button and the command line
// both go through here.
#ifndef ZELO_APP_IR_TRANSMIT_REQUEST_H
#define ZELO_APP_IR_TRANSMIT_REQUEST_H

#include "command_table.h"
#include "ir_transmit.h"
#include "ir_transmit_queue.h"

namespace zelo::app {

// The part of a request that is sent is one transmit record.
static_assert(kIrTransmitFrameSize == pages::kIrRecordSize, "a frame is one transmit record");

// The request that starts (or stops) transmitting code.
IrTransmitRequest transmitRequest(pages::CommandCode code, bool start);

// The frame of a request that goes to the accessory.
IrTransmitFrame transmitFrame(const IrTransmitRequest &request);

}  // namespace zelo::app

#endif
