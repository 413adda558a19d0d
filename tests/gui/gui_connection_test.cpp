// The accessory connection through the real main window: the start-up
// count, device notifications from the simulator, the arrival timer, the
// removal of the open accessory, refused accessories and the first-
// connection stamp.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cwchar>

#include "app_state.h"
#include "connect_sequence.h"
#include "connection_helpers.h"
#include "device_watch_win.h"
#include "protocol.h"
#include "resource.h"

namespace zelo::gui_test {
namespace {

constexpr wchar_t kDisconnected[] = L"Disconnected";
constexpr wchar_t kStandardConnected[] = L"ZE\u00B7LO Connected (v1.24)";
constexpr wchar_t kXConnected[] = L"ZE\u00B7LO X Connected (v2.06)";
constexpr std::uint16_t kOtherVendor = 0x1234;
constexpr std::uint16_t kOtherProduct = 0x000A;
constexpr std::size_t kStampInPage = device::kTimeStampOffset - device::kPageSize;
constexpr int kStampPage = device::kConfigurationPages[1];
constexpr std::uint8_t kLoaderVersion = device::command::kLoaderVersion;
constexpr int kIrTab = 4;

class Connection : public testing::Test {
protected:
    static sim::World &world() { return SimulatedWorld::world(); }
    static std::shared_ptr<sim::Accessory> plug(const std::string &model, const std::string &firmware = "") {
        return world().plug(accessoryConfig(model, firmware));
    }
    static bool saveEnabled(const ProgramRun &program) {
        return IsWindowEnabled(GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE)) != FALSE;
    }
    static bool accessoryCommandsGreyed(const ProgramRun &program) {
        return (program.menuState(IDM_OPTIONS_RESTORE_DEFAULTS) & MF_GRAYED) != 0 &&
               (program.menuState(IDM_TOOLS_PAIR) & MF_GRAYED) != 0;
    }
    static bool accessoryCommandsEnabled(const ProgramRun &program) {
        return (program.menuState(IDM_OPTIONS_RESTORE_DEFAULTS) & MF_GRAYED) == 0 &&
               (program.menuState(IDM_TOOLS_PAIR) & MF_GRAYED) == 0;
    }

    // Refused: the too-new message names highest, OK discards the link.
    static void expectRefused(ProgramRun &program, const std::string &highest) {
        HWND box = waitForMessageBox(program.mainWindow(), kErrorCaption);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(app::tooNewMessageText(highest), messageBoxText(box));
        EXPECT_NE(std::wstring::npos, messageBoxText(box).find(std::wstring(highest.begin(), highest.end())));
        ASSERT_TRUE(answerMessageBox(box, IDOK));
        ASSERT_TRUE(waitFor([] { return app::deviceLink() == nullptr; }));
        EXPECT_TRUE(waitFor([&] { return program.statusText(0) == kDisconnected; }));
        EXPECT_TRUE(accessoryCommandsGreyed(program));
    }

    SimulatedWorld world_;
};

TEST(DeviceIdentity, ComparesTheFirstHardwareIdPrefixRegardlessOfCase) {
    EXPECT_EQ(L"HID\\Vid_3A71&Pid_0009", app::accessoryIdentityText());
    EXPECT_EQ(app::kIdentityLength, app::accessoryIdentityText().size());
    EXPECT_TRUE(app::isAccessoryHardwareId(L"HID\\VID_3A71&PID_0009&REV_0100"));
    EXPECT_TRUE(app::isAccessoryHardwareId(L"hid\\vid_3a71&pid_0009"));
    EXPECT_FALSE(app::isAccessoryHardwareId(L"HID\\VID_3A71&PID_000A&REV_0100"));
    EXPECT_FALSE(app::isAccessoryHardwareId(L"HID\\VID_3A72&PID_0009"));
    EXPECT_FALSE(app::isAccessoryHardwareId(L"HID\\VID_3A71&PID_000"));
    EXPECT_FALSE(app::isAccessoryHardwareId(L""));
}

TEST(DeviceIdentity, ReadsTheBroadcastNameNoFurtherThanItsSize) {
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W header;
        wchar_t rest[4];
    } record{};
    record.header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::wcsncpy(record.header.dbcc_name, L"ABCD", 5);
    const auto *broadcast = reinterpret_cast<const DEV_BROADCAST_HDR *>(&record);
    record.header.dbcc_size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + 3 * sizeof(wchar_t);
    EXPECT_EQ(L"ABC", app::broadcastInterfaceName(broadcast).value_or(L"<none>")) << "no terminator inside the record";
    record.header.dbcc_size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    EXPECT_EQ(L"", app::broadcastInterfaceName(broadcast).value_or(L"<none>"));
    record.header.dbcc_devicetype = DBT_DEVTYP_HANDLE;
    EXPECT_FALSE(app::broadcastInterfaceName(broadcast).has_value());
    EXPECT_FALSE(app::broadcastInterfaceName(nullptr).has_value());
}

