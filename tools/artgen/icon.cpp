#include "icon.h"

#include <vector>

#include "raster.h"

namespace artgen {

namespace {

// Design space of the emblem, whatever the rendered size.
constexpr int kDesign = 128;

// Tile with a darker rim and a top-to-bottom gradient.
constexpr std::int64_t kTileInset = 4;
constexpr std::int64_t kTileRadius = 24;
constexpr std::int64_t kRimWidth = 4;
constexpr Rgba kTileTop = rgb(0x3E8EE0);
constexpr Rgba kTileBottom = rgb(0x174A9A);
constexpr Rgba kTileRim = rgb(0x10336E);

// The remote, lower left, with an IR window on top and four keys.
constexpr std::int64_t kRemoteLeft = 18;
constexpr std::int64_t kRemoteTop = 62;
constexpr std::int64_t kRemoteRight = 54;
constexpr std::int64_t kRemoteBottom = 114;
constexpr std::int64_t kRemoteRadius = 10;
constexpr std::int64_t kRemoteEdge = 3;
constexpr Rgba kRemoteBody = rgb(0xF4F6FA);
constexpr Rgba kRemoteOutline = rgb(0x8C99AD);
constexpr std::int64_t kLedX = 36;
constexpr std::int64_t kLedY = 74;
constexpr std::int64_t kLedRadius = 5;
constexpr Rgba kLed = rgb(0xE53935);
constexpr std::int64_t kKeyRadius = 4;
constexpr std::int64_t kKeyColumns[] = {29, 43};
constexpr std::int64_t kKeyRows[] = {88, 101};
constexpr Rgba kKey = rgb(0x4F5F78);

// Waves: rings around a point above the IR window, cut to a sector about
// the upward-right diagonal; outer rings fade. The small icon gets fewer,
// bolder rings and a plain remote so it stays legible at 16 pixels.
constexpr std::int64_t kWaveX = 38;
constexpr std::int64_t kWaveY = 62;
struct Ring {
    std::int64_t inner;
    std::int64_t outer;
    int opacity;
};
struct Style {
    std::vector<Ring> rings;
    bool keys;
};
const Style kLargeStyle{{{16, 24, 255}, {32, 40, 200}, {48, 56, 140}}, true};
const Style kSmallStyle{{{18, 30, 255}, {42, 54, 210}}, false};
// Sector half-angle: |a - b| * kSectorDen <= (a + b) * kSectorNum, about 25 degrees.
constexpr std::int64_t kSectorNum = 7;
constexpr std::int64_t kSectorDen = 15;
constexpr Rgba kWave = rgb(0xFFFFFF);

Rgba tile(const SamplePoint& p) {
    const std::int64_t inner = kTileInset + kRimWidth;
    if (!insideRoundedRect(p, inner, inner, kDesign - inner, kDesign - inner, kTileRadius - kRimWidth)) {
        return kTileRim;
    }
    return mix(kTileTop, kTileBottom, p.y - inner * p.unit, (kDesign - 2 * inner) * p.unit);
}

bool insideWaveSector(const SamplePoint& p) {
    const std::int64_t right = p.x - kWaveX * p.unit;
    const std::int64_t up = kWaveY * p.unit - p.y;
    if (right <= 0 || up <= 0) return false;
    const std::int64_t skew = right > up ? right - up : up - right;
    return skew * kSectorDen <= (right + up) * kSectorNum;
}

Rgba waves(const SamplePoint& p, const Style& style, Rgba under) {
    if (!insideWaveSector(p)) return under;
    const std::int64_t d2 = distanceSquared(p, kWaveX, kWaveY);
    for (const Ring& ring : style.rings) {
        const std::int64_t inner = ring.inner * p.unit;
        const std::int64_t outer = ring.outer * p.unit;
        if (d2 >= inner * inner && d2 <= outer * outer) return blend(under, kWave, ring.opacity);
    }
    return under;
}

bool onKey(const SamplePoint& p) {
    for (std::int64_t y : kKeyRows) {
        for (std::int64_t x : kKeyColumns) {
            if (insideCircle(p, x, y, kKeyRadius)) return true;
        }
    }
    return false;
}

Rgba remote(const SamplePoint& p, const Style& style, Rgba under) {
    if (!insideRoundedRect(p, kRemoteLeft, kRemoteTop, kRemoteRight, kRemoteBottom, kRemoteRadius)) return under;
    if (!insideRoundedRect(p, kRemoteLeft + kRemoteEdge, kRemoteTop + kRemoteEdge, kRemoteRight - kRemoteEdge,
                           kRemoteBottom - kRemoteEdge, kRemoteRadius - kRemoteEdge)) {
        return kRemoteOutline;
    }
    if (insideCircle(p, kLedX, kLedY, kLedRadius)) return kLed;
    if (style.keys && onKey(p)) return kKey;
    return kRemoteBody;
}

Rgba emblem(const SamplePoint& p, const Style& style) {
    if (!insideRoundedRect(p, kTileInset, kTileInset, kDesign - kTileInset, kDesign - kTileInset, kTileRadius)) {
        return Rgba{};
    }
    return remote(p, style, waves(p, style, tile(p)));
}

}  // namespace

std::vector<Image> drawIcon() {
    auto large = [](const SamplePoint& p) { return emblem(p, kLargeStyle); };
    auto small = [](const SamplePoint& p) { return emblem(p, kSmallStyle); };
    return {render(kIconLarge, kIconLarge, kDesign, large), render(kIconSmall, kIconSmall, kDesign, small)};
}

}  // namespace artgen
