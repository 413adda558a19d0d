#include "state_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "bt_module.h"
#include "crc16.h"
#include "file_replace.h"

namespace zelo::sim {

namespace {

constexpr char kMagic[] = "ZELO-SIM-STATE";  // with its terminating zero
constexpr std::uint8_t kFormatVersion = 1;
constexpr std::size_t kMagicSize = sizeof kMagic;
constexpr std::size_t kLoaderAt = kMagicSize + 1;
constexpr std::size_t kPagesAt = kLoaderAt + kVersionTextLength;
constexpr std::size_t kModuleAt = kPagesAt + kPageCount * kPageSize;
constexpr std::size_t kErasedFlagAt = kModuleAt + BluetoothModule::kMemorySize;
constexpr std::size_t kCrcAt = kErasedFlagAt + 1;
constexpr std::size_t kFileSize = kCrcAt + 2;
constexpr unsigned kByteBits = 8;
constexpr std::uint8_t kByteMask = 0xFF;

std::string loaderField(const std::string &loader) {
    std::string field = loader.substr(0, kVersionTextLength);
    field.resize(kVersionTextLength, ' ');
    return field;
}

std::vector<std::uint8_t> encode(const std::string &loader, const SavedState &state) {
    std::vector<std::uint8_t> bytes(kFileSize, 0);
    std::memcpy(bytes.data(), kMagic, kMagicSize);
    bytes[kMagicSize] = kFormatVersion;
    const std::string field = loaderField(loader);
    std::copy(field.begin(), field.end(), bytes.begin() + kLoaderAt);
    for (int i = 0; i < kPageCount; ++i) {
        std::copy(state.pages[i].begin(), state.pages[i].end(), bytes.begin() + kPagesAt + i * kPageSize);
    }
    std::copy_n(state.moduleMemory.begin(), std::min(state.moduleMemory.size(), BluetoothModule::kMemorySize),
                bytes.begin() + kModuleAt);
    bytes[kErasedFlagAt] = state.moduleErased ? 1 : 0;
    const std::uint16_t crc = crc16(bytes.data(), kCrcAt);
    bytes[kCrcAt] = static_cast<std::uint8_t>(crc >> kByteBits);
    bytes[kCrcAt + 1] = static_cast<std::uint8_t>(crc & kByteMask);
    return bytes;
}

bool decode(const std::vector<std::uint8_t> &bytes, const std::string &loader, SavedState *state,
            std::string *error) {
    if (bytes.size() != kFileSize || std::memcmp(bytes.data(), kMagic, kMagicSize) != 0) {
        *error = "not a simulator state file";
        return false;
    }
    if (bytes[kMagicSize] != kFormatVersion) {
        *error = "state file format " + std::to_string(bytes[kMagicSize]) + " is not known";
        return false;
    }
    const std::uint16_t crc = crc16(bytes.data(), kCrcAt);
    if (bytes[kCrcAt] != (crc >> kByteBits) || bytes[kCrcAt + 1] != (crc & kByteMask)) {
        *error = "the state file is damaged (CRC mismatch)";
        return false;
    }
    const std::string saved(bytes.begin() + kLoaderAt, bytes.begin() + kPagesAt);
    if (saved != loaderField(loader)) {
        *error = "the state file belongs to an accessory with loader '" + saved + "', not '" + loader + "'";
        return false;
    }
    for (int i = 0; i < kPageCount; ++i) {
        std::copy_n(bytes.begin() + kPagesAt + i * kPageSize, kPageSize, state->pages[i].begin());
    }
    state->moduleMemory.assign(bytes.begin() + kModuleAt, bytes.begin() + kErasedFlagAt);
    state->moduleErased = bytes[kErasedFlagAt] != 0;
    return true;
}


}  // namespace

std::vector<std::uint8_t> encodeState(const std::string &loader, const SavedState &state) {
    return encode(loader, state);
}

bool decodeState(const std::vector<std::uint8_t> &bytes, const std::string &loader, SavedState *state,
                 std::string *error) {
    return decode(bytes, loader, state, error);
}

StateLoad loadState(const std::string &path, const std::string &loader, SavedState *state, std::string *error) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) return StateLoad::Missing;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the state file";
        return StateLoad::Refused;
    }
    // One byte more than a state file has, so a longer file is seen as such.
    std::vector<std::uint8_t> bytes(kFileSize + 1);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return decode(bytes, loader, state, error) ? StateLoad::Loaded : StateLoad::Refused;
}

bool saveState(const std::string &path, const std::string &loader, const SavedState &state, std::string *error) {
    const std::vector<std::uint8_t> bytes = encode(loader, state);
    return device::writeFileReplacing(
        path, std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()), error);
}

}  // namespace zelo::sim