TEST_F(Connection, StartsDisconnectedAndIgnoresOtherHidDevices) {
    sim::AccessoryConfig otherVendor = accessoryConfig("standard");
    otherVendor.vendorId = kOtherVendor;
    auto foreign = world().plug(otherVendor);

    ProgramRun program;
    ASSERT_TRUE(program.ready());
    EXPECT_EQ(kDisconnected, program.statusText(0));
    EXPECT_EQ(L"", program.statusText(1));
    EXPECT_TRUE(accessoryCommandsGreyed(program));
    EXPECT_FALSE(saveEnabled(program));

    sim::AccessoryConfig otherProduct = accessoryConfig("standard");
    otherProduct.productId = kOtherProduct;
    auto another = world().plug(otherProduct);
    EXPECT_FALSE(arrivalPending(program)) << "only the accessory's arrival starts the timer";

    // The accessory itself connects; the count at start-up found nothing
    // and nothing ever spoke to the other devices.
    auto accessory = plug("standard");
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    EXPECT_TRUE(foreign->commands().empty());
    EXPECT_TRUE(another->commands().empty());
    EXPECT_EQ(1u, commandCount(*accessory, kLoaderVersion));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Connection, ABurstOfArrivalsLeadsToOneConnect) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    auto accessory = plug("standard");
    // An interface arrives with several notifications; the timer restarts.
    sendDeviceChange(program.mainWindow(), DBT_DEVICEARRIVAL, accessory->path());
    sendDeviceChange(program.mainWindow(), DBT_DEVICEARRIVAL, accessory->path());

    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    ASSERT_TRUE(waitForArrivalHandled(program));
    EXPECT_EQ(1u, commandCount(*accessory, kLoaderVersion)) << "one connect";
    EXPECT_EQ(kStandardConnected, program.statusText(0));
    EXPECT_TRUE(accessoryCommandsEnabled(program));
    const std::string path = accessory->path();
    EXPECT_EQ(std::wstring(path.begin(), path.end()), app::processState().notificationPath);

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "the pages show what was read: no question";
}

TEST_F(Connection, TheXModelShowsItsOwnConnectionText) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    auto accessory = plug("x");
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    EXPECT_EQ(kXConnected, program.statusText(0));
    EXPECT_EQ(1u, commandCount(*accessory, kLoaderVersion));
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Connection, ASecondAccessoryChangesNothingAndPullingTheFirstOutDisconnects) {
    auto first = plug("standard");
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    const device::ConfigRecord::Block shown = app::deviceLink()->record.workingCopy();

    auto second = plug("standard");
    ASSERT_TRUE(waitForArrivalHandled(program));
    EXPECT_TRUE(second->commands().empty());
    EXPECT_EQ(1u, commandCount(*first, kLoaderVersion));

    world().unplug(second);
    EXPECT_TRUE(app::deviceConnected()) << "another accessory's removal leaves the link open";
    EXPECT_EQ(kStandardConnected, program.statusText(0));

    world().unplug(first);
    EXPECT_FALSE(app::deviceConnected());
    ASSERT_NE(nullptr, app::deviceLink()) << "the link object stays";
    EXPECT_EQ(kDisconnected, program.statusText(0));
    EXPECT_TRUE(accessoryCommandsGreyed(program));
    EXPECT_TRUE(saveEnabled(program)) << "Save keeps its state";
    EXPECT_EQ(shown, app::deviceLink()->record.workingCopy()) << "the pages keep their contents";

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "nothing connected: no question";
}

