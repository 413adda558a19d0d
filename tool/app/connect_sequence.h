// The connect sequence: open the accessory, read its versions, refuse
// firmware or hardware newer than this program knows, run the firmware
// gate, read the configuration and stamp the first connection. Free of
// windows; it runs on whatever thread the caller chose (the Connect worker
// at start-up, the user-interface thread after a plug-in).
#ifndef ZELO_APP_CONNECT_SEQUENCE_H
#define ZELO_APP_CONNECT_SEQUENCE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config_record.h"
#include "device_link.h"
#include "firmware_gate.h"
#include "progress.h"
#include "waits.h"
#include "worker_tasks.h"  // the ConnectResult codes

namespace zelo::app {

// Connects accessory deviceNumber through link. Answers a ConnectResult:
// CONNECT_OK; CONNECT_UNSUPPORTED, CONNECT_UPDATE_FAILED and
// CONNECT_DECLINED with the accessory closed again (on CONNECT_DECLINED the
// caller posts the quit message); otherwise the library's code of the step
// that failed (the open, the version reads or the configuration read), with
// the accessory closed if it had been opened. An empty clock keeps the
// record's own for the first-connection stamp. With a pending-save store on
// the link, link.unfinishedSave tells what an earlier interrupted write left.
int connectAccessory(device::CDeviceLink &link, std::uint8_t deviceNumber, GateUi &ui,
                     device::ProgressSink &progress, device::Waits &waits = device::realWaits(),
                     const device::ConfigRecord::Clock &clock = {});

// The version limits, once both version texts are read: selects the
// model's defaults block and answers true, or closes the accessory and
// answers false when its firmware or loader is newer than supported.
bool applyVersionLimits(device::CDeviceLink &link);

// Highest firmwareNumber accepted for a model; nullopt for other models,
// which have no limit.
std::optional<std::uint32_t> highestFirmwareNumber(device::DeviceVariant variant);

// A firmwareNumber as the major number, a point and two minor digits
// (2060 gives "2.06").
std::string limitVersionText(std::uint32_t firmwareNumber);

// The newest firmware any model supported here runs ("2.06"). Named in the
// too-new message when the loader itself is newer than any known model, so
// the user is told what this program can serve at most.
std::string newestKnownFirmwareText();

// The version the too-new message names for a refused accessory: its
// model's highest, or newestKnownFirmwareText for a newer loader.
std::string tooNewVersionText(const device::CDeviceLink &link);

// The FirmwareTooNew text in the current language with the version filled in.
std::wstring tooNewMessageText(std::string_view versionText);

}  // namespace zelo::app

#endif
