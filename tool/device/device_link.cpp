#include "device_link.h"

#include "decimal_text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>
#include <vector>

namespace zelo::device {

namespace {

constexpr int kIndexMask = 0xFF;  // the library takes the device number as one byte
constexpr std::uint32_t kUartBaudRate = 38400;
constexpr std::uint8_t kUartOneStopBit = 1;
constexpr std::uint8_t kUartNoParity = 0;
constexpr std::uint8_t kUartDataBits = 8;
constexpr std::uint8_t kErasedByte = 0xFF;

constexpr float kStandardLoader = 1.0f;
constexpr float kXLoader = 1.01f;
// "1.24" with this exponent reads as 124 exactly; times ten gives version x 1000.
constexpr std::string_view kVersionExponent = "e2";
constexpr double kVersionScale = 10.0;
constexpr double kThousandths = 1000.0;
constexpr int kDisplayDecimals = 2;

std::string_view versionChars(const char *text) {
    if (text == nullptr) return {};
    const std::size_t length = static_cast<std::size_t>(std::find(text, text + kVersionTextLength, '\0') - text);
    return {text, length};
}

// The leading decimal number of text, 0 when there is none. Independent of
// the locale's decimal point.
double leadingNumber(std::string_view text) { return leadingDecimal(text); }

void storeVersion(char (&out)[kVersionTextLength + 1], const char *text) {
    const std::string_view chars = versionChars(text);
    std::fill(std::begin(out), std::end(out), '\0');
    std::copy(chars.begin(), chars.end(), out);
}

// A locked operation's length as the library takes it; false when it does not fit.
bool fitsLibrary(std::size_t length) { return length <= std::numeric_limits<std::uint32_t>::max(); }

}  // namespace

std::uint32_t firmwareNumberOf(const char *text) {
    std::string withExponent(versionChars(text));
    withExponent += kVersionExponent;
    const double scaled = leadingNumber(withExponent) * kVersionScale;
    if (!(scaled > 0.0)) return 0;
    if (scaled >= static_cast<double>(std::numeric_limits<std::uint32_t>::max())) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(scaled);
}

DeviceVariant variantOf(const char *ldVersion) {
    const double reading = leadingNumber(versionChars(ldVersion));
    if (!(reading >= 0.0) || reading > static_cast<double>(std::numeric_limits<float>::max())) {
        return DeviceVariant::Other;
    }
    const float narrowed = static_cast<float>(reading);
    if (narrowed == kStandardLoader) return DeviceVariant::Standard;
    if (narrowed == kXLoader) return DeviceVariant::X;
    return DeviceVariant::Other;
}

CDeviceLink::CDeviceLink() : CDeviceLink(zeloLibrary()) {}

CDeviceLink::CDeviceLink(DeviceLibrary &library) : library_(library) {
    // Nothing has been read yet: an erased image, never stray memory that a
    // later seal would fold into its CRC.
    firmwareImage.fill(kErasedByte);
}

CDeviceLink::~CDeviceLink() {
    if (isConnected()) close();
}

int CDeviceLink::open(int index) {
    const int result = library_.openDevice(index & kIndexMask, &handle, devicePath);
    devicePath[kDevicePathSize - 1] = '\0';
    if (result == ZELO_OK) connected = 1;
    // Another accessory, or the same one changed meanwhile.
    writeBaseline.reset();
    return result;
}

void CDeviceLink::close() {
    if (handle != nullptr) library_.closeDevice(handle);
    connected = 0;
    record.disconnect();
}

int CDeviceLink::uartEnable() {
    std::uint32_t actualBaud = 0;
    return library_.uartEnable(handle, kUartBaudRate, &actualBaud, kUartOneStopBit, kUartNoParity, kUartDataBits);
}

int CDeviceLink::readIrStatus(std::uint8_t *status) {
    if (status != nullptr) std::fill(status, status + kIrStatusSize, 0);
    return library_.irStatus(handle, status);
}

int CDeviceLink::bytesInFifo() { return library_.bytesInFifo(handle); }

int CDeviceLink::read(std::uint8_t *buffer, std::size_t length) {
    if (!fitsLibrary(length)) return ZELO_OUT_OF_RANGE;
    return library_.read(handle, buffer, static_cast<std::uint32_t>(length));
}

int CDeviceLink::linkTransact(std::uint8_t command, const std::uint8_t *payload, std::size_t payloadLength,
                              std::uint8_t *reply, std::size_t replyLength) {
    if (payload == nullptr) payloadLength = 0;
    // The frame adds the command byte to the payload.
    if (payloadLength >= std::numeric_limits<std::uint32_t>::max() || !fitsLibrary(replyLength)) {
        return ZELO_OUT_OF_RANGE;
    }
    std::vector<std::uint8_t> frame;
    frame.reserve(payloadLength + 1);
    frame.push_back(command);
    frame.insert(frame.end(), payload, payload + payloadLength);

    const std::lock_guard<std::mutex> guard(lock_);
    discardWaiting();
    const int written = library_.write(handle, frame.data(), static_cast<std::uint32_t>(frame.size()));
    if (written != ZELO_OK || replyLength == 0 || reply == nullptr) return written;
    return library_.read(handle, reply, static_cast<std::uint32_t>(replyLength));
}

// Bytes waiting before a command goes out cannot be its answer: they are
// what came late (or unasked) for an earlier exchange, and read as this
// one's answer they would shift every later exchange on the link by one.
// The reader moves whatever the system has queued into the FIFO as it
// arrives, so the FIFO holds all there is to discard.
void CDeviceLink::discardWaiting() {
    const std::int32_t waiting = library_.bytesInFifo(handle);
    if (waiting <= 0) return;
    std::vector<std::uint8_t> stale(static_cast<std::size_t>(waiting));
    library_.read(handle, stale.data(), static_cast<std::uint32_t>(stale.size()));
}

int CDeviceLink::uartWrite(const std::uint8_t *data, std::size_t length) {
    if (!fitsLibrary(length)) return ZELO_OUT_OF_RANGE;
    const std::lock_guard<std::mutex> guard(lock_);
    return library_.uartWrite(handle, data, static_cast<std::uint32_t>(length));
}

int CDeviceLink::uartRead(std::uint8_t *buffer, std::size_t length) {
    if (!fitsLibrary(length)) return ZELO_OUT_OF_RANGE;
    const std::lock_guard<std::mutex> guard(lock_);
    return library_.uartRead(handle, buffer, static_cast<std::uint32_t>(length));
}

int CDeviceLink::uartBytesInFifo() {
    const std::lock_guard<std::mutex> guard(lock_);
    return library_.uartBytesInFifo(handle);
}

int CDeviceLink::uartDisable() {
    const std::lock_guard<std::mutex> guard(lock_);
    return library_.uartDisable(handle);
}

DeviceVariant CDeviceLink::variant() const { return variantOf(ldVersion); }

std::wstring CDeviceLink::firmwareText() const {
    const std::string text = fixedDecimalText(firmwareNumber / kThousandths, kDisplayDecimals);
    return std::wstring(text.begin(), text.end());
}

std::wstring CDeviceLink::wideDevicePath() const {
    const char *end = std::find(devicePath, devicePath + kDevicePathSize, '\0');
    std::wstring wide;
    wide.reserve(static_cast<std::size_t>(end - devicePath));
    // Device paths are plain ASCII; each byte widens to the same code point.
    for (const char *c = devicePath; c != end; ++c) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return wide;
}

void CDeviceLink::setFirmwareVersion(const char *text) {
    storeVersion(firmwareVersion, text);
    firmwareNumber = firmwareNumberOf(firmwareVersion);
}

void CDeviceLink::setLdVersion(const char *text) { storeVersion(ldVersion, text); }

void CDeviceLink::selectDefaults() {
    const DeviceVariant current = variant();
    record.connect(current, defaultBlock(current));
}

}  // namespace zelo::device
