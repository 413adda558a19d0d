// An accessory's memory kept in a file, so that a simulated accessory
// outlives the process that plugged it: its flash pages and its Bluetooth
// module's memory, tagged with the accessory's loader text so that a file
// of another model is refused, and closed by a CRC so that a damaged file
// is refused too, never silently replaced.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "flash.h"

namespace zelo::sim {

struct SavedState {
    std::array<Page, kPageCount> pages{};
    std::vector<std::uint8_t> moduleMemory;
    bool moduleErased = false;
};

enum class StateLoad { Loaded, Missing, Refused };

// Reads path into state. Missing when there is no such file; Refused, with
// the reason in error, when it is not a state file of an accessory with
// this loader text.
StateLoad loadState(const std::string &path, const std::string &loader, SavedState *state, std::string *error);

// Writes a new file beside path and renames it over path, so a reader (or a
// crash) sees the old state or the new one, never half of each.
bool saveState(const std::string &path, const std::string &loader, const SavedState &state, std::string *error);

// The file's bytes for state, and back. decodeState refuses, with the
// reason in error, whatever loadState refuses; the two are the file format.
std::vector<std::uint8_t> encodeState(const std::string &loader, const SavedState &state);
bool decodeState(const std::vector<std::uint8_t> &bytes, const std::string &loader, SavedState *state,
                 std::string *error);

}  // namespace zelo::sim
