// A small RGBA raster and the colour arithmetic the art generator needs.
#ifndef ZELO_ARTGEN_IMAGE_H
#define ZELO_ARTGEN_IMAGE_H

#include <cstdint>
#include <vector>

namespace artgen {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    bool operator==(const Rgba&) const = default;
};

inline constexpr std::uint8_t kOpaque = 255;

constexpr Rgba rgb(std::uint32_t hex) {
    return Rgba{static_cast<std::uint8_t>(hex >> 16), static_cast<std::uint8_t>(hex >> 8),
                static_cast<std::uint8_t>(hex), kOpaque};
}

// `over` laid on `under` with the given opacity (0..255); the result keeps
// the opacity of `under`.
Rgba blend(Rgba under, Rgba over, int opacity);

// Linear mix from `from` (at 0) to `to` (at `den`), rounded.
Rgba mix(Rgba from, Rgba to, std::int64_t num, std::int64_t den);

class Image {
public:
    Image(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    // Rows top to bottom, as drawn.
    Rgba at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgba c) { pixels_[index(x, y)] = c; }

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

}  // namespace artgen

#endif
