// The firmware gate run at every connect: compares the accessory's firmware
// pages 16 to 29 with the image this program carries for its model, asks
// the user before rewriting what differs, writes and verifies the pages and,
// on the standard model, puts the configuration back that shares page 29.
#ifndef ZELO_APP_FIRMWARE_GATE_H
#define ZELO_APP_FIRMWARE_GATE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_link.h"
#include "progress.h"
#include "unfinished_save.h"
#include "waits.h"

namespace zelo::app {

// Gate answers.
inline constexpr int GATE_OK = 0;         // the accessory was fine or has been updated
inline constexpr int GATE_DECLINED = -1;  // the user refused the update; the caller ends the program
inline constexpr int GATE_FAILED = 1;     // the update did not complete; upgradeState stays UPGRADE_STARTED,
                                          // or the check went unanswered and nothing was written (UPGRADE_NONE)

// The one question the gate asks. The window implementation shows the
// FirmwareUpgradeRequired message box (upgradePromptText) and answers
// whether the user chose Yes. Declining only answers false: posting the
// quit message is the caller's, on its own thread.
class GateUi {
public:
    virtual ~GateUi() = default;
    // currentVersionShown and imageVersionText are the replacements of
    // "[VERSION]" and "[VERSION2]", "v" included ("v1.18", "v1.24").
    virtual bool askUpgrade(std::wstring_view currentVersionShown, std::wstring_view imageVersionText) = 0;
    // After the user agreed and before anything is written, with the
    // configuration the gate read (standard model: the update rewrites a
    // configuration page). The window implementation keeps a backup.
    virtual void beforeUpdate(const device::CDeviceLink & /*link*/) {}
    // After the user agreed and before anything is written, when an earlier
    // save to this accessory was cut short (standard model: the update
    // writes the configuration back, which must be whole). Answers how to
    // settle it: the settings that save was writing, or those before it;
    // nullopt writes nothing and the gate answers GATE_DECLINED.
    virtual std::optional<device::UnfinishedChoice> chooseUnfinishedSave() { return std::nullopt; }
};

// Answers every question the same way and keeps what was asked; for runs
// without a user and for tests.
class FixedAnswerGateUi : public GateUi {
public:
    struct Prompt {
        std::wstring currentVersionShown;
        std::wstring imageVersionText;
    };

    explicit FixedAnswerGateUi(bool answer) : answer_(answer) {}
    bool askUpgrade(std::wstring_view currentVersionShown, std::wstring_view imageVersionText) override {
        prompts.push_back({std::wstring(currentVersionShown), std::wstring(imageVersionText)});
        return answer_;
    }
    std::optional<device::UnfinishedChoice> chooseUnfinishedSave() override {
        ++unfinishedAsked;
        return unfinishedChoice;
    }

    std::vector<Prompt> prompts;
    std::optional<device::UnfinishedChoice> unfinishedChoice;
    int unfinishedAsked = 0;

private:
    bool answer_;
};

// The FirmwareUpgradeRequired text in the current language with both
// versions filled in.
std::wstring upgradePromptText(std::wstring_view currentVersionShown, std::wstring_view imageVersionText);

// Runs the gate for the link's model: GATE_OK, GATE_DECLINED or GATE_FAILED.
// Other models pass untouched. Progress goes to progress; waits serves the
// pauses of boot mode.
int runFirmwareGate(device::CDeviceLink &link, GateUi &ui, device::ProgressSink &progress,
                    device::Waits &waits = device::realWaits());

}  // namespace zelo::app

#endif
