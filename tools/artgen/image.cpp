#include "image.h"

#include <stdexcept>

namespace artgen {

namespace {

std::uint8_t mixChannel(int from, int to, std::int64_t num, std::int64_t den) {
    const std::int64_t scaled = from * (den - num) + to * num;
    return static_cast<std::uint8_t>((scaled + den / 2) / den);
}

}  // namespace

Rgba blend(Rgba under, Rgba over, int opacity) {
    Rgba out = mix(under, over, opacity, kOpaque);
    out.a = under.a;
    return out;
}

Rgba mix(Rgba from, Rgba to, std::int64_t num, std::int64_t den) {
    if (num < 0) num = 0;
    if (num > den) num = den;
    return Rgba{mixChannel(from.r, to.r, num, den), mixChannel(from.g, to.g, num, den),
                mixChannel(from.b, to.b, num, den), mixChannel(from.a, to.a, num, den)};
}

Image::Image(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("image size must be positive");
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}

}  // namespace artgen
