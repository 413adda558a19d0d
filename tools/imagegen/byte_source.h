// Deterministic pseudo-random bytes (splitmix64), so the generated images
// are the same on every machine and every run.
#ifndef ZELO_IMAGEGEN_BYTE_SOURCE_H
#define ZELO_IMAGEGEN_BYTE_SOURCE_H

#include <cstdint>

namespace zelo::imagegen {

class ByteSource {
public:
    explicit ByteSource(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += kIncrement);
        z = (z ^ (z >> 30)) * kMix1;
        z = (z ^ (z >> 27)) * kMix2;
        return z ^ (z >> 31);
    }

    std::uint8_t byte() { return static_cast<std::uint8_t>(next() >> kTopByteShift); }

    // Uniform enough for layout choices; n must be above 0.
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>((next() >> kHighWordShift) % n); }

private:
    static constexpr std::uint64_t kIncrement = 0x9E3779B97F4A7C15ull;
    static constexpr std::uint64_t kMix1 = 0xBF58476D1CE4E5B9ull;
    static constexpr std::uint64_t kMix2 = 0x94D049BB133111EBull;
    static constexpr unsigned kTopByteShift = 56;
    static constexpr unsigned kHighWordShift = 32;
    std::uint64_t state_;
};

}  // namespace zelo::imagegen

#endif
