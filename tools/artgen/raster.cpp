#include "raster.h"

#include <stdexcept>

namespace artgen {

namespace {

constexpr std::int64_t kSamplesPerPixel = kSubsamples * kSubsamples;

struct Accumulator {
    std::int64_t alpha = 0;
    std::int64_t red = 0;
    std::int64_t green = 0;
    std::int64_t blue = 0;

    void add(Rgba c) {
        alpha += c.a;
        red += std::int64_t{c.r} * c.a;
        green += std::int64_t{c.g} * c.a;
        blue += std::int64_t{c.b} * c.a;
    }

    // Colours are averaged weighted by opacity, so transparent samples do
    // not darken the edges.
    Rgba result() const {
        if (alpha == 0) return Rgba{};
        auto channel = [this](std::int64_t sum) { return static_cast<std::uint8_t>((sum + alpha / 2) / alpha); };
        return Rgba{channel(red), channel(green), channel(blue),
                    static_cast<std::uint8_t>((alpha + kSamplesPerPixel / 2) / kSamplesPerPixel)};
    }
};

}  // namespace

Image render(int width, int height, int designWidth, const Scene& scene) {
    const std::int64_t span = std::int64_t{2} * kSubsamples * width;
    if (designWidth <= 0 || span % designWidth != 0) throw std::invalid_argument("design width does not divide");
    const std::int64_t unit = span / designWidth;
    Image image(width, height);
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            Accumulator acc;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    // Sample centres sit at odd positions of a grid 2 * kSubsamples per pixel.
                    const SamplePoint p{(std::int64_t{px} * kSubsamples + sx) * 2 + 1,
                                        (std::int64_t{py} * kSubsamples + sy) * 2 + 1, unit};
                    acc.add(scene(p));
                }
            }
            image.set(px, py, acc.result());
        }
    }
    return image;
}

bool insideRect(const SamplePoint& p, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    return p.x >= x0 * p.unit && p.x < x1 * p.unit && p.y >= y0 * p.unit && p.y < y1 * p.unit;
}

bool insideRoundedRect(const SamplePoint& p, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                       std::int64_t radius) {
    if (!insideRect(p, x0, y0, x1, y1)) return false;
    // Outside the corner squares the rectangle test decides; inside one,
    // the corner's circle does.
    const bool left = p.x < (x0 + radius) * p.unit;
    const bool right = p.x >= (x1 - radius) * p.unit;
    const bool top = p.y < (y0 + radius) * p.unit;
    const bool bottom = p.y >= (y1 - radius) * p.unit;
    if (!(left || right) || !(top || bottom)) return true;
    return insideCircle(p, left ? x0 + radius : x1 - radius, top ? y0 + radius : y1 - radius, radius);
}

std::int64_t distanceSquared(const SamplePoint& p, std::int64_t cx, std::int64_t cy) {
    const std::int64_t dx = p.x - cx * p.unit;
    const std::int64_t dy = p.y - cy * p.unit;
    return dx * dx + dy * dy;
}

bool insideCircle(const SamplePoint& p, std::int64_t cx, std::int64_t cy, std::int64_t radius) {
    const std::int64_t r = radius * p.unit;
    return distanceSquared(p, cx, cy) <= r * r;
}

bool nearLine(const SamplePoint& p, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
              std::int64_t halfWidth) {
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    // |cross product| / length <= halfWidth, squared to stay in integers.
    const std::int64_t cross = (p.x - x0 * p.unit) * dy - (p.y - y0 * p.unit) * dx;
    const std::int64_t limit = halfWidth * p.unit;
    return cross * cross <= limit * limit * (dx * dx + dy * dy);
}

}  // namespace artgen
