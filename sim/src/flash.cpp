#include "flash.h"

#include <algorithm>

namespace zelo::sim {

namespace {

Page erasedPage() {
    Page page;
    page.fill(kErasedByte);
    return page;
}

// Flash position of a firmware image offset.
struct Position {
    int page;
    std::size_t offset;
};

Position imagePosition(std::size_t imageOffset) {
    return {kFirmwareFirstPage + static_cast<int>(imageOffset / kPageSize), imageOffset % kPageSize};
}

}  // namespace

Flash::Flash() { pages_.fill(erasedPage()); }

Page Flash::page(int number) const { return validPage(number) ? pages_[number] : erasedPage(); }

void Flash::setPage(int number, const Page &data) {
    if (validPage(number)) pages_[number] = data;
}

void Flash::erase(int number) {
    if (validPage(number)) pages_[number] = erasedPage();
}

void Flash::program(int number, const Page &data, std::size_t programmed) {
    if (!validPage(number)) return;
    for (std::size_t i = 0; i < std::min(programmed, kPageSize); ++i) pages_[number][i] &= data[i];
}

void Flash::setPages(std::span<const std::uint8_t> numbers, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < numbers.size() && (i + 1) * kPageSize <= bytes.size(); ++i) {
        Page data;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(i * kPageSize), kPageSize, data.begin());
        setPage(numbers[i], data);
    }
}

std::string Flash::readImage(std::size_t offset, std::size_t length) const {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
        const Position at = imagePosition(offset + i);
        bytes.push_back(static_cast<char>(validPage(at.page) ? pages_[at.page][at.offset] : kErasedByte));
    }
    return bytes;
}

void Flash::writeImage(std::size_t offset, const std::string &bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const Position at = imagePosition(offset + i);
        if (validPage(at.page)) pages_[at.page][at.offset] = static_cast<std::uint8_t>(bytes[i]);
    }
}

}  // namespace zelo::sim
