#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "art_set.h"
#include "bitmap_files.h"
#include "flags.h"
#include "icon.h"
#include "raster.h"

namespace artgen {
namespace {

std::uint32_t read16(const Bytes& b, std::size_t at) { return b[at] | (std::uint32_t{b[at + 1]} << 8); }
std::uint32_t read32(const Bytes& b, std::size_t at) { return read16(b, at) | (read16(b, at + 2) << 16); }

constexpr Rgba kRed = rgb(0xFF0000);
constexpr Rgba kGreen = rgb(0x00FF00);
constexpr Rgba kBlue = rgb(0x0000FF);

TEST(Colour, MixRoundsAndClamps) {
    EXPECT_EQ(mix(rgb(0x000000), rgb(0xFFFFFF), 1, 2), (Rgba{128, 128, 128, kOpaque}));
    EXPECT_EQ(mix(kRed, kBlue, -5, 10), kRed);
    EXPECT_EQ(mix(kRed, kBlue, 15, 10), kBlue);
    // Blending keeps the opacity underneath.
    EXPECT_EQ(blend(Rgba{0, 0, 0, 100}, rgb(0xFFFFFF), kOpaque), (Rgba{255, 255, 255, 100}));
}

TEST(Raster, CoverageBecomesAlphaWithoutDarkening) {
    // Left half of the single pixel red, right half transparent.
    const Image img = render(1, 1, 2, [](const SamplePoint& p) {
        return insideRect(p, 0, 0, 1, 2) ? kRed : Rgba{};
    });
    EXPECT_EQ(img.at(0, 0), (Rgba{255, 0, 0, 128}));
}

TEST(Raster, RejectsDesignWidthThatDoesNotDivide) {
    EXPECT_THROW(render(3, 3, 7, [](const SamplePoint&) { return kRed; }), std::invalid_argument);
}

TEST(Raster, ShapeTests) {
    const std::int64_t unit = 10;
    auto at = [unit](std::int64_t x, std::int64_t y) { return SamplePoint{x, y, unit}; };
    // Half-open rectangle.
    EXPECT_TRUE(insideRect(at(0, 0), 0, 0, 1, 1));
    EXPECT_FALSE(insideRect(at(10, 5), 0, 0, 1, 1));
    // Corners cut, edges kept.
    EXPECT_FALSE(insideRoundedRect(at(1, 1), 0, 0, 10, 10, 4));
    EXPECT_TRUE(insideRoundedRect(at(1, 50), 0, 0, 10, 10, 4));
    EXPECT_TRUE(insideRoundedRect(at(50, 1), 0, 0, 10, 10, 4));
    EXPECT_FALSE(insideRoundedRect(at(99, 99), 0, 0, 10, 10, 4));
    EXPECT_TRUE(insideRoundedRect(at(70, 70), 0, 0, 10, 10, 4));
    // Diagonal band of half-width 1 around y = x.
    EXPECT_TRUE(nearLine(at(50, 55), 0, 0, 10, 10, 1));
    EXPECT_FALSE(nearLine(at(50, 70), 0, 0, 10, 10, 1));
    EXPECT_TRUE(insideCircle(at(30, 0), 0, 0, 3));
    EXPECT_FALSE(insideCircle(at(30, 1), 0, 0, 3));
}

// A 3x2 image with a distinct colour per pixel.
Image sample3x2() {
    Image img(3, 2);
    img.set(0, 0, kRed);
    img.set(1, 0, kGreen);
    img.set(2, 0, kBlue);
    img.set(0, 1, rgb(0x010203));
    img.set(1, 1, rgb(0x040506));
    img.set(2, 1, Rgba{7, 8, 9, 0});
    return img;
}

TEST(Bmp, HeaderPaddingAndRowOrder) {
    const Bytes b = encodeBmp24(sample3x2());
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    ASSERT_EQ(bmp24RowStride(3), 12u);  // 9 bytes padded to 12
    ASSERT_EQ(b.size(), offset + 2 * 12);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(read32(b, 2), b.size());
    EXPECT_EQ(read32(b, 10), offset);
    EXPECT_EQ(read32(b, 14), kInfoHeaderSize);
    EXPECT_EQ(read32(b, 18), 3u);
    EXPECT_EQ(read32(b, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(read16(b, 28), 24u);
    EXPECT_EQ(read32(b, 30), 0u);
    EXPECT_EQ(read32(b, 34), 24u);
    // First stored row is the bottom one, blue-green-red order; alpha dropped.
    const Bytes bottom(b.begin() + offset, b.begin() + offset + 12);
    EXPECT_EQ(bottom, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
    const Bytes top(b.begin() + offset + 12, b.end());
    EXPECT_EQ(top, (Bytes{0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
}

TEST(Ico, DirectoryOffsetsChainToTheEnd) {
    const Bytes b = encodeIco({Image(32, 32), Image(16, 16)});
    EXPECT_EQ(read16(b, 0), 0u);
    EXPECT_EQ(read16(b, 2), 1u);
    ASSERT_EQ(read16(b, 4), 2u);
    std::size_t expected = kIconDirSize + 2 * kIconEntrySize;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t entry = kIconDirSize + i * kIconEntrySize;
        const int side = i == 0 ? 32 : 16;
        EXPECT_EQ(b[entry], side);
        EXPECT_EQ(b[entry + 1], side);
        EXPECT_EQ(read16(b, entry + 6), 32u);
        EXPECT_EQ(read32(b, entry + 12), expected);
        const std::size_t image = expected;
        EXPECT_EQ(read32(b, image + 4), static_cast<std::uint32_t>(side));
        EXPECT_EQ(read32(b, image + 8), static_cast<std::uint32_t>(2 * side));  // colour plus mask
        expected += read32(b, entry + 8);
    }
    EXPECT_EQ(expected, b.size());
}

TEST(Ico, ColourRowsAndMaskMatchTheImage) {
    const Bytes b = encodeIco({sample3x2()});
    const std::size_t image = read32(b, kIconDirSize + 12);
    const std::size_t colours = image + kInfoHeaderSize;
    // Bottom row first, BGRA.
    EXPECT_EQ(Bytes(b.begin() + colours, b.begin() + colours + 12), (Bytes{3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 0}));
    EXPECT_EQ(Bytes(b.begin() + colours + 12, b.begin() + colours + 16), (Bytes{0, 0, 255, 255}));
    // Mask rows are four bytes; only the transparent pixel (bottom right) is set.
    const std::size_t mask = colours + 3 * 2 * 4;
    ASSERT_EQ(maskRowStride(3), 4u);
    ASSERT_EQ(b.size(), mask + 2 * 4);
    EXPECT_EQ(Bytes(b.begin() + mask, b.end()), (Bytes{0x20, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Ico, SizeLimits) {
    EXPECT_THROW(encodeIco({}), std::invalid_argument);
    EXPECT_THROW(encodeIco({Image(257, 1)}), std::invalid_argument);
    const Bytes b = encodeIco({Image(256, 1)});
    EXPECT_EQ(b[kIconDirSize], 0);  // 256 is written as 0
}

TEST(Art, FlagsAreRecognisable) {
    const auto flags = drawFlags();
    ASSERT_EQ(flags.size(), 8u);
    auto find = [&flags](const std::string& name) {
        const auto it = std::find_if(flags.begin(), flags.end(), [&](const Flag& f) { return f.fileName == name; });
        EXPECT_NE(it, flags.end()) << name;
        return it->image;
    };
    for (const Flag& f : flags) {
        EXPECT_EQ(f.image.width(), kFlagWidth);
        EXPECT_EQ(f.image.height(), kFlagHeight);
    }
    const int cx = kFlagWidth / 2;
    const int cy = kFlagHeight / 2;
    EXPECT_EQ(find("flag_german.bmp").at(cx, 0), rgb(0x000000));
    EXPECT_EQ(find("flag_french.bmp").at(0, cy).b, 0xA4);
    EXPECT_EQ(find("flag_french.bmp").at(cx, cy), rgb(0xFFFFFF));
    EXPECT_EQ(find("flag_italian.bmp").at(0, cy).g, 0x92);
    EXPECT_EQ(find("flag_dutch.bmp").at(cx, kFlagHeight - 1).b, 0x8B);
    EXPECT_EQ(find("flag_danish.bmp").at(0, cy), rgb(0xFFFFFF));
    EXPECT_EQ(find("flag_icelandic.bmp").at(0, cy).r, 0xDC);
    EXPECT_EQ(find("flag_spanish.bmp").at(cx, cy).r, 0xF1);
    const Image english = find("flag_english.bmp");
    EXPECT_EQ(english.at(cx, cy), rgb(0xC8102E));
    EXPECT_EQ(english.at(cx, 0), rgb(0xC8102E));
    EXPECT_EQ(english.at(kFlagWidth - 1, kFlagHeight / 2), rgb(0xC8102E));
    EXPECT_EQ(english.at(0, 0).a, kOpaque);
}

TEST(Art, IconHasTransparentCornersAndOpaqueBody) {
    const auto images = drawIcon();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width(), kIconLarge);
    EXPECT_EQ(images[1].width(), kIconSmall);
    for (const Image& img : images) {
        const int last = img.width() - 1;
        EXPECT_EQ(img.at(0, 0).a, 0);
        EXPECT_EQ(img.at(last, last).a, 0);
        EXPECT_EQ(img.at(img.width() / 2, img.height() / 2).a, kOpaque);
    }
}

TEST(Art, SetIsCompleteAndReproducible) {
    const auto first = buildArtSet();
    const auto second = buildArtSet();
    ASSERT_EQ(first.size(), 9u);
    std::set<std::string> names;
    for (std::size_t i = 0; i < first.size(); ++i) {
        names.insert(first[i].name);
        EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name;
    }
    EXPECT_EQ(names.size(), first.size());
    EXPECT_TRUE(names.count(kIconFileName));
}

}  // namespace
}  // namespace artgen
