#include "flags.h"

#include "raster.h"

namespace artgen {

namespace {

// Design space: eight units per pixel, so crosses and stripes can sit on
// pixel edges while diagonals get sub-pixel widths.
constexpr int kUnitsPerPixel = 8;
constexpr std::int64_t kW = std::int64_t{kFlagWidth} * kUnitsPerPixel;
constexpr std::int64_t kH = std::int64_t{kFlagHeight} * kUnitsPerPixel;
constexpr std::int64_t kPixel = kUnitsPerPixel;

// Colours.
constexpr Rgba kWhite = rgb(0xFFFFFF);
constexpr Rgba kBlack = rgb(0x000000);
constexpr Rgba kGermanRed = rgb(0xDD0000);
constexpr Rgba kGermanGold = rgb(0xFFCE00);
constexpr Rgba kDanishRed = rgb(0xC8102E);
constexpr Rgba kSpanishRed = rgb(0xAA151B);
constexpr Rgba kSpanishYellow = rgb(0xF1BF00);
constexpr Rgba kFrenchBlue = rgb(0x0055A4);
constexpr Rgba kFrenchRed = rgb(0xEF4135);
constexpr Rgba kIcelandicBlue = rgb(0x02529C);
constexpr Rgba kIcelandicRed = rgb(0xDC1E35);
constexpr Rgba kDutchRed = rgb(0xAE1C28);
constexpr Rgba kDutchBlue = rgb(0x21468B);
constexpr Rgba kUnionBlue = rgb(0x012169);
constexpr Rgba kUnionRed = rgb(0xC8102E);
constexpr Rgba kItalianGreen = rgb(0x009246);
constexpr Rgba kItalianRed = rgb(0xCE2B37);

Rgba horizontalTricolour(const SamplePoint& p, Rgba top, Rgba middle, Rgba bottom, std::int64_t topEnd,
                         std::int64_t bottomStart) {
    if (insideRect(p, 0, 0, kW, topEnd)) return top;
    if (insideRect(p, 0, bottomStart, kW, kH)) return bottom;
    return middle;
}

Rgba verticalTricolour(const SamplePoint& p, Rgba left, Rgba middle, Rgba right) {
    if (insideRect(p, 0, 0, kW / 3, kH)) return left;
    if (insideRect(p, kW * 2 / 3, 0, kW, kH)) return right;
    return middle;
}

bool insideCross(const SamplePoint& p, std::int64_t x0, std::int64_t x1, std::int64_t y0, std::int64_t y1) {
    return insideRect(p, x0, 0, x1, kH) || insideRect(p, 0, y0, kW, y1);
}

// Nordic cross: the upright sits left of centre, three pixels wide, on the
// horizontal middle rows.
constexpr std::int64_t kNordicLeft = 6 * kPixel;
constexpr std::int64_t kNordicTop = 6 * kPixel;
constexpr std::int64_t kNordicBar = 3 * kPixel;

Rgba danish(const SamplePoint& p) {
    return insideCross(p, kNordicLeft, kNordicLeft + kNordicBar, kNordicTop, kNordicTop + kNordicBar) ? kWhite
                                                                                                      : kDanishRed;
}

Rgba icelandic(const SamplePoint& p) {
    if (insideCross(p, kNordicLeft, kNordicLeft + kNordicBar, kNordicTop, kNordicTop + kNordicBar)) {
        return kIcelandicRed;
    }
    if (insideCross(p, kNordicLeft - kPixel, kNordicLeft + kNordicBar + kPixel, kNordicTop - kPixel,
                    kNordicTop + kNordicBar + kPixel)) {
        return kWhite;
    }
    return kIcelandicBlue;
}

Rgba german(const SamplePoint& p) {
    return horizontalTricolour(p, kBlack, kGermanRed, kGermanGold, kH / 3, kH * 2 / 3);
}

Rgba dutch(const SamplePoint& p) { return horizontalTricolour(p, kDutchRed, kWhite, kDutchBlue, kH / 3, kH * 2 / 3); }

// Red, yellow twice as wide, red; rounded to whole rows.
constexpr std::int64_t kSpanishBand = 4 * kPixel;

Rgba spanish(const SamplePoint& p) {
    return horizontalTricolour(p, kSpanishRed, kSpanishYellow, kSpanishRed, kSpanishBand, kH - kSpanishBand);
}

Rgba french(const SamplePoint& p) { return verticalTricolour(p, kFrenchBlue, kWhite, kFrenchRed); }

Rgba italian(const SamplePoint& p) { return verticalTricolour(p, kItalianGreen, kWhite, kItalianRed); }

// Union flag, simplified for a tiny bitmap: white and red saltires under a
// white-edged red cross, centred.
constexpr std::int64_t kSaltireWhiteHalf = 13;
constexpr std::int64_t kSaltireRedHalf = 5;
constexpr std::int64_t kCrossWhiteHalf = 20;
constexpr std::int64_t kCrossRedHalf = 12;

Rgba english(const SamplePoint& p) {
    const std::int64_t cx = kW / 2;
    const std::int64_t cy = kH / 2;
    if (insideCross(p, cx - kCrossRedHalf, cx + kCrossRedHalf, cy - kCrossRedHalf, cy + kCrossRedHalf)) {
        return kUnionRed;
    }
    if (insideCross(p, cx - kCrossWhiteHalf, cx + kCrossWhiteHalf, cy - kCrossWhiteHalf, cy + kCrossWhiteHalf)) {
        return kWhite;
    }
    if (nearLine(p, 0, 0, kW, kH, kSaltireRedHalf) || nearLine(p, 0, kH, kW, 0, kSaltireRedHalf)) return kUnionRed;
    if (nearLine(p, 0, 0, kW, kH, kSaltireWhiteHalf) || nearLine(p, 0, kH, kW, 0, kSaltireWhiteHalf)) return kWhite;
    return kUnionBlue;
}

Flag drawFlag(const char* fileName, const Scene& scene) {
    return Flag{fileName, render(kFlagWidth, kFlagHeight, static_cast<int>(kW), scene)};
}

}  // namespace

std::vector<Flag> drawFlags() {
    std::vector<Flag> flags;
    flags.push_back(drawFlag("flag_german.bmp", german));
    flags.push_back(drawFlag("flag_danish.bmp", danish));
    flags.push_back(drawFlag("flag_spanish.bmp", spanish));
    flags.push_back(drawFlag("flag_french.bmp", french));
    flags.push_back(drawFlag("flag_icelandic.bmp", icelandic));
    flags.push_back(drawFlag("flag_dutch.bmp", dutch));
    flags.push_back(drawFlag("flag_english.bmp", english));
    flags.push_back(drawFlag("flag_italian.bmp", italian));
    return flags;
}

}  // namespace artgen
