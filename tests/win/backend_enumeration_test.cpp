// The Windows HID backend's view of the machine's HID interfaces, which
// holds no accessory on the test machines.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "backends.h"

namespace zelo::hid {
namespace {

constexpr int kInterfaceLimit = 256;
constexpr std::size_t kPathCapacity = 1024;
constexpr std::size_t kHardwareIdSize = 255;

std::vector<std::string> listInterfaces(Backend &backend) {
    std::vector<std::string> paths;
    std::array<char, kPathCapacity> path{};
    bool detailOk = false;
    for (int index = 0; index < kInterfaceLimit && backend.interfacePath(index, path.data(), path.size(), &detailOk);
         ++index) {
        paths.push_back(detailOk ? path.data() : "");
    }
    return paths;
}

TEST(WindowsBackendEnumeration, FindsNoAccessory) {
    Backend &backend = *windowsBackend();
    const OpenMode probe{.read = true, .write = true, .shareRead = true, .shareWrite = true};
    for (const std::string &path : listInterfaces(backend)) {
        SCOPED_TRACE(path);
        Channel channel = path.empty() ? nullptr : backend.open(path.c_str(), probe);
        if (channel == nullptr) {
            continue;
        }
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        if (backend.attributes(channel, &vendorId, &productId)) {
            EXPECT_FALSE(vendorId == kVendorId && productId == kProductId);
        }
        backend.close(channel);
    }
}

TEST(WindowsBackendEnumeration, EachScanFromIndexZeroSeesTheSameList) {
    Backend &backend = *windowsBackend();
    const std::vector<std::string> first = listInterfaces(backend);
    EXPECT_EQ(first, listInterfaces(backend));
    std::array<char, kPathCapacity> path{};
    bool detailOk = true;
    EXPECT_FALSE(backend.interfacePath(static_cast<int>(first.size()), path.data(), path.size(), &detailOk));
    EXPECT_FALSE(detailOk);
    EXPECT_STREQ("", path.data());
    EXPECT_FALSE(backend.interfacePath(-1, path.data(), path.size(), &detailOk));
}

TEST(WindowsBackendEnumeration, HardwareIdOfAnUnknownInterfaceFails) {
    Backend &backend = *windowsBackend();
    std::array<char, kHardwareIdSize> id;
    id.fill('#');
    EXPECT_FALSE(backend.hardwareId("\\\\?\\hid#vid_0000&pid_0000#none#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                                    id.data(), id.size()));
    EXPECT_STREQ("", id.data());
    EXPECT_FALSE(backend.hardwareId(nullptr, id.data(), id.size()));
}

}  // namespace
}  // namespace zelo::hid
