// cFlashUpgrade: brings accessory flash pages 20 to 22 up to date from the
// module image.
#include <array>
#include <cstdint>
#include <vector>

#include "command_codes.h"
#include "module_image.h"
#include "page_crc.h"
#include "registry.h"
#include "transport.h"
#include "zelo.h"

static_assert(cFlashUpgrade::StartPage == zelo::kModuleFirstPage);
static_assert(cFlashUpgrade::PageSize == static_cast<int>(zelo::kFlashPageSize));

namespace {

constexpr int kUpgradeDone = 0;
constexpr int kCrcReadFailed = -1;
constexpr int kPageWriteFailed = -2;
constexpr int kPagesMatch = 0;
constexpr int kPageDiffers = 1;

const std::uint8_t *imagePage(int index) { return zelo::moduleImage().data() + index * zelo::kFlashPageSize; }

// A designation carries the object's serial, never its address: a closed
// object is freed, and a later one may take the same address.
zelo::DeviceRef designatedDevice(char *designation) {
    return zelo::findOpenDevice(reinterpret_cast<std::uintptr_t>(designation));
}

// The accessory's CRC of page (high byte first); 0 when no answer came.
int readPageCrc(zelo::Device &device, int page, std::uint16_t *crc) {
    const std::uint8_t pageNumber = static_cast<std::uint8_t>(page);
    std::array<std::uint8_t, zelo::cmd::kCrcAnswer> answer{};
    const int status = zelo::commandExchange(device, zelo::cmd::kPageCrc, &pageNumber, 1, answer.data(),
                                             answer.size());
    *crc = static_cast<std::uint16_t>((answer[0] << 8) | answer[1]);
    return status;
}

int writePage(zelo::Device &device, int page, const std::uint8_t *data) {
    std::vector<std::uint8_t> payload;
    payload.reserve(1 + zelo::kFlashPageSize);
    payload.push_back(static_cast<std::uint8_t>(page));
    payload.insert(payload.end(), data, data + zelo::kFlashPageSize);
    std::array<std::uint8_t, zelo::cmd::kCrcAnswer> answer{};
    return zelo::commandExchange(device, zelo::cmd::kPageWrite, payload.data(), payload.size(), answer.data(),
                                 answer.size());
}

}  // namespace

cFlashUpgrade::cFlashUpgrade() = default;

cFlashUpgrade::~cFlashUpgrade() = default;

cFlashUpgrade &cFlashUpgrade::operator=(const cFlashUpgrade &) { return *this; }

unsigned short cFlashUpgrade::CalculatePageCRC(const unsigned char *data, unsigned int length) {
    return zelo::pageCrc(data, length);
}

int cFlashUpgrade::Upgrade(char *designation) {
    const zelo::DeviceRef device = designatedDevice(designation);
    if (device == nullptr) {
        return kCrcReadFailed;
    }
    for (int i = 0; i < zelo::kModulePageCount; ++i) {
        const int page = StartPage + i;
        const std::uint16_t expected = CalculatePageCRC(imagePage(i), PageSize);
        std::uint16_t actual = 0;
        if (readPageCrc(*device, page, &actual) != zelo::kExchangeOk) {
            return kCrcReadFailed;
        }
        if (actual != expected && writePage(*device, page, imagePage(i)) != zelo::kExchangeOk) {
            return kPageWriteFailed;
        }
    }
    return kUpgradeDone;
}

int cFlashUpgrade::CheckFirmwareCRC(char *designation) {
    const zelo::DeviceRef device = designatedDevice(designation);
    if (device == nullptr) {
        return kPageDiffers;
    }
    for (int i = 0; i < zelo::kModulePageCount; ++i) {
        std::uint16_t actual = 0;
        readPageCrc(*device, StartPage + i, &actual);  // a missing answer counts as CRC 0
        if (actual != CalculatePageCRC(imagePage(i), PageSize)) {
            return kPageDiffers;
        }
    }
    return kPagesMatch;
}

char *cFlashUpgrade::Designate(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    return device != nullptr ? reinterpret_cast<char *>(device->serial) : nullptr;
}
