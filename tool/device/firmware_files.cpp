#include "firmware_files.h"

#include <algorithm>
#include <fstream>
#include <string_view>

namespace zelo::device {

namespace {

constexpr std::uint8_t kBlank = HexImage::kBlank;
constexpr char kRecordMark = ':';
constexpr char kLineFeed = '\n';
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;
constexpr std::size_t kAddressRecordBytes = 2;
constexpr std::size_t kStartRecordBytes = 4;
constexpr int kByteBits = 8;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isText(std::uint8_t b)
{
    return (b >= kFirstPrintable && b <= kLastPrintable) || isBlank(static_cast<char>(b));
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
}

bool isAllText(std::span<const std::uint8_t> file)
{
    return std::all_of(file.begin(), file.end(), isText);
}

bool looksLikeHexText(std::span<const std::uint8_t> file)
{
    const std::string_view text = trimmed(asText(file));
    return !text.empty() && text.front() == kRecordMark;
}

std::uint32_t addressWord(const HexRecord &record)
{
    return (std::uint32_t{record.data[0]} << kByteBits) | record.data[1];
}

// Collects the module image from strictly valid records.
class ModuleHexConverter {
public:
    ModuleHexConverter() { image_.fill(kBlank); }

    // ModuleFileFromHex to go on, or the result that refuses the file.
    int line(std::string_view text)
    {
        text = trimmed(text);
        if (text.empty())
            return ModuleFileFromHex;
        const auto record = ended_ ? std::nullopt : parseHexRecord(text);
        return record ? apply(*record) : ModuleFileBadHex;
    }

    int finish(MaintenanceBuffer buffer) const
    {
        if (!ended_)
            return ModuleFileBadHex;
        if (!anyData_)
            return ModuleFileHexOutsideModule;
        std::fill(buffer.begin(), buffer.end(), kBlank);
        std::copy(image_.begin(), image_.end(), buffer.begin());
        return ModuleFileFromHex;
    }

private:
    int apply(const HexRecord &record)
    {
        switch (record.type) {
        case HexData:
            return storeData(record);
        case HexEndOfFile:
            ended_ = true;
            return ModuleFileFromHex;
        case HexExtendedSegment:
        case HexExtendedLinear:
            if (record.data.size() != kAddressRecordBytes)
                return ModuleFileBadHex;
            base_ = std::uint64_t{addressWord(record)}
                    << (record.type == HexExtendedLinear ? kHexLinearAddressShift : kHexSegmentAddressShift);
            return ModuleFileFromHex;
        case HexStartSegment:
        case HexStartLinear:
            // Start addresses mean nothing to the module image.
            return record.data.size() == kStartRecordBytes ? ModuleFileFromHex : ModuleFileBadHex;
        default:
            return ModuleFileBadHex;
        }
    }

    int storeData(const HexRecord &record)
    {
        const std::uint64_t first = base_ + record.address;
        for (std::size_t i = 0; i < record.data.size(); ++i) {
            const std::uint64_t address = first + i;
            if (address < kModuleImageAddress || address >= kModuleImageAddress + kModuleImageSize)
                return ModuleFileHexOutsideModule;
            image_[address - kModuleImageAddress] = record.data[i];
            anyData_ = true;
        }
        return ModuleFileFromHex;
    }

    std::array<std::uint8_t, kModuleImageSize> image_{};
    std::uint64_t base_ = 0;
    bool ended_ = false;
    bool anyData_ = false;
};

int convertModuleHex(std::string_view text, MaintenanceBuffer buffer)
{
    ModuleHexConverter converter;
    while (!text.empty()) {
        const std::size_t end = text.find(kLineFeed);
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (const int result = converter.line(line); result != ModuleFileFromHex)
            return result;
    }
    return converter.finish(buffer);
}

}  // namespace

int moduleImageFromFileBytes(std::span<const std::uint8_t> file, MaintenanceBuffer buffer)
{
    if (file.empty())
        return ModuleFileUnreadable;
    if (isAllText(file))
        return looksLikeHexText(file) ? convertModuleHex(asText(file), buffer) : ModuleFileTextNotHex;
    const std::size_t used = std::min(file.size(), buffer.size());
    std::fill(buffer.begin(), buffer.end(), kBlank);
    std::copy_n(file.begin(), used, buffer.begin());
    return ModuleFileRaw;
}

int readModuleFile(const std::filesystem::path &path, MaintenanceBuffer buffer)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ModuleFileUnreadable;
    std::vector<std::uint8_t> file(kMaxModuleFileBytes);
    in.read(reinterpret_cast<char *>(file.data()), static_cast<std::streamsize>(file.size()));
    file.resize(static_cast<std::size_t>(in.gcount()));
    return moduleImageFromFileBytes(file, buffer);
}

FirmwareFiles::FirmwareFiles()
{
    buffer_.fill(kBlank);
}

int FirmwareFiles::loadFirmwareFile(const std::filesystem::path &path)
{
    const int result = readHexFile(path, hex_);
    const auto first = hex_.data.begin() + kFirmwareFileAddress;
    buffer_.fill(kBlank);
    std::copy(first, first + kFirmwareImageSize, buffer_.begin());
    return result;
}

int FirmwareFiles::loadModuleFile(const std::filesystem::path &path)
{
    return readModuleFile(path, buffer_);
}

}  // namespace zelo::device
