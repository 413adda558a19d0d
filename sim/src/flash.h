// The accessory's flash memory: 64 pages of 512 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "model_profile.h"
#include "zelo_sim/sim.h"

namespace zelo::sim {

using Page = std::array<std::uint8_t, kPageSize>;

inline constexpr std::uint8_t kErasedByte = 0xFF;

class Flash {
public:
    Flash();

    static bool validPage(int number) { return number >= 0 && number < kPageCount; }
    // An erased page for numbers outside the flash.
    Page page(int number) const;
    // Ignored for numbers outside the flash. Sets the bytes as they are
    // (for tests and saved state); the accessory's writes erase and program.
    void setPage(int number, const Page &data);
    // What a page write does: the page erased, then programmed from the
    // start. Programming only clears bits, as in NOR flash, so a page not
    // erased first would come out as old AND new. programmed < kPageSize
    // is a write cut short: the rest of the page stays erased.
    void erase(int number);
    void program(int number, const Page &data, std::size_t programmed = kPageSize);
    // Consecutive pages from bytes, one page per entry of numbers.
    void setPages(std::span<const std::uint8_t> numbers, std::span<const std::uint8_t> bytes);

    // Bytes of the firmware image (pages 16 onwards) at image offset.
    std::string readImage(std::size_t offset, std::size_t length) const;
    void writeImage(std::size_t offset, const std::string &bytes);

private:
    std::array<Page, kPageCount> pages_;
};

}  // namespace zelo::sim
