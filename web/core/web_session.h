// What the page does with the accessory, apart from the browser: connect
// (the program's own connect sequence, firmware gate included), the
// accessory's information, the configuration as a settings document (the
// same text the settings files hold), applying an edited or imported
// document to the working copy, and save. One session, one accessory.
#ifndef ZELO_WEB_WEB_SESSION_H
#define ZELO_WEB_WEB_SESSION_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device_link.h"
#include "firmware_gate.h"
#include "messages.h"
#include "module_session.h"
#include "pending_save.h"
#include "progress.h"
#include "settings_file.h"
#include "unfinished_save.h"
#include "unfinished_save_question.h"

namespace zelo::web {

struct AccessoryInfo {
    bool connected = false;
    bool configurationRead = false;  // Save and the settings are possible
    std::string model;               // "standard", "x" or "other"
    std::string firmware;            // as the program shows it ("2.06")
    std::string loader;
    std::string path;
};

class WebSession {
public:
    // saves: where each Save is recorded before its first page, so that one
    // an unplug cuts short can be finished at the next connect; none keeps
    // no record.
    explicit WebSession(device::PendingSaveStore *saves = nullptr) : saves_(saves) {}
    // For the next connect.
    void useSaveRecords(device::PendingSaveStore *saves) { saves_ = saves; }

    // Opens the first accessory the page may use and runs the connect
    // sequence; answers its ConnectResult (or the library's code).
    int connect(app::GateUi &ui, device::ProgressSink &progress);
    void disconnect();

    AccessoryInfo info() const;
    bool unsavedChanges() const;

    // The working copy as a settings file's text; empty without a read
    // configuration.
    std::string document() const;
    // Applies a settings file's text to the working copy, all or nothing.
    settings::ImportResult apply(std::string_view text);

    // What the connect found of an earlier Save an unplug cut short: Differs
    // until the user finishes or undoes it; the other states are told once.
    device::UnfinishedSave unfinishedSave() const;
    // What to ask about it: a record of an earlier version cannot go back.
    i18n::Msg unfinishedSaveQuestion() const;
    void dismissUnfinishedSave();
    // Writes the settings that Save was writing; on failure the record stays
    // for the next connect and the pages show the accessory's settings.
    int finishUnfinishedSave(device::ProgressSink &progress);
    // Writes back the settings from before that Save; the same otherwise.
    int undoUnfinishedSave(device::ProgressSink &progress);
    // The last write went ahead without its record.
    bool lastWriteUnprotected() const { return link_ && link_->lastWriteUnprotected; }

    // Writes the working copy; on failure the edits stay unsaved.
    int save(device::ProgressSink &progress);
    // The model's default settings into the working copy, then saved; false
    // in restored when the model has no defaults (nothing changed).
    int restoreDefaults(device::ProgressSink &progress, bool *restored);

    // The last IR command the accessory received, by its command name;
    // empty when the status could not be read.
    std::string lastIrCommand();
    // Starts or stops transmitting the command at listIndex of the IR
    // transmit list (X model); the library's code.
    int transmitIr(std::size_t listIndex, bool start);
    // Asks the accessory to pair; the library's code.
    int pair();

    // The Bluetooth module: a file chosen by name and content (a
    // device::ModuleFileResult), and an operation run to its end with
    // waits that report the progress.
    int chooseModuleFile(const std::string &name, const std::vector<std::uint8_t> &bytes);
    struct ModuleOutcome {
        int result;
        std::wstring text;  // the module page's outcome text
    };
    ModuleOutcome runModule(maintenance::ModuleOperationKind kind, device::Waits &waits);
    int moduleProgress() const { return module_.progress(); }

private:
    int settleUnfinishedSave(device::UnfinishedChoice choice, device::ProgressSink &progress);
    device::PendingSaveStore *saves_ = nullptr;
    std::unique_ptr<device::CDeviceLink> link_;
    maintenance::ModuleSession module_;
};

}  // namespace zelo::web

#endif
