#include "byte_ring.h"

#include <algorithm>
#include <cstring>

namespace zelo {

ByteRing::ByteRing(std::uint8_t fill) : bytes_(kFifoSize, fill) {}

std::size_t ByteRing::size() const {
    const std::size_t capacity = bytes_.size();
    return capacity == 0 ? 0 : (write_ + capacity - read_) % capacity;
}

std::size_t ByteRing::room() const { return bytes_.empty() ? 0 : bytes_.size() - 1 - size(); }

std::size_t ByteRing::append(const std::uint8_t *data, std::size_t n) {
    const std::size_t stored = std::min(n, room());
    dropped_ += n - stored;
    if (stored == 0) return 0;
    const std::size_t capacity = bytes_.size();
    const std::size_t first = std::min(stored, capacity - write_);
    std::memcpy(bytes_.data() + write_, data, first);
    std::memcpy(bytes_.data(), data + first, stored - first);
    write_ = (write_ + stored) % capacity;
    return stored;
}

void ByteRing::take(std::uint8_t *out, std::size_t n) {
    if (n == 0) return;
    const std::size_t capacity = bytes_.size();
    const std::size_t first = std::min(n, capacity - read_);
    std::memcpy(out, bytes_.data() + read_, first);
    std::memcpy(out + first, bytes_.data(), n - first);
    read_ = (read_ + n) % capacity;
}

void ByteRing::clear() {
    read_ = 0;
    write_ = 0;
}

void ByteRing::fill(std::uint8_t value) { std::fill(bytes_.begin(), bytes_.end(), value); }

void ByteRing::release() {
    std::vector<std::uint8_t>().swap(bytes_);
    clear();
}

}  // namespace zelo
