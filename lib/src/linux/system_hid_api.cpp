// hidapi-hidraw as the Linux backend sees it.
#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "hid_api.h"

namespace zelo::hid::linux_backend {

namespace {

constexpr const char *kSysfsHidraw = "/sys/class/hidraw/";
constexpr const char *kDescriptorFile = "/device/report_descriptor";

hid_device *device(HidHandle handle) { return static_cast<hid_device *>(handle); }

class SystemHidApi final : public HidApi {
public:
    SystemHidApi() { hid_init(); }
    ~SystemHidApi() override { hid_exit(); }
    SystemHidApi(const SystemHidApi &) = delete;
    SystemHidApi &operator=(const SystemHidApi &) = delete;

    std::vector<HidInterface> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<HidInterface> found;
        // hidapi keeps its last error of calls without a device in one
        // global; these calls take turns.
        std::lock_guard lock(globalCalls_);
        hid_device_info *list = hid_enumerate(vendorId, productId);
        for (const hid_device_info *info = list; info != nullptr; info = info->next) {
            if (info->path != nullptr) {
                found.push_back({info->path, info->vendor_id, info->product_id});
            }
        }
        hid_free_enumeration(list);
        return found;
    }

    HidHandle open(const std::string &path) override {
        std::lock_guard lock(globalCalls_);
        return hid_open_path(path.c_str());
    }

    void close(HidHandle handle) override { hid_close(device(handle)); }

    std::optional<HidInterface> deviceInfo(HidHandle handle) override {
        // Owned by the device; freed by hid_close.
        const hid_device_info *info = hid_get_device_info(device(handle));
        if (info == nullptr) {
            return std::nullopt;
        }
        return HidInterface{info->path != nullptr ? info->path : "", info->vendor_id, info->product_id};
    }

    int read(HidHandle handle, std::uint8_t *data, std::size_t length, int timeoutMs) override {
        return hid_read_timeout(device(handle), data, length, timeoutMs);
    }

    int write(HidHandle handle, const std::uint8_t *data, std::size_t length) override {
        return hid_write(device(handle), data, length);
    }

    int getFeature(HidHandle handle, std::uint8_t *data, std::size_t length) override {
        return hid_get_feature_report(device(handle), data, length);
    }

    NodeLock lockNode(const std::string &path, bool exclusive) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            return nullptr;
        }
        if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        return new int(fd);
    }

    void unlockNode(NodeLock lock) override {
        const int *fd = static_cast<int *>(lock);
        ::close(*fd);  // ends the claim
        delete fd;
    }

    std::optional<std::vector<std::uint8_t>> reportDescriptor(const std::string &path) override {
        const std::string node = std::filesystem::path(path).filename().string();
        std::ifstream file(kSysfsHidraw + node + kDescriptorFile, std::ios::binary);
        if (!file) {
            return std::nullopt;
        }
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

private:
    std::mutex globalCalls_;
};

}  // namespace

HidApi &systemHidApi() {
    static SystemHidApi instance;
    return instance;
}

}  // namespace zelo::hid::linux_backend
