// The module image is generated at compile time from a fixed seed, so the
// same bytes come out on every build: a version header, instruction-like
// code, a table of entry addresses per page, and erased flash (0xFF).
#include "module_image.h"

#include <string_view>

namespace zelo {

namespace {

constexpr std::string_view kImageHeader = "1.04ERRORCMD";
constexpr std::uint8_t kErased = 0xFF;
constexpr std::uint32_t kSeed = 0x5EED1234u;
// Code is laid out from this address of the accessory's memory on.
constexpr std::uint16_t kCodeBase = 0x2800;
constexpr std::size_t kEntryStride = 13;

struct PageLayout {
    std::size_t codeEnd;   // code runs from the page start (after the header) to here
    std::size_t tableEnd;  // then big-endian entry addresses up to here
};
constexpr std::array<PageLayout, kModulePageCount> kLayout{{{400, 464}, {384, 448}, {208, 240}}};

// An opcode and the number of operand bytes that follow it.
struct Opcode {
    std::uint8_t code;
    std::uint8_t operands;
};
constexpr std::array<Opcode, 16> kOpcodes{{{0x74, 1}, {0x90, 2}, {0xE0, 0}, {0xF0, 0}, {0x12, 2}, {0x22, 0},
                                           {0x80, 1}, {0xA3, 0}, {0x60, 1}, {0x70, 1}, {0xE5, 1}, {0xF5, 1},
                                           {0x75, 2}, {0xC3, 0}, {0x94, 1}, {0x02, 2}}};

constexpr std::uint32_t nextRandom(std::uint32_t &state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

constexpr void generateCode(ModuleImage &image, std::size_t from, std::size_t to, std::uint32_t &state) {
    std::size_t at = from;
    while (at < to) {
        const Opcode op = kOpcodes[nextRandom(state) % kOpcodes.size()];
        image[at++] = op.code;
        for (std::uint8_t i = 0; i < op.operands && at < to; ++i) {
            image[at++] = static_cast<std::uint8_t>(nextRandom(state));
        }
    }
}

constexpr void generateTable(ModuleImage &image, std::size_t from, std::size_t to, std::size_t pageStart) {
    std::uint16_t entry = static_cast<std::uint16_t>(kCodeBase + pageStart);
    for (std::size_t at = from; at + 1 < to; at += 2) {
        image[at] = static_cast<std::uint8_t>(entry >> 8);
        image[at + 1] = static_cast<std::uint8_t>(entry);
        entry = static_cast<std::uint16_t>(entry + kEntryStride);
    }
}

constexpr ModuleImage generateImage() {
    ModuleImage image{};
    image.fill(kErased);
    std::uint32_t state = kSeed;
    for (std::size_t page = 0; page < kLayout.size(); ++page) {
        const std::size_t start = page * kFlashPageSize;
        std::size_t codeStart = start;
        if (page == 0) {
            for (char c : kImageHeader) {
                image[codeStart++] = static_cast<std::uint8_t>(c);
            }
        }
        generateCode(image, codeStart, start + kLayout[page].codeEnd, state);
        generateTable(image, start + kLayout[page].codeEnd, start + kLayout[page].tableEnd, start);
    }
    return image;
}

constexpr ModuleImage kImage = generateImage();

}  // namespace

const ModuleImage &moduleImage() { return kImage; }

}  // namespace zelo
