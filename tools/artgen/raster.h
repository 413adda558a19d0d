// Supersampled rendering of a scene described in integer design units.
// Everything is integer arithmetic, so every compiler and platform writes
// the same bytes.
#ifndef ZELO_ARTGEN_RASTER_H
#define ZELO_ARTGEN_RASTER_H

#include <cstdint>
#include <functional>

#include "image.h"

namespace artgen {

// One sample position; the design coordinate is x / unit, y / unit.
struct SamplePoint {
    std::int64_t x;
    std::int64_t y;
    std::int64_t unit;
};

using Scene = std::function<Rgba(const SamplePoint&)>;

// Samples per pixel along each axis.
inline constexpr int kSubsamples = 4;

// Renders `scene`, whose design space is `designWidth` units across the
// image (same scale vertically). 2 * kSubsamples * width must be a multiple
// of designWidth so that sample positions stay integral.
Image render(int width, int height, int designWidth, const Scene& scene);

// Shape tests in design units.
bool insideRect(const SamplePoint& p, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
bool insideRoundedRect(const SamplePoint& p, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                       std::int64_t radius);
// Squared distance from the point to (cx, cy), in squared sample units.
std::int64_t distanceSquared(const SamplePoint& p, std::int64_t cx, std::int64_t cy);
bool insideCircle(const SamplePoint& p, std::int64_t cx, std::int64_t cy, std::int64_t radius);
// Within halfWidth of the infinite line through (x0, y0) and (x1, y1).
bool nearLine(const SamplePoint& p, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
              std::int64_t halfWidth);

}  // namespace artgen

#endif
