// The HID backend over the Windows HID class driver and SetupAPI.
#include <algorithm>
#include <cstring>
#include <vector>

#include "backends.h"
#include "win/channel_table.h"
#include "win/device_interfaces.h"
#include "win/overlapped_io.h"
#include "win/win_api.h"

namespace zelo::hid {

namespace {

using win::ChannelState;

// The device-interface filter handed to RegisterDeviceNotificationA.
constexpr std::size_t kNotificationFilterSize = 32;
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == kNotificationFilterSize);

// First size tried for the hardware-ID property; larger lists are fetched whole.
constexpr DWORD kHardwareIdBufferSize = 255;

constexpr const char *kReportIdErrorText = "Err";
constexpr const char *kReportIdErrorCaption = "Err2";

// Copies text into out, cut to size with its terminating zero.
void copyCut(const char *text, std::size_t length, char *out, std::size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    const std::size_t n = std::min(length, size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

GUID hidInterfaceClass() {
    GUID guid{};
    HidD_GetHidGuid(&guid);
    return guid;
}

// The first string of the hardware-ID list of the device behind the
// interface named deviceName.
bool readHardwareId(const char *deviceName, std::vector<BYTE> &value) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) {
        return false;
    }
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(interfaceData);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    std::vector<std::uint8_t> detail;
    bool ok = SetupDiOpenDeviceInterfaceA(set, deviceName, 0, &interfaceData) &&
              win::interfaceDetailPath(set, &interfaceData, detail, &device) != nullptr;
    value.assign(kHardwareIdBufferSize, 0);
    DWORD required = 0;
    while (ok && !SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr, value.data(),
                                                    static_cast<DWORD>(value.size()), &required)) {
        ok = GetLastError() == ERROR_INSUFFICIENT_BUFFER && required > value.size();
        if (ok) {
            value.assign(required, 0);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

class WindowsBackend final : public Backend {
public:
    WindowsBackend() : hidClass_(hidInterfaceClass()), interfaces_(hidClass_) {}

    bool interfacePath(int index, char *path, std::size_t size, bool *detailOk) override {
        copyCut("", 0, path, size);
        bool found = false;
        const bool exists = interfaces_.withInterface(index, [&](HDEVINFO set, SP_DEVICE_INTERFACE_DATA *data) {
            std::vector<std::uint8_t> storage;
            if (const char *devicePath = win::interfaceDetailPath(set, data, storage, nullptr)) {
                copyCut(devicePath, std::strlen(devicePath), path, size);
                found = true;
            }
        });
        if (detailOk != nullptr) {
            *detailOk = found;
        }
        return exists;
    }

    Channel open(const char *path, const OpenMode &mode) override {
        if (path == nullptr) {
            return nullptr;
        }
        const DWORD access = (mode.read ? GENERIC_READ : 0) | (mode.write ? GENERIC_WRITE : 0);
        const DWORD share = (mode.shareRead ? FILE_SHARE_READ : 0) | (mode.shareWrite ? FILE_SHARE_WRITE : 0);
        const DWORD flags = mode.overlapped ? FILE_FLAG_OVERLAPPED : 0;
        HANDLE handle = CreateFileA(path, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        auto state = ChannelState::create(handle, mode.overlapped);
        if (state == nullptr) {
            CloseHandle(handle);
            return nullptr;
        }
        channels_.add(std::move(state));
        return handle;
    }

    void close(Channel channel) override {
        auto state = channels_.take(channel);
        if (state == nullptr) {
            return;
        }
        if (state->overlapped) {
            // Ends a read that is waiting, so the io lock comes free.
            SetEvent(state->cancelEvent.get());
            CancelIoEx(state->handle, nullptr);
        }
        std::lock_guard io(state->io);
        state->closed = true;
        CloseHandle(state->handle);
    }

    bool attributes(Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) override {
        HANDLE handle = knownHandle(channel);
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof(attributes);
        if (handle == nullptr || !HidD_GetAttributes(handle, &attributes)) {
            return false;
        }
        *vendorId = attributes.VendorID;
        *productId = attributes.ProductID;
        return true;
    }

    bool reportLengths(Channel channel, ReportLengths *lengths) override {
        HANDLE handle = knownHandle(channel);
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        if (handle == nullptr || !HidD_GetPreparsedData(handle, &preparsed)) {
            return false;
        }
        HIDP_CAPS caps{};
        const bool ok = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
        HidD_FreePreparsedData(preparsed);
        if (ok) {
            lengths->input = caps.InputReportByteLength;
            lengths->output = caps.OutputReportByteLength;
            lengths->feature = caps.FeatureReportByteLength;
        }
        return ok;
    }

    bool flushInput(Channel channel) override {
        HANDLE handle = knownHandle(channel);
        return handle != nullptr && HidD_FlushQueue(handle);
    }

    bool setNumInputBuffers(Channel channel, std::uint32_t count) override {
        HANDLE handle = knownHandle(channel);
        return handle != nullptr && HidD_SetNumInputBuffers(handle, count);
    }

    bool writeReport(Channel channel, const std::uint8_t *report, std::uint32_t length,
                     std::uint32_t *transferred) override {
        auto state = channels_.find(channel);
        if (state == nullptr || report == nullptr) {
            return false;
        }
        DWORD written = 0;
        // Only an overlapped channel can be given up at the write limit; the
        // library writes on overlapped channels only.
        const bool ok = state->overlapped ? win::writeOverlapped(state->handle, report, length, timing().writeLimitMs, &written)
                                          : WriteFile(state->handle, report, length, &written, nullptr) != FALSE;
        if (transferred != nullptr) {
            *transferred = written;
        }
        // A report goes out whole or not at all; anything else is a failure.
        return ok && written == length;
    }

    ReadStatus readReports(Channel channel, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t timeoutMs,
                           std::uint32_t *transferred) override {
        std::uint32_t count = 0;
        const ReadStatus status = readChannel(channel, buffer, capacity, timeoutMs, &count);
        if (transferred != nullptr) {
            *transferred = count;
        }
        return status;
    }

    void cancelRead(Channel channel) override {
        auto state = channels_.find(channel);
        if (state != nullptr && state->overlapped) {
            SetEvent(state->cancelEvent.get());
        }
    }

    bool getFeature(Channel channel, std::uint8_t *buffer, std::uint32_t length) override {
        HANDLE handle = knownHandle(channel);
        return handle != nullptr && buffer != nullptr && HidD_GetFeature(handle, buffer, length);
    }

    bool hardwareId(const char *deviceName, char *id, std::size_t size) override {
        copyCut("", 0, id, size);
        std::vector<BYTE> value;
        if (deviceName == nullptr || !readHardwareId(deviceName, value)) {
            return false;
        }
        // A list of zero-terminated strings; the property may lack the final zero.
        const char *first = reinterpret_cast<const char *>(value.data());
        copyCut(first, strnlen(first, value.size()), id, size);
        return true;
    }

    void requestNotification(void *window) override {
        DEV_BROADCAST_DEVICEINTERFACE_A filter{};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_reserved = 0;
        filter.dbcc_classguid = hidClass_;
        // Lasts as long as the window; the result is not needed.
        RegisterDeviceNotificationA(static_cast<HWND>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }

    void reportIdError() override {
        MessageBoxA(nullptr, kReportIdErrorText, kReportIdErrorCaption, MB_OK);
    }

    Timing timing() const override { return Timing{}; }

private:
    // The handle of a channel this backend opened and has not closed, or null.
    HANDLE knownHandle(Channel channel) const {
        auto state = channels_.find(channel);
        return state == nullptr ? nullptr : state->handle;
    }

    ReadStatus readChannel(Channel channel, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t timeoutMs,
                           std::uint32_t *transferred) {
        auto state = channels_.find(channel);
        if (state == nullptr || !state->overlapped || buffer == nullptr) {
            return ReadStatus::Failed;
        }
        std::lock_guard io(state->io);
        if (state->closed) {
            return ReadStatus::Failed;
        }
        return win::readOverlapped(*state, buffer, capacity, timeoutMs, transferred);
    }

    const GUID hidClass_;
    win::InterfaceSnapshots interfaces_;
    win::ChannelTable channels_;
};

}  // namespace

Backend *windowsBackend() {
    static WindowsBackend instance;
    return &instance;
}

}  // namespace zelo::hid
