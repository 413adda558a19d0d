#include "command_parser.h"

#include "command_table.h"

namespace zelo::sim {

void CommandParser::feed(const std::uint8_t *data, std::size_t length, std::vector<ParsedItem> *items) {
    for (std::size_t i = 0; i < length; ++i) take(data[i], items);
}

void CommandParser::take(std::uint8_t byte, std::vector<ParsedItem> *items) {
    if (current_.empty()) {
        const auto payload = cmd::payloadLength(byte);
        if (!payload) {
            items->push_back({false, {byte}});
            return;
        }
        needed_ = 1 + *payload;
    }
    current_.push_back(byte);
    // The serial transmit count byte tells how much more follows.
    if (current_[0] == cmd::kUartTransmit && current_.size() == 1 + cmd::kTransmitCountBytes) {
        needed_ += byte;
    }
    if (current_.size() == needed_) {
        items->push_back({true, std::move(current_)});
        current_.clear();
    }
}

}  // namespace zelo::sim
