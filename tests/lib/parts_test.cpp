// The library's self-contained pieces: rings, CRC, module image, version
// numbers, serial-port settings and hardware IDs.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "byte_ring.h"
#include "hardware_id.h"
#include "module_image.h"
#include "page_crc.h"
#include "uart_format.h"
#include "version_number.h"

namespace zelo {
namespace {

std::vector<std::uint8_t> sequence(std::size_t n, std::uint8_t start = 0) {
    std::vector<std::uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), start);
    return bytes;
}

TEST(ByteRing, KeepsOrderAcrossTheEnd) {
    ByteRing ring;
    std::vector<std::uint8_t> scratch(kFifoSize);
    ring.append(scratch.data(), kFifoSize - 10);
    ring.take(scratch.data(), kFifoSize - 10);
    ASSERT_EQ(0u, ring.size());

    const auto bytes = sequence(25, 1);  // 10 before the end, 15 after it
    EXPECT_EQ(bytes.size(), ring.append(bytes.data(), bytes.size()));
    std::vector<std::uint8_t> out(bytes.size());
    ring.take(out.data(), out.size());
    EXPECT_EQ(bytes, out);
    EXPECT_EQ(0u, ring.size());
}

TEST(ByteRing, DropsWhatDoesNotFitAndCountsIt) {
    ByteRing ring;
    std::vector<std::uint8_t> first(kFifoSize - 1, 0xAB);
    EXPECT_EQ(kFifoSize - 1, ring.append(first.data(), first.size()));
    EXPECT_EQ(0u, ring.room());

    const auto extra = sequence(7);
    EXPECT_EQ(0u, ring.append(extra.data(), extra.size()));
    EXPECT_EQ(7u, ring.dropped());

    std::vector<std::uint8_t> out(kFifoSize - 1);
    ring.take(out.data(), out.size());
    EXPECT_EQ(first, out);  // unread bytes were never overwritten

    ring.append(first.data(), kFifoSize - 4);
    EXPECT_EQ(3u, ring.append(extra.data(), extra.size()));
    EXPECT_EQ(11u, ring.dropped());
}

TEST(ByteRing, AReleasedRingHoldsAndTakesNothing) {
    ByteRing ring;
    const auto bytes = sequence(5);
    ring.append(bytes.data(), bytes.size());
    ring.release();
    EXPECT_EQ(0u, ring.capacity());
    EXPECT_EQ(0u, ring.size());
    EXPECT_EQ(0u, ring.room());
    EXPECT_EQ(0u, ring.append(bytes.data(), bytes.size()));
    ring.fill(0x11);
    ring.take(nullptr, 0);
    EXPECT_EQ(0u, ring.size());
}

TEST(PageCrc, CheckValues) {
    const std::string digits = "123456789";
    const std::string abc = "abc";
    const std::vector<std::uint8_t> erased(kFlashPageSize, 0xFF);
    const std::vector<std::uint8_t> zeros(kFlashPageSize, 0x00);
    EXPECT_EQ(0x29B1, pageCrc(reinterpret_cast<const std::uint8_t *>(digits.data()), digits.size()));
    EXPECT_EQ(0x514A, pageCrc(reinterpret_cast<const std::uint8_t *>(abc.data()), abc.size()));
    EXPECT_EQ(0x6995, pageCrc(erased.data(), erased.size()));
    EXPECT_EQ(0x1634, pageCrc(zeros.data(), zeros.size()));
    EXPECT_EQ(0xFFFF, pageCrc(nullptr, 0));
}

TEST(ModuleImage, HasHeaderCodeAndErasedAreas) {
    const ModuleImage &image = moduleImage();
    EXPECT_EQ("1.04ERRORCMD", std::string(image.begin(), image.begin() + 12));
    for (int page = 0; page < kModulePageCount; ++page) {
        const std::uint8_t *start = image.data() + page * kFlashPageSize;
        EXPECT_EQ(0xFF, start[kFlashPageSize - 1]) << "page " << page << " ends erased";
        EXPECT_NE(0xFF, start[kFlashPageSize / 4]) << "page " << page << " carries code";
        const std::uint16_t crc = pageCrc(start, kFlashPageSize);
        EXPECT_NE(0u, crc);
        EXPECT_NE(0x6995, crc);
    }
    // The three pages differ from each other.
    EXPECT_NE(pageCrc(image.data(), kFlashPageSize), pageCrc(image.data() + kFlashPageSize, kFlashPageSize));
}

TEST(VersionNumber, ReadsTextTimesAThousand) {
    EXPECT_EQ(1240, versionNumber("1.24"));
    EXPECT_EQ(2040, versionNumber("2.04"));
    EXPECT_EQ(1190, versionNumber("1.19"));
    EXPECT_EQ(2060, versionNumber("2.06"));
    EXPECT_EQ(1000, versionNumber("1.00"));
    EXPECT_EQ(1000, versionNumber("1"));
    EXPECT_EQ(12, versionNumber("1.2x"));  // stops before the appended exponent
    EXPECT_EQ(-1500, versionNumber("-1.5"));
}

TEST(VersionNumber, TextWithoutANumberGivesZero) {
    EXPECT_EQ(0, versionNumber(""));
    EXPECT_EQ(0, versionNumber("abc"));
    EXPECT_EQ(0, versionNumber("."));
    EXPECT_EQ(0, versionNumber("0x12"));  // no hexadecimal form
    EXPECT_EQ(0, versionNumber(std::string_view("\0" "1.2", 4)));
}

TEST(VersionNumber, OnlyFourCharactersCountAndHugeValuesSaturate) {
    EXPECT_EQ(1240, versionNumber("1.249"));
    EXPECT_EQ(2147483647, versionNumber("9E99"));
    EXPECT_EQ(0, versionNumber("1E-9"));
}

TEST(UartFormat, ReloadValues) {
    EXPECT_EQ(0xB1E0, uartReload(1200));
    EXPECT_EQ(0xF63C, uartReload(9600));
    EXPECT_EQ(0xFD8F, uartReload(38400));
    EXPECT_EQ(0xFE5F, uartReload(57600));
    EXPECT_EQ(0xFF30, uartReload(115200));
    EXPECT_EQ(0xFF98, uartReload(230400));
}

TEST(UartFormat, FormatByte) {
    EXPECT_EQ(0x0D, uartFormatByte(1, 0, 8));
    EXPECT_EQ(0x38, uartFormatByte(0, 2, 7));
    EXPECT_EQ(0x10, uartFormatByte(0, 1, 5));
    EXPECT_EQ(0x7D, uartFormatByte(1, 4, 8));
    EXPECT_EQ(0x0C, uartFormatByte(2, 5, 8));  // other stop flags and parity codes: neither
}

TEST(HardwareId, MatchesTheAccessoryIgnoringCase) {
    const std::string prefix = accessoryHardwareIdPrefix();
    EXPECT_EQ(21u, prefix.size());
    EXPECT_EQ("HID\\Vid_3A71&Pid_0009", prefix);
    EXPECT_TRUE(isAccessoryHardwareId("HID\\VID_3A71&PID_0009&REV_0100"));
    EXPECT_TRUE(isAccessoryHardwareId("hid\\vid_3a71&pid_0009"));
    EXPECT_FALSE(isAccessoryHardwareId("HID\\VID_3A71&PID_0006&REV_0100"));
    EXPECT_FALSE(isAccessoryHardwareId("HID\\VID_3A71&PID_000"));
    EXPECT_FALSE(isAccessoryHardwareId(""));
}

}  // namespace
}  // namespace zelo
