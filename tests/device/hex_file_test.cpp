#include "firmware_files.h"
#include "hex_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace zelo::device;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A record with a correct checksum over the bytes given; length is written
// as given, so word-mode lines (length counts words) can be built too.
std::string record(unsigned address, unsigned type, const Bytes &data, int length = -1, const char *end = "\n")
{
    const unsigned ll = length < 0 ? static_cast<unsigned>(data.size()) : static_cast<unsigned>(length);
    std::string line(1, ':');
    unsigned sum = 0;
    auto put = [&](unsigned value) {
        char text[3];
        std::snprintf(text, sizeof text, "%02X", value & 0xFF);
        line += text;
        sum += value & 0xFF;
    };
    for (unsigned field : {ll, address >> 8, address, type})
        put(field);
    for (auto b : data)
        put(b);
    put(0x100 - (sum & 0xFF));
    return line + end;
}

std::string data(unsigned address, const Bytes &bytes) { return record(address, 0x00, bytes); }
std::string linear(unsigned value) { return record(0, 0x04, {Bytes::value_type(value >> 8), Bytes::value_type(value)}); }
std::string corrupt(std::string line) { return line.replace(line.size() - 2, 1, line[line.size() - 2] == '0' ? "1" : "0"); }

const std::string kEnd = ":00000001FF\n";

struct Read {
    int result = -1;
    HexImage image;
};

std::unique_ptr<Read> readText(const std::string &text)
{
    std::istringstream in(text);
    auto r = std::make_unique<Read>();
    r->result = readHexText(in, r->image);
    return r;
}

// The image holds exactly bytes at start and nothing else.
void expectExactly(const HexImage &image, std::uint32_t start, const Bytes &bytes)
{
    ASSERT_EQ(static_cast<std::size_t>(std::count(image.written.begin(), image.written.end(), 1)), bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        ASSERT_TRUE(image.written[start + i] && image.data[start + i] == bytes[i]) << "address " << start + i;
    EXPECT_EQ(image.lowest, bytes.empty() ? HexImage::kNoLowest : start);
    EXPECT_EQ(image.highest, bytes.empty() ? 0 : start + bytes.size() - 1);
}

Bytes pattern(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto &b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

bool allEqual(std::span<const std::uint8_t> bytes, std::uint8_t value)
{
    return std::all_of(bytes.begin(), bytes.end(), [value](std::uint8_t b) { return b == value; });
}

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("zelo-hex-" + std::to_string(std::random_device{}())))
    {
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_, ignored_); }
    fs::path write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return path_ / name;
    }
    fs::path operator/(const std::string &name) const { return path_ / name; }

private:
    fs::path path_;
    std::error_code ignored_;
};

std::string text(const Bytes &bytes) { return std::string(bytes.begin(), bytes.end()); }

} // namespace

TEST(HexReader, ResultsOfWholeFiles)
{
    const std::string line = data(0, {1});
    struct Case {
        std::string text;
        int result;
    };
    const Case cases[] = {
        {":00000001FF", HexOk},
        {kEnd + "\n" + "junk\n", HexOk},                      // an empty line ends reading
        {"", HexNoEndRecord},
        {line, HexNoEndRecord},
        {kEnd + line, HexNoEndRecord},                       // the end record must be last
        {line + "\n" + kEnd, HexNoEndRecord},
        {line.substr(0, line.size() - 1), HexBadChecksum},   // no LF: checksum read one early
        {corrupt(line) + kEnd, HexBadChecksum},
        {line + " :00000001FF\n" + corrupt(line), HexBadLineStart},
        {linear(1) + line + "junk\n", HexBeyondMemory},
        {linear(1), HexNoEndRecord},
        {linear(1) + data(0, {}) + kEnd, HexOk},             // nothing stored, nothing beyond
        {corrupt(linear(0)) + kEnd, HexOk},                  // type 04 checksums are not compared
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readText(c.text)->result, c.result);
    }
    const auto r = readText(kEnd);
    expectExactly(r->image, 0, {});
    EXPECT_EQ(r->image.count, 0u);
}

