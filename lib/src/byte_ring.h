// Fixed ring of bytes with a read and a write index; one slot stays free so
// that equal indices mean "empty". Not locked: the owner guards it. A
// closed device releases its rings' storage (nearly all of a device
// object), after which a ring holds and takes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "constants.h"

namespace zelo {

class ByteRing {
public:
    explicit ByteRing(std::uint8_t fill = 0);

    std::size_t size() const;
    std::size_t room() const;

    // Stores what fits and drops the rest, so unread bytes are never
    // overwritten. Returns the number stored.
    std::size_t append(const std::uint8_t *data, std::size_t n);
    // Takes n bytes; the caller checked size() >= n.
    void take(std::uint8_t *out, std::size_t n);

    // Both indices to 0; the bytes stay.
    void clear();
    void fill(std::uint8_t value);
    // Frees the storage for good: nothing is held or taken any more.
    void release();

    // Bytes of storage the ring holds.
    std::size_t capacity() const { return bytes_.size(); }

    // Bytes refused by append() because the ring was full.
    std::uint64_t dropped() const { return dropped_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t read_ = 0;
    std::size_t write_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace zelo
