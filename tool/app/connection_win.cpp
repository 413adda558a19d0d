#include "connection_win.h"

#include <dbt.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app_state.h"
#include "catalogue.h"
#include "connect_sequence.h"
#include "device_watch_win.h"
#include "firmware_gate.h"
#include "main_window_win.h"
#include "resource.h"
#include "settings_files_win.h"
#include "texts_win.h"
#include "unfinished_save_question.h"
#include "workers_win.h"

namespace zelo::app {

namespace {

using i18n::Msg;

// The gate's quit on the thread that asked, and the result handler's on
// the user-interface thread: the loop ends whichever thread ran the gate.
constexpr int kGateDeclinedQuitCode = 0;
constexpr int kConnectDeclinedQuitCode = 1;

// The question about a save an unplug cut short; always answered.
std::optional<device::UnfinishedChoice> askUnfinishedSave(HWND mainWindow, const device::PendingSave &save) {
    const Msg question = unfinishedSaveQuestion(save);
    const int answer = MessageBoxW(mainWindow, i18n::text(question).c_str(), i18n::text(Msg::Information).c_str(),
                                   MB_ICONWARNING | MB_YESNO);
    return answer == IDYES ? device::UnfinishedChoice::Finish : device::UnfinishedChoice::GoBack;
}

// The firmware gate's question, over the main window from whichever
// thread connects.
class MainWindowGateUi final : public GateUi {
public:
    explicit MainWindowGateUi(const device::CDeviceLink &link) : link_(link) {}
    bool askUpgrade(std::wstring_view currentVersionShown, std::wstring_view imageVersionText) override {
        const std::wstring prompt = upgradePromptText(currentVersionShown, imageVersionText);
        return MessageBoxW(mainWindow(), prompt.c_str(), i18n::text(Msg::Information).c_str(), MB_YESNO) == IDYES;
    }
    void beforeUpdate(const device::CDeviceLink &link) override { backupSettingsBeforeUpdate(mainWindow(), link); }
    // The gate leaves what it found on the link before it asks.
    std::optional<device::UnfinishedChoice> chooseUnfinishedSave() override {
        return askUnfinishedSave(mainWindow(), link_.unfinishedSave.save);
    }

private:
    const device::CDeviceLink &link_;
};

void show(HWND mainWindow, const std::wstring &text, Msg caption, UINT type) {
    MessageBoxW(mainWindow, text.c_str(), i18n::text(caption).c_str(), type);
}

// What the look at the record found that the user must hear of, if anything.
std::optional<Msg> unfinishedSaveNotice(device::UnfinishedSave state) {
    switch (state) {
    case device::UnfinishedSave::Damaged:
        return Msg::UnfinishedSaveDamaged;
    case device::UnfinishedSave::Stale:
        return Msg::UnfinishedSaveStale;
    case device::UnfinishedSave::Unreadable:
        return Msg::UnfinishedSaveUnreadable;
    case device::UnfinishedSave::None:
    case device::UnfinishedSave::Differs:
        break;
    }
    return std::nullopt;
}

// Close, delete and forget the device link, once no worker can still be
// using it. The IR poll would run for as long as its tab is shown, so it is
// stopped for the wait and started again afterwards; with the link gone it
// reads nothing. A worker that does not finish in time keeps the object:
// the accessory is closed, the memory left alone.
void discardLinkWhenUnused() {
    const bool polling = processState().irPollRunning.load();
    setIrPoll(false);
    if (waitForWorkersHandlingReports()) {
        discardDeviceLink();
    } else if (device::CDeviceLink *link = deviceLink()) {
        link->close();
    }
    if (polling) setIrPoll(true);
}

void showUpdated(HWND mainWindow, const device::CDeviceLink &link) {
    show(mainWindow, i18n::replacePlaceholder(Msg::FirmwareUpdatedRestart, i18n::kMarkerNewVersion, link.firmwareText()),
         Msg::Information, MB_ICONINFORMATION);
}

void rememberNotificationPath(const std::wstring &name) {
    // Kept with its terminator in the fixed room the path has.
    processState().notificationPath = name.substr(0, kNotificationPathLength - 1);
}

bool equalIgnoringCase(const std::wstring &a, const std::wstring &b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

void accessoryArrived(HWND mainWindow, const DEV_BROADCAST_HDR *broadcast) {
    const std::optional<std::wstring> name = accessoryInterfaceName(broadcast);
    if (!name) return;
    rememberNotificationPath(*name);
    // Restarted by every arrival: one connect follows the last of a burst.
    SetTimer(mainWindow, TIMER_ARRIVAL, kArrivalDelayMs, nullptr);
    processState().arrivalPending = true;
}

// Only the open accessory's removal closes the link; the link object and
// the pages' contents stay. The caller refreshes the texts.
void accessoryRemoved(const DEV_BROADCAST_HDR *broadcast) {
    const std::optional<std::wstring> name = accessoryInterfaceName(broadcast);
    if (!name) return;
    rememberNotificationPath(*name);
    device::CDeviceLink *link = deviceLink();
    if (link != nullptr && equalIgnoringCase(processState().notificationPath, link->wideDevicePath())) link->close();
    processState().arrivalPending = false;
}

// A save an unplug cut short: Yes writes the recorded settings, No the
// settings from before that save, either through the ordinary Save
// (progress, result message), so the accessory ends up with one whole.
void offerUnfinishedSave(HWND mainWindow) {
    device::CDeviceLink *link = deviceLink();
    if (link == nullptr || processState().saveRunning) return;
    const device::UnfinishedSaveCheck check = link->unfinishedSave;
    link->unfinishedSave = {};
    if (const std::optional<Msg> notice = unfinishedSaveNotice(check.state)) {
        show(mainWindow, i18n::text(*notice), Msg::Information, MB_ICONWARNING);
        return;
    }
    if (check.state != device::UnfinishedSave::Differs) return;
    device::adoptUnfinishedSave(*link, check.save, *askUnfinishedSave(mainWindow, check.save));
    finishSaveOfRecord(mainWindow);
}

}  // namespace

void registerDeviceNotifications(HWND mainWindow) { watchHidInterfaces(mainWindow); }

int connectThroughMainWindow(device::CDeviceLink &link, std::uint8_t deviceNumber) {
    MainWindowGateUi ui(link);
    const int result = connectAccessory(link, deviceNumber, ui, windowProgress());
    if (result == CONNECT_DECLINED) PostQuitMessage(kGateDeclinedQuitCode);
    return result;
}

void onDevicesCounted() {
    if (processState().deviceCount.load() != 0) startWorker(Connect);
}

void onConnectResult(HWND mainWindow, int result) {
    if (result == CONNECT_DECLINED) {
        PostQuitMessage(kConnectDeclinedQuitCode);
        return;
    }
    if (result == CONNECT_UNSUPPORTED) {
        const device::CDeviceLink *link = deviceLink();
        const std::string highest = link != nullptr ? tooNewVersionText(*link) : newestKnownFirmwareText();
        show(mainWindow, tooNewMessageText(highest), Msg::Error, MB_OK);
        discardLinkWhenUnused();
        return;
    }
    const device::CDeviceLink *link = deviceLink();
    const std::int32_t upgrade = link != nullptr ? link->upgradeState : device::UPGRADE_NONE;
    if (upgrade == device::UPGRADE_STARTED) {
        show(mainWindow, i18n::text(Msg::FirmwareUpdateError), Msg::Error, MB_ICONERROR);
        discardLinkWhenUnused();
        return;
    }
    if (upgrade == device::UPGRADE_DONE) {
        showUpdated(mainWindow, *link);
        // The update's write-back of the configuration went without its record.
        if (link->lastWriteUnprotected) show(mainWindow, i18n::text(Msg::SaveUnprotected), Msg::Information, MB_ICONWARNING);
    }
    refreshPagesAfterChange(mainWindow);
    if (result == CONNECT_OK && link != nullptr) offerUnfinishedSave(mainWindow);
}

void onDeviceChange(HWND mainWindow, WPARAM event, LPARAM data) {
    const auto *broadcast = reinterpret_cast<const DEV_BROADCAST_HDR *>(data);
    if (event == DBT_DEVICEARRIVAL) {
        accessoryArrived(mainWindow, broadcast);
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        accessoryRemoved(broadcast);
    }
}

void onArrivalTimer(HWND mainWindow) {
    KillTimer(mainWindow, TIMER_ARRIVAL);
    ProcessState &state = processState();
    if (!state.arrivalPending) return;
    // Cleared before the connect: the gate's message boxes run a message
    // loop on this thread, and an arrival meanwhile must start a new wait.
    state.arrivalPending = false;
    device::CDeviceLink *link = deviceLink();
    if (link != nullptr && !link->isConnected()) {
        const int result = connectThroughMainWindow(*link, kConnectDeviceNumber);
        SendMessageW(mainWindow, UM_CONNECT_RESULT, static_cast<WPARAM>(result), 0);
    }
    i18n::applyTexts(mainWindow, IDD_MAIN);
}

}  // namespace zelo::app
