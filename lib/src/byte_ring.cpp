#include "byte_ring.h"

#include <algorithm>
#include <cstring>

namespace zelo {

ByteRing::ByteRing(std::uint8_t fill) { bytes_.fill(fill); }

std::size_t ByteRing::size() const { return (write_ + kFifoSize - read_) % kFifoSize; }

std::size_t ByteRing::room() const { return kFifoSize - 1 - size(); }

std::size_t ByteRing::append(const std::uint8_t *data, std::size_t n) {
    const std::size_t stored = std::min(n, room());
    dropped_ += n - stored;
    const std::size_t first = std::min(stored, kFifoSize - write_);
    std::memcpy(bytes_.data() + write_, data, first);
    std::memcpy(bytes_.data(), data + first, stored - first);
    write_ = (write_ + stored) % kFifoSize;
    return stored;
}

void ByteRing::take(std::uint8_t *out, std::size_t n) {
    const std::size_t first = std::min(n, kFifoSize - read_);
    std::memcpy(out, bytes_.data() + read_, first);
    std::memcpy(out + first, bytes_.data(), n - first);
    read_ = (read_ + n) % kFifoSize;
}

void ByteRing::clear() {
    read_ = 0;
    write_ = 0;
}

void ByteRing::fill(std::uint8_t value) { bytes_.fill(value); }

}  // namespace zelo