TEST(HexReader, StoresWhatWasReadEvenWhenTheFileIsBad)
{
    auto r = readText(data(0x2000, {1, 2, 3}) + corrupt(data(0x2003, {4, 5})) + kEnd);
    EXPECT_EQ(r->result, HexBadChecksum);
    expectExactly(r->image, 0x2000, {1, 2, 3, 4, 5});
    EXPECT_EQ(r->image.count, 5u);

    r = readText(data(0x10, {7}) + linear(0) + data(0x11, {8}) + linear(1) + data(0, {9}) + kEnd);
    EXPECT_EQ(r->result, HexBeyondMemory);
    expectExactly(r->image, 0x10, {7, 8});

    r = readText(data(0xFFFF, {0xAA, 0xBB}) + kEnd);
    EXPECT_EQ(r->result, HexBeyondMemory);
    expectExactly(r->image, 0xFFFF, {0xAA});
}

TEST(HexReader, LineRules)
{
    // Lower case, CR LF, and a non-hex character that reads as 0.
    std::string odd = data(0x10, {0xAB, 0x05});
    std::transform(odd.begin(), odd.end(), odd.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    odd[11] = 'G';
    auto r = readText(odd.substr(0, odd.size() - 1) + "\r\n:00000001FF\r\n");
    EXPECT_EQ(r->result, HexOk);
    expectExactly(r->image, 0x10, {0xAB, 0x05});

    // 121 data bytes make a 253-character line that fits with its LF; one
    // more character pushes the LF into an empty line of its own.
    const Bytes bytes = pattern(121, 1);
    const std::string longest = data(0x100, bytes);
    EXPECT_EQ(readText(longest + kEnd)->result, HexOk);
    r = readText(longest.substr(0, 253) + " \n" + kEnd);
    EXPECT_EQ(r->result, HexNoEndRecord);
    expectExactly(r->image, 0x100, bytes);
    EXPECT_EQ(readText(data(0x100, pattern(122, 2)) + kEnd)->result, HexBadLineStart);

    // Length fields that promise more than the line holds never read past it.
    for (const char *line : {":FF000000\n", ":\n", ":FF"})
        EXPECT_NE(readText(std::string(line) + "\n")->result, HexOk) << line;
}

TEST(HexReader, WordModeSwapsBytesAndStaysOn)
{
    // Length 4 with 16 digits is 28 characters = 4 x 4 + 12; the byte record
    // after it is read as words too.
    const std::string words = record(0x10, 0, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}, 4);
    auto r = readText(words + data(0x30, {0xAB, 0xCD}) + kEnd);
    EXPECT_EQ(r->result, HexOk);
    const Bytes swapped{0x22, 0x11, 0x44, 0x33, 0x66, 0x55, 0x88, 0x77};
    EXPECT_TRUE(std::equal(swapped.begin(), swapped.end(), r->image.data.begin() + 0x20));
    EXPECT_FALSE(r->image.written[0x30]);
    EXPECT_EQ(r->image.data[0x60], 0xCD);
    EXPECT_EQ(r->image.data[0x61], 0xAB);
    EXPECT_EQ(r->image.count, 4u + 2u);

    // An empty record (12 characters) switches it on; a type 04 line never does.
    r = readText(data(0, {}) + data(0x10, {0x11, 0x22}) + kEnd);
    EXPECT_EQ(r->image.data[0x20], 0x22);
    EXPECT_EQ(r->image.data[0x21], 0x11);
    r = readText(":0000000400\n" + data(0x10, {0x11, 0x22}) + kEnd);
    expectExactly(r->image, 0x10, {0x11, 0x22});
}

TEST(HexReader, SegmentAndStartRecordsCarryNoData)
{
    const Bytes start{0x00, 0x00, 0x20, 0x00};
    auto r = readText(data(0x2000, {1}) + record(0, 0x03, start) + record(0, 0x05, start) + kEnd);
    EXPECT_EQ(r->result, HexOk);
    expectExactly(r->image, 0x2000, {1});

    r = readText(record(0, 0x02, {0x01, 0x00}) + data(0x20, {5}) + kEnd);
    expectExactly(r->image, 0x1020, {5});
    r = readText(record(0, 0x02, {0x10, 0x00}) + data(0, {5}) + kEnd);
    EXPECT_EQ(r->result, HexBeyondMemory);
    expectExactly(r->image, 0, {});
}

