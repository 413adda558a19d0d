#include "ir_transmit.h"

#include "command_table.h"

namespace zelo::pages {

IrTransmitRecord irTransmitRecordOfCode(CommandCode code, bool start) {
    const bool key = CommandTable::isControllerKey(code);
    IrTransmitRecord record{};
    record[kIrRecordCommand] = code;
    record[kIrRecordB0] = key ? kTransmitKeyB0 : kTransmitOtherB0;
    record[kIrRecordB1] = key ? kTransmitKeyB1 : kTransmitOtherB1;
    record[kIrRecordState] = start ? kTransmitStart : kTransmitStop;
    return record;
}

IrTransmitRecord irTransmitRecord(std::size_t listIndex, bool start) {
    return irTransmitRecordOfCode(commandOfListIndex(CommandList::IrTransmit, listIndex), start);
}

}  // namespace zelo::pages
