// Device-interface notifications: ZELO_GetDeviceInfo reads the 8-bit and the
// UTF-16 record within the record's own size, and on Windows the path from
// ZELO_RequestNotification to the window and back works for ANSI and
// Unicode windows alike.
#include <cstring>
#include <string>
#include <vector>

#include "lib_fixture.h"

#if defined(_WIN32)
#include <windows.h>
#include <dbt.h>
#endif

namespace zelo::test {
namespace {

constexpr std::uint32_t kInterfaceType = 5;
constexpr std::size_t kNameOffset = 28;  // size, type, reserved, class identifier
constexpr std::int32_t kNotAccessory = 0;
constexpr std::int32_t kAccessory = 1;
constexpr std::uint16_t kOtherProduct = 0x0006;

// A record of exactly size bytes (so reading beyond it is caught), with
// name in 8-bit or UTF-16 characters, terminated when room is left.
std::vector<std::uint8_t> record(const std::string &name, bool wide, std::size_t size = 0) {
    const std::size_t charSize = wide ? 2 : 1;
    const std::size_t fullSize = kNameOffset + (name.size() + 1) * charSize;
    std::vector<std::uint8_t> bytes(size == 0 ? fullSize : size, 0);
    const auto sizeField = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(bytes.data(), &sizeField, sizeof sizeField);
    if (bytes.size() >= kNameOffset) std::memcpy(bytes.data() + 4, &kInterfaceType, sizeof kInterfaceType);
    for (std::size_t i = 0; i < name.size() && kNameOffset + (i + 1) * charSize <= bytes.size(); ++i) {
        bytes[kNameOffset + i * charSize] = static_cast<std::uint8_t>(name[i]);
    }
    return bytes;
}

class Notification : public LibraryTest {
protected:
    // The name ZELO_GetDeviceInfo copied, or "-" when it said no.
    std::string info(const std::vector<std::uint8_t> &bytes) {
        char name[ZELO_DEVICE_PATH_SIZE] = {};
        const std::int32_t result = ZELO_GetDeviceInfo(handle_, bytes.data(), name, sizeof name);
        EXPECT_TRUE(result == kAccessory || result == kNotAccessory) << result;
        return result == kAccessory ? std::string(name) : "-";
    }

    void SetUp() override {
        LibraryTest::SetUp();
        handle_ = plugAndOpen();
        path_ = accessory_->path();
        sim::AccessoryConfig other;
        other.productId = kOtherProduct;
        otherPath_ = plug(other)->path();
    }

    ZELO_HANDLE handle_ = nullptr;
    std::string path_;
    std::string otherPath_;
};

TEST_F(Notification, BothRecordLayoutsAreRecognised) {
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "UTF-16" : "8-bit");
        EXPECT_EQ(path_, info(record(path_, wide)));
        EXPECT_EQ("-", info(record(otherPath_, wide)));
    }
    std::vector<std::uint8_t> wideOutsideAscii = record(path_, true);
    wideOutsideAscii[kNameOffset + 2 * 5 + 1] = 0x01;  // one character becomes U+01xx
    EXPECT_EQ("-", info(wideOutsideAscii));
}

// A removed device's hardware ID cannot be read any more (the simulator
// forgets it as Wine does); its path still tells whose removal it was.
TEST_F(Notification, ARemovalIsRecognisedByThePath) {
    sim::AccessoryConfig other;
    other.productId = kOtherProduct;
    const auto otherLeaving = plug(other);
    const std::string otherLeavingPath = otherLeaving->path();
    world().unplug(accessory_);
    world().unplug(otherLeaving);
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "UTF-16" : "8-bit");
        EXPECT_EQ(path_, info(record(path_, wide)));
        EXPECT_EQ("-", info(record(otherLeavingPath, wide)));
    }
    const std::string withoutClass = path_.substr(0, path_.rfind('#'));
    EXPECT_EQ("-", info(record(withoutClass, false)));
    EXPECT_EQ("-", info(record(path_ + "x", false)));
}

TEST_F(Notification, TheSizeFieldBoundsEveryRead) {
    // Names without room for their terminator end where the record does.
    const std::size_t cut = path_.size() - 3;
    EXPECT_EQ("-", info(record(path_, false, kNameOffset + cut)));
    EXPECT_EQ("-", info(record(path_, true, kNameOffset + 2 * cut + 1)));
    // Records too short for a name or even for the device type.
    EXPECT_EQ("-", info(record(path_, false, kNameOffset)));
    EXPECT_EQ("-", info(record(path_, true, kNameOffset + 1)));
    EXPECT_EQ("-", info(record(path_, false, 4)));
}

#if defined(_WIN32)

struct Heard {
    WPARAM event;
    std::string name;  // as in info()
    bool wide;         // the record's name is UTF-16
};

ZELO_HANDLE windowHandle = nullptr;
std::vector<Heard> heardByAnsi;
std::vector<Heard> heardByUnicode;

LRESULT hear(std::vector<Heard> &heard, WPARAM wParam, LPARAM lParam) {
    char name[ZELO_DEVICE_PATH_SIZE] = {};
    const std::int32_t result =
        ZELO_GetDeviceInfo(windowHandle, reinterpret_cast<const void *>(lParam), name, sizeof name);
    const auto *record = reinterpret_cast<const std::uint8_t *>(lParam);
    heard.push_back({wParam, result == kAccessory ? std::string(name) : "-", record[kNameOffset + 1] == 0});
    return TRUE;
}

LRESULT CALLBACK ansiProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && lParam != 0) return hear(heardByAnsi, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK unicodeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && lParam != 0) return hear(heardByUnicode, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

Window ansiWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ansiProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZeloLibAnsiNotificationTest";
    RegisterClassA(&windowClass);
    return Window(CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr));
}

Window unicodeWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = unicodeProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZeloLibUnicodeNotificationTest";
    RegisterClassW(&windowClass);
    return Window(CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr));
}

TEST_F(Notification, RegisteredWindowsRecogniseTheAccessory) {
    const Window ansi = ansiWindow();
    const Window unicode = unicodeWindow();
    ASSERT_TRUE(ansi && unicode);
    ASSERT_FALSE(IsWindowUnicode(ansi.get()));
    windowHandle = handle_;
    heardByAnsi.clear();
    heardByUnicode.clear();
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(ansi.get()));
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(unicode.get()));

    const auto arriving = plug();
    sim::AccessoryConfig other;
    other.productId = kOtherProduct;
    const auto otherArriving = plug(other);
    world().unplug(arriving);
    world().unplug(otherArriving);

    const std::vector<std::pair<WPARAM, std::string>> expected{{DBT_DEVICEARRIVAL, arriving->path()},
                                                               {DBT_DEVICEARRIVAL, "-"},
                                                               {DBT_DEVICEREMOVECOMPLETE, arriving->path()},
                                                               {DBT_DEVICEREMOVECOMPLETE, "-"}};
    for (const auto *heard : {&heardByAnsi, &heardByUnicode}) {
        const bool unicode = heard == &heardByUnicode;
        SCOPED_TRACE(unicode ? "Unicode window" : "ANSI window");
        ASSERT_EQ(expected.size(), heard->size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].first, (*heard)[i].event) << i;
            EXPECT_EQ(expected[i].second, (*heard)[i].name) << i;
            EXPECT_EQ(unicode, (*heard)[i].wide) << "each window gets its own character set's record";
        }
    }
}

#endif

}  // namespace
}  // namespace zelo::test