TEST(HexRecordParser, AcceptsOnlyWellFormedRecords)
{
    const auto ok = parseHexRecord(":0300300002337A1E");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->type, HexData);
    EXPECT_EQ(ok->address, 0x0030);
    EXPECT_EQ(ok->data, (Bytes{0x02, 0x33, 0x7A}));
    EXPECT_TRUE(parseHexRecord(":00000001ff"));
    for (const char *bad : {"", ":", "00000001FF", ":00000001FE", ":0000001FF", ":01000000FF", ":0000000GFF",
                            ":00000001FF00"})
        EXPECT_FALSE(parseHexRecord(bad)) << bad;
}

TEST(FirmwareFiles, FirmwareFileFillsTheBufferWhateverTheResult)
{
    TempDir dir;
    auto files = std::make_unique<FirmwareFiles>();
    const Bytes firmware = pattern(kFirmwareImageSize, 3);
    std::string hex = data(0x1FFF, {0x11}) + data(0x3C00, {0x22});
    for (std::size_t offset = 0; offset < firmware.size(); offset += 32)
        hex += data(static_cast<unsigned>(kFirmwareFileAddress + offset), Bytes(&firmware[offset], &firmware[offset] + 32));
    EXPECT_EQ(files->loadFirmwareFile(dir.write("fw.hex", hex + kEnd)), HexOk);
    EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), files->buffer().begin()));
    EXPECT_TRUE(allEqual(files->buffer().subspan(kFirmwareImageSize), 0xFF));

    EXPECT_EQ(files->loadFirmwareFile(dir.write("bad.hex", corrupt(data(0x2004, {1, 2})))), HexBadChecksum);
    EXPECT_EQ(files->buffer()[4], 1);
    EXPECT_EQ(files->buffer()[5], 2);
    EXPECT_TRUE(allEqual(files->buffer().first(4), 0xFF));
    EXPECT_TRUE(allEqual(files->buffer().subspan(6), 0xFF));

    EXPECT_EQ(files->loadFirmwareFile(dir / "missing.hex"), HexCannotOpen);
    EXPECT_TRUE(allEqual(files->buffer(), 0xFF));
    EXPECT_EQ(files->loadFirmwareFile(dir / ""), HexCannotOpen);
}

TEST(FirmwareFiles, RawModuleFiles)
{
    TempDir dir;
    auto files = std::make_unique<FirmwareFiles>();
    const Bytes large = pattern(20000, 4);
    EXPECT_EQ(files->loadModuleFile(dir.write("large.bin", text(large))), ModuleFileRaw);
    EXPECT_TRUE(std::equal(files->buffer().begin(), files->buffer().end(), large.begin()));

    // Nothing of the earlier file survives behind a shorter one; a binary
    // that starts with ':' is still binary.
    Bytes small = pattern(100, 5);
    small[0] = ':';
    EXPECT_EQ(files->loadModuleFile(dir.write("small.bin", text(small))), ModuleFileRaw);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), files->buffer().begin()));
    EXPECT_TRUE(allEqual(files->buffer().subspan(small.size()), 0xFF));

    // Unreadable files leave the buffer alone.
    for (const auto &path : {dir / "missing.bin", dir.write("empty.bin", ""), dir / ""})
        EXPECT_EQ(files->loadModuleFile(path), ModuleFileUnreadable) << path;
    EXPECT_TRUE(std::equal(small.begin(), small.end(), files->buffer().begin()));

    // Text that is not Intel HEX (a note, a saved error page) is no module
    // image: programming it would leave the module unable to start.
    for (const std::string &note : {std::string("<html><body>404 Not Found</body></html>\r\n"), std::string(20000, 'A'), std::string("  \n")})
        EXPECT_EQ(files->loadModuleFile(dir.write("note.hex", note)), ModuleFileTextNotHex) << note.substr(0, 20);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), files->buffer().begin()));
}

