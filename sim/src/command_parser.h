// Cuts the data bytes of output reports, taken as one byte stream, into
// commands. A command may span any number of reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelo::sim {

struct ParsedItem {
    bool known;                       // false: a byte that starts no known command
    std::vector<std::uint8_t> bytes;  // code then payload, or the unknown byte
};

class CommandParser {
public:
    // Appends to items every command completed by data, in order.
    void feed(const std::uint8_t *data, std::size_t length, std::vector<ParsedItem> *items);
    bool idle() const { return current_.empty(); }

private:
    void take(std::uint8_t byte, std::vector<ParsedItem> *items);

    std::vector<std::uint8_t> current_;
    std::size_t needed_ = 0;  // total length of the command being collected
};

}  // namespace zelo::sim