// A connect that fails reading the configuration's last page ends as a
// failed open does: the partly read copy is not shown, nothing can be
// saved, although an earlier accessory had left Save enabled.
TEST_F(Connection, AConnectWhoseConfigurationReadFailsLeavesNothingToSave) {
    auto good = plug("standard");
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    const std::size_t pageReads = commandCount(*good, device::command::kPageRead);
    ASSERT_GE(pageReads, device::kConfigurationPages.size());
    world().unplug(good);
    ASSERT_TRUE(saveEnabled(program));

    auto failing = plug("standard");
    sim::FaultSpec lastPage{sim::Fault::CorruptCrc, device::command::kPageRead};
    lastPage.after = static_cast<int>(pageReads - 1);
    failing->injectFault(lastPage);
    // The arrival is handled on the window's thread and the connect on a
    // worker: wait for the connect's end as the window shows it (the old
    // code left Save enabled, so this wait fails there).
    ASSERT_TRUE(waitFor([&] {
        return commandCount(*failing, device::command::kPageRead) >= pageReads && !arrivalPending(program) &&
               program.statusText(0) == kDisconnected && !saveEnabled(program);
    }));
    EXPECT_EQ(pageReads, commandCount(*failing, device::command::kPageRead));
    EXPECT_TRUE(accessoryCommandsGreyed(program));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "nothing connected: no question";
}

TEST_F(Connection, RemovalFindsTheOpenPathRegardlessOfCase) {
    auto accessory = plug("standard");
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));

    sendDeviceChange(program.mainWindow(), DBT_DEVICEREMOVECOMPLETE, "\\\\?\\hid#vid_1234&pid_0009#other");
    EXPECT_TRUE(app::deviceConnected()) << "not the accessory";

    std::string shouted = accessory->path();
    std::transform(shouted.begin(), shouted.end(), shouted.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    sendDeviceChange(program.mainWindow(), DBT_DEVICEREMOVECOMPLETE, shouted);
    EXPECT_FALSE(app::deviceConnected());
    EXPECT_EQ(kDisconnected, program.statusText(0));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Connection, TooNewStandardFirmwareIsRefusedAndLaterPlugInsIgnored) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    // The IR poll runs as long as its tab is shown; the discard must not
    // wait for it in vain, and leaves it running.
    program.selectTab(kIrTab);
    auto refused = plug("standard", "1.20");
    expectRefused(program, "1.19");
    EXPECT_TRUE(app::processState().irPollRunning.load());

    world().unplug(refused);
    auto later = plug("standard");
    ASSERT_TRUE(waitForArrivalHandled(program));
    EXPECT_TRUE(later->commands().empty()) << "no link, no connect";
    EXPECT_EQ(kDisconnected, program.statusText(0));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Connection, TooNewXFirmwareAtStartNamesTheXLimit) {
    plug("x", "2.07");
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    expectRefused(program, "2.06");
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Connection, ANewerLoaderIsRefusedWhateverItsFirmware) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    auto accessory = plug("1.02", "1.00");
    expectRefused(program, app::newestKnownFirmwareText());
    EXPECT_EQ(0u, commandCount(*accessory, device::command::kPageCrc)) << "refused before the firmware check";
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(Connection, TheFirstConnectionStampReachesTheAccessoryWithTheNextSave) {
    const auto secondsNow = [] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    auto accessory = plug("standard");
    ASSERT_EQ(0u, device::loadLittleEndian32(accessory->page(kStampPage), kStampInPage)) << "a fresh accessory";
    const auto before = secondsNow();
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    const auto after = secondsNow();

    const std::uint32_t stamp = device::loadLittleEndian32(app::deviceLink()->record.readCopy(), device::kTimeStampOffset);
    EXPECT_LE(static_cast<std::uint32_t>(before), stamp);
    EXPECT_GE(static_cast<std::uint32_t>(after), stamp);
    EXPECT_EQ(0u, device::loadLittleEndian32(accessory->page(kStampPage), kStampInPage)) << "written only by a save";
    EXPECT_FALSE(app::deviceLink()->record.hasUnsavedChanges()) << "the stamp alone asks no question";

    program.command(IDC_MAIN_SAVE);
    ASSERT_TRUE(waitFor([&] {
        return commandCount(*accessory, device::command::kConfigurationWritten) == 1 && saveEnabled(program);
    }));
    EXPECT_EQ(stamp, device::loadLittleEndian32(accessory->page(kStampPage), kStampInPage));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

}  // namespace
}  // namespace zelo::gui_test
