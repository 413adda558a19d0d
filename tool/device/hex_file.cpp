#include "hex_file.h"

#include <algorithm>
#include <fstream>
#include <istream>
#include <string>
#include <system_error>

namespace zelo::device {

namespace {

constexpr char kRecordMark = ':';
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
// Lines are read into a 255-byte buffer: 254 characters and the terminator.
constexpr std::size_t kMaxLineChars = 254;
// A final end-of-file record without a line feed.
constexpr std::string_view kBareEndRecord = ":00000001FF";

// Character positions within a record line.
constexpr std::ptrdiff_t kLengthAt = 1;
constexpr std::ptrdiff_t kAddressAt = 3;
constexpr std::ptrdiff_t kTypeAt = 7;
constexpr std::ptrdiff_t kDataAt = 9;
constexpr std::ptrdiff_t kPairChars = 2;
constexpr std::ptrdiff_t kWordChars = 4;
// The checksum sits in the two characters before the line's last one.
constexpr std::ptrdiff_t kChecksumFromEnd = 3;
// A line of exactly 4 x length + 12 characters switches word mode on.
constexpr std::size_t kWordLineChars = 4;
constexpr std::size_t kWordLineOverhead = 12;
// Fields of a record besides its data: length, two address bytes, type.
constexpr std::size_t kHeaderBytes = 4;

constexpr int kByteBits = 8;
constexpr int kNibbleBits = 4;
constexpr int kDecimalDigits = 10;
constexpr unsigned kByteMask = 0xFF;

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + kDecimalDigits;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + kDecimalDigits;
    return -1;
}

std::uint8_t twosComplement(unsigned sum)
{
    return static_cast<std::uint8_t>((0u - sum) & kByteMask);
}

// A line as the lenient reader sees it: any character that is not a
// hexadecimal digit counts as 0, and so does any position outside the line.
class LenientLine {
public:
    explicit LenientLine(std::string_view text) : text_(text) {}

    std::ptrdiff_t size() const { return static_cast<std::ptrdiff_t>(text_.size()); }

    std::uint8_t pair(std::ptrdiff_t at) const
    {
        return static_cast<std::uint8_t>((digit(at) << kNibbleBits) | digit(at + 1));
    }

    std::uint16_t word(std::ptrdiff_t at) const
    {
        return static_cast<std::uint16_t>((pair(at) << kByteBits) | pair(at + kPairChars));
    }

private:
    int digit(std::ptrdiff_t at) const
    {
        if (at < 0 || at >= size())
            return 0;
        return std::max(digitValue(text_[static_cast<std::size_t>(at)]), 0);
    }

    std::string_view text_;
};

// Hands out lines the way a text-mode fgets into the 255-byte buffer does:
// CR before LF dropped, at most kMaxLineChars characters, LF kept.
class LineSource {
public:
    explicit LineSource(std::istream &in) : in_(in) {}

    bool next(std::string &line)
    {
        line.clear();
        while (line.size() < kMaxLineChars) {
            const auto c = in_.get();
            if (c == std::istream::traits_type::eof())
                break;
            if (c == kCarriageReturn && in_.peek() == kLineFeed)
                continue;
            line.push_back(static_cast<char>(c));
            if (c == kLineFeed)
                break;
        }
        return !line.empty();
    }

private:
    std::istream &in_;
};

class HexReader {
public:
    explicit HexReader(HexImage &image) : image_(image) {}

    // HexOk to go on, or the result that stops reading at once.
    int record(std::string_view text)
    {
        const LenientLine line(text);
        const unsigned length = line.pair(kLengthAt);
        const std::uint8_t type = line.pair(kTypeAt);
        lastType_ = type;
        if (type == HexExtendedLinear) {
            // Its checksum is never compared.
            base_ = std::uint64_t{line.word(kDataAt)} << kHexLinearAddressShift;
            return HexOk;
        }
        const std::ptrdiff_t checksumAt = line.size() - kChecksumFromEnd;
        if (line.pair(checksumAt) != computedChecksum(line, checksumAt))
            checksumMismatch_ = true;
        if (text.size() == kWordLineChars * length + kWordLineOverhead)
            wordMode_ = true;
        if (describesAddressesOnly(type, line))
            return HexOk;
        const std::uint16_t address = line.word(kAddressAt);
        const int stored = wordMode_ ? storeWords(line, address, length) : storeBytes(line, address, length);
        if (stored == HexOk)
            image_.count += length;
        return stored;
    }

    void endOfFile() { lastType_ = HexEndOfFile; }

