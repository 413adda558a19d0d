// libFuzzer target for the simulator's state file. The first input byte
// chooses the model whose file is read and whether the CRC is set right
// before reading (so the checks behind it are reached); the rest is the
// file. Any file is either refused with a reason and the state untouched,
// or read into a state that, written again, reads back the same. Any broken
// invariant traps.
#include "state_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace zelo::sim;

constexpr std::uint8_t kFixCrc = 0x01;
constexpr std::uint8_t kXModel = 0x02;
constexpr std::size_t kCrcSize = 2;
constexpr unsigned kByteBits = 8;
constexpr std::uint8_t kSentinel = 0xA5;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// CRC-16/CCITT-FALSE, written out here so the target does not check the
// file's CRC with the code under test.
std::uint16_t crc16(const std::uint8_t *data, std::size_t length)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc = static_cast<std::uint16_t>(crc ^ (data[i] << kByteBits));
        for (unsigned bit = 0; bit < kByteBits; ++bit)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

SavedState sentinelState()
{
    SavedState state;
    for (Page &page : state.pages)
        page.fill(kSentinel);
    state.moduleMemory.assign(1, kSentinel);
    state.moduleErased = true;
    return state;
}

bool sameState(const SavedState &a, const SavedState &b)
{
    return a.pages == b.pages && a.moduleMemory == b.moduleMemory && a.moduleErased == b.moduleErased;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    const std::string loader = mode & kXModel ? "1.01" : "1.00";
    std::vector<std::uint8_t> file(data + 1, data + size);
    if ((mode & kFixCrc) && file.size() >= kCrcSize) {
        const std::uint16_t crc = crc16(file.data(), file.size() - kCrcSize);
        file[file.size() - kCrcSize] = static_cast<std::uint8_t>(crc >> kByteBits);
        file[file.size() - 1] = static_cast<std::uint8_t>(crc);
    }

    SavedState state = sentinelState();
    std::string error;
    if (!decodeState(file, loader, &state, &error)) {
        require(!error.empty());
        require(sameState(state, sentinelState()));
        return 0;
    }
    require(error.empty());
    require(state.moduleMemory.size() <= file.size());

    // Written again, the state reads back as it is, and only a file of
    // this model takes it.
    const std::vector<std::uint8_t> again = encodeState(loader, state);
    SavedState reread = sentinelState();
    require(decodeState(again, loader, &reread, &error));
    require(sameState(state, reread));
    require(encodeState(loader, reread) == again);
    SavedState other = sentinelState();
    require(!decodeState(again, mode & kXModel ? "1.00" : "1.01", &other, &error));
    require(sameState(other, sentinelState()));
    return 0;
}