TEST(FirmwareFiles, HexModuleFilesAreConvertedOrRefused)
{
    const Bytes header = pattern(30, 6);
    const std::string good = data(0x8000, header);
    struct Case {
        std::string text;
        int result;
    };
    const Case cases[] = {
        {"\r\n  " + record(0x8000, 0, header, -1, "\r\n") + record(0, 5, {0, 0, 0x80, 0}) + kEnd + "\n",
         ModuleFileFromHex},
        {record(0, 0x02, {0x08, 0x00}) + data(0, header) + kEnd, ModuleFileFromHex},
        {corrupt(good) + kEnd, ModuleFileBadHex},
        {good, ModuleFileBadHex},
        {good + kEnd + good, ModuleFileBadHex},
        {good + record(0, 0x06, {}) + kEnd, ModuleFileBadHex},
        {good + record(0, 0x04, {0}) + kEnd, ModuleFileBadHex},
        {data(0x2000, {1}) + kEnd, ModuleFileHexOutsideModule},   // a firmware file
        {data(0x9FFF, {1, 2}) + kEnd, ModuleFileHexOutsideModule},
        {linear(1) + good + kEnd, ModuleFileHexOutsideModule},
        {kEnd, ModuleFileHexOutsideModule},
    };
    std::array<std::uint8_t, kMaintenanceBufferSize> buffer;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        buffer.fill(0x5A);
        const std::string &t = c.text;
        ASSERT_EQ(moduleImageFromFileBytes({reinterpret_cast<const std::uint8_t *>(t.data()), t.size()}, buffer), c.result);
        if (c.result != ModuleFileFromHex) {
            EXPECT_TRUE(allEqual(buffer, 0x5A));
            continue;
        }
        EXPECT_TRUE(std::equal(header.begin(), header.end(), buffer.begin()));
        EXPECT_TRUE(allEqual(std::span(buffer).subspan(header.size()), 0xFF));
    }

    // A text too long to hold loses its end record.
    TempDir dir;
    const auto path = dir.write("long.hex", good + std::string(kMaxModuleFileBytes, '\n') + kEnd);
    EXPECT_EQ(readModuleFile(path, buffer), ModuleFileBadHex);
}

#ifndef _WIN32
// Files that real tools write from bytes placed at a given address.
class ToolMadeHex : public ::testing::TestWithParam<std::string> {
protected:
    fs::path make(const Bytes &bytes, unsigned address)
    {
        const std::string tool = GetParam().substr(0, GetParam().find(' '));
        if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
            return {};
        const fs::path in = dir_.write("in.bin", text(bytes));
        char command[512];
        std::snprintf(command, sizeof command, GetParam().c_str(), address, in.c_str(), (dir_ / "out.hex").c_str());
        return std::system(command) == 0 ? dir_ / "out.hex" : fs::path("tool failed");
    }

private:
    TempDir dir_;
};

TEST_P(ToolMadeHex, FirmwareFilesReadExactly)
{
    // One byte, a firmware image, everything up to the top of memory.
    for (std::size_t size : {std::size_t{1}, kFirmwareImageSize, HexImage::kSize - kFirmwareFileAddress}) {
        const Bytes bytes = pattern(size, static_cast<unsigned>(size));
        const fs::path hex = make(bytes, kFirmwareFileAddress);
        if (hex.empty())
            GTEST_SKIP() << GetParam() << ": tool not installed";
        HexImage image;
        ASSERT_EQ(readHexFile(hex, image), HexOk) << size;
        expectExactly(image, kFirmwareFileAddress, bytes);
        EXPECT_EQ(image.count, size);
    }
    // Beyond 64 KiB the reader stops instead of folding data onto low addresses.
    HexImage image;
    EXPECT_EQ(readHexFile(make(pattern(HexImage::kSize, 7), kFirmwareFileAddress), image), HexBeyondMemory);
    EXPECT_EQ(image.lowest, kFirmwareFileAddress);
}

TEST_P(ToolMadeHex, ModuleFilesConvert)
{
    const Bytes module = pattern(kModuleImageSize, 8);
    const fs::path hex = make(module, kModuleImageAddress);
    if (hex.empty())
        GTEST_SKIP() << GetParam() << ": tool not installed";
    auto files = std::make_unique<FirmwareFiles>();
    EXPECT_EQ(files->loadModuleFile(hex), ModuleFileFromHex);
    EXPECT_TRUE(std::equal(module.begin(), module.end(), files->buffer().begin()));
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolMadeHex,
                         ::testing::Values("objcopy -I binary -O ihex --change-addresses %1$#x '%2$s' '%3$s'",
                                           "srec_cat '%2$s' -binary -offset %1$#x -o '%3$s' -intel"));
#endif