    int finish() const
    {
        if (checksumMismatch_)
            return HexBadChecksum;
        return lastType_ == HexEndOfFile ? HexOk : HexNoEndRecord;
    }

private:
    static std::uint8_t computedChecksum(const LenientLine &line, std::ptrdiff_t checksumAt)
    {
        unsigned sum = 0;
        for (std::ptrdiff_t at = kLengthAt; at + 1 < checksumAt; at += kPairChars)
            sum += line.pair(at);
        return twosComplement(sum);
    }

    // Segment and start address records describe addresses, not memory
    // contents: storing their bytes would put data where the file has none,
    // and ignoring a segment base would fold data above 64 KiB onto low
    // addresses.
    bool describesAddressesOnly(std::uint8_t type, const LenientLine &line)
    {
        if (type == HexExtendedSegment)
            base_ = std::uint64_t{line.word(kDataAt)} << kHexSegmentAddressShift;
        return type == HexExtendedSegment || type == HexStartSegment || type == HexStartLinear;
    }

    int storeAt(std::uint64_t address, std::uint8_t value)
    {
        if (address >= HexImage::kSize)
            return HexBeyondMemory;
        image_.store(static_cast<std::uint32_t>(address), value);
        return HexOk;
    }

    int storeBytes(const LenientLine &line, std::uint16_t address, unsigned length)
    {
        for (unsigned i = 0; i < length; ++i) {
            const std::uint8_t value = line.pair(kDataAt + kPairChars * i);
            if (storeAt(base_ + address + i, value) != HexOk)
                return HexBeyondMemory;
        }
        return HexOk;
    }

    // Word j holds a byte pair; the second byte goes to the even address.
    int storeWords(const LenientLine &line, std::uint16_t wordAddress, unsigned length)
    {
        for (unsigned j = 0; j < length; ++j) {
            const std::ptrdiff_t at = kDataAt + kWordChars * j;
            const std::uint64_t even = base_ + 2 * std::uint64_t{wordAddress} + 2 * j;
            if (storeAt(even, line.pair(at + kPairChars)) != HexOk || storeAt(even + 1, line.pair(at)) != HexOk)
                return HexBeyondMemory;
        }
        return HexOk;
    }

    HexImage &image_;
    std::uint64_t base_ = 0;
    std::uint8_t lastType_ = HexData;
    bool wordMode_ = false;
    bool checksumMismatch_ = false;
};

bool isEmptyLine(std::string_view line)
{
    return line.size() == 1 && line.front() == kLineFeed;
}

}  // namespace

void HexImage::clear()
{
    std::fill(data.begin(), data.end(), kBlank);
    std::fill(written.begin(), written.end(), std::uint8_t{0});
    lowest = kNoLowest;
    highest = 0;
    count = 0;
}

void HexImage::store(std::uint32_t address, std::uint8_t value)
{
    data[address] = value;
    written[address] = 1;
    lowest = std::min(lowest, address);
    highest = std::max(highest, address);
}

int readHexText(std::istream &in, HexImage &image)
{
    image.clear();
    HexReader reader(image);
    LineSource lines(in);
    std::string line;
    while (lines.next(line)) {
        if (line.front() != kRecordMark) {
            if (isEmptyLine(line))
                break;
            return HexBadLineStart;
        }
        if (line == kBareEndRecord) {
            reader.endOfFile();
            break;
        }
        if (const int result = reader.record(line); result != HexOk)
            return result;
    }
    return reader.finish();
}

int readHexFile(const std::filesystem::path &path, HexImage &image)
{
    image.clear();
    // Some systems open a directory as an empty file; it is not one.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return HexCannotOpen;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return HexCannotOpen;
    return readHexText(in, image);
}

std::optional<HexRecord> parseHexRecord(std::string_view line)
{
    if (line.empty() || line.front() != kRecordMark)
        return std::nullopt;
    const std::string_view digits = line.substr(kLengthAt);
    if (digits.size() % kPairChars != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at < digits.size(); at += kPairChars) {
        const int high = digitValue(digits[at]);
        const int low = digitValue(digits[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>((high << kNibbleBits) | low));
    }
    // Header, data and the checksum byte.
    if (bytes.size() < kHeaderBytes + 1 || bytes.size() != kHeaderBytes + bytes[0] + 1)
        return std::nullopt;
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    if ((sum & kByteMask) != 0)
        return std::nullopt;
    HexRecord record;
    record.address = static_cast<std::uint16_t>((bytes[1] << kByteBits) | bytes[2]);
    record.type = bytes[3];
    record.data.assign(bytes.begin() + kHeaderBytes, bytes.end() - 1);
    return record;
}

}  // namespace zelo::device
