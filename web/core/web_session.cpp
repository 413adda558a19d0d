#include "web_session.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config_session.h"
#include "connect_sequence.h"
#include "command_table.h"
#include "ir_transmit.h"
#include "page.h"
#include "protocol.h"
#include "settings_transfer.h"
#include "ir_transmit_queue.h"
#include "worker_tasks.h"
#include "zelo.h"

namespace zelo::web {

namespace {

// The first accessory the browser lets the page reach: the page offers the
// one the user picked.
constexpr std::uint8_t kPickedAccessory = 0;

constexpr int kIrStatusRead = 1;  // readIrStatus's answer when a record arrived

// The page keeps no controls of its own: it edits documents, so the
// program's page set stays empty.
const app::PageSet &noPages() {
    static const app::PageSet pages;
    return pages;
}

std::string narrow(const std::wstring &text) { return std::string(text.begin(), text.end()); }

std::string modelText(device::DeviceVariant variant) {
    switch (variant) {
    case device::DeviceVariant::Standard:
        return "standard";
    case device::DeviceVariant::X:
        return "x";
    default:
        return "other";
    }
}

}  // namespace

int WebSession::connect(app::GateUi &ui, device::ProgressSink &progress) {
    disconnect();
    link_ = std::make_unique<device::CDeviceLink>();
    link_->pendingSaves = saves_;
    const int result = app::connectAccessory(*link_, kPickedAccessory, ui, progress);
    if (result == app::CONNECT_OK) {
        app::refreshPages(link_.get(), noPages());
    } else {
        link_.reset();
    }
    return result;
}

void WebSession::disconnect() { link_.reset(); }

AccessoryInfo WebSession::info() const {
    AccessoryInfo info;
    if (!link_) return info;
    info.connected = link_->isConnected();
    info.configurationRead = app::settingsTransferPossible(link_.get());
    info.model = modelText(link_->variant());
    info.firmware = narrow(link_->firmwareText());
    info.loader = link_->ldVersion;
    info.path = narrow(link_->wideDevicePath());
    return info;
}

bool WebSession::unsavedChanges() const { return link_ && link_->record.hasUnsavedChanges(); }

std::string WebSession::document() const {
    if (!app::settingsTransferPossible(link_.get())) return {};
    return app::exportedSettings(*link_, noPages());
}

settings::ImportResult WebSession::apply(std::string_view text) {
    if (!app::settingsTransferPossible(link_.get())) {
        settings::ImportResult refused;
        refused.refusal = "no accessory connected";
        return refused;
    }
    return app::importIntoPages(*link_, noPages(), text);
}

device::UnfinishedSave WebSession::unfinishedSave() const {
    return link_ ? link_->unfinishedSave.state : device::UnfinishedSave::None;
}

i18n::Msg WebSession::unfinishedSaveQuestion() const {
    return app::unfinishedSaveQuestion(link_ ? link_->unfinishedSave.save : device::PendingSave{});
}

void WebSession::dismissUnfinishedSave() {
    if (link_ && link_->unfinishedSave.state != device::UnfinishedSave::Differs) link_->unfinishedSave = {};
}

int WebSession::settleUnfinishedSave(device::UnfinishedChoice choice, device::ProgressSink &progress) {
    if (unfinishedSave() != device::UnfinishedSave::Differs || !link_->isConnected()) return ZELO_NO_SUCH_DEVICE;
    const device::PendingSave save = link_->unfinishedSave.save;
    const int result = device::settleUnfinishedSave(*link_, save, choice, progress);
    // After a failure the record stays for the next connect; this one is
    // asked no more.
    link_->unfinishedSave = {};
    app::refreshPages(link_.get(), noPages());
    return result;
}

int WebSession::finishUnfinishedSave(device::ProgressSink &progress) {
    return settleUnfinishedSave(device::UnfinishedChoice::Finish, progress);
}

int WebSession::undoUnfinishedSave(device::ProgressSink &progress) {
    return settleUnfinishedSave(device::UnfinishedChoice::GoBack, progress);
}

int WebSession::save(device::ProgressSink &progress) {
    if (!app::settingsTransferPossible(link_.get()) || !link_->isConnected()) return ZELO_NO_SUCH_DEVICE;
    app::prepareSave(link_.get(), noPages());
    const int result = device::writeConfiguration(*link_, progress);
    app::finishSave(link_.get(), result);
    return result;
}

int WebSession::restoreDefaults(device::ProgressSink &progress, bool *restored) {
    *restored = app::settingsTransferPossible(link_.get()) && link_->isConnected() && app::restoreDefaults(link_.get());
    if (!*restored) return ZELO_NO_SUCH_DEVICE;
    app::refreshPages(link_.get(), noPages());
    return save(progress);
}

std::string WebSession::lastIrCommand() {
    app::IrStatusRecord record{};
    if (!link_ || !link_->isConnected() || link_->readIrStatus(record.data()) != kIrStatusRead) return {};
    return std::string(pages::CommandTable::commandName(record[pages::kIrStatusCommandByte]));
}

int WebSession::transmitIr(std::size_t listIndex, bool start) {
    if (!link_ || !link_->isConnected() || link_->variant() != device::DeviceVariant::X) return ZELO_NO_SUCH_DEVICE;
    const pages::IrTransmitRecord record = pages::irTransmitRecord(listIndex, start);
    app::IrTransmitFrame frame{};
    std::copy(record.begin(), record.end(), frame.begin());
    return app::transmitIr(link_.get(), frame);
}

int WebSession::pair() {
    if (!link_ || !link_->isConnected()) return ZELO_NO_SUCH_DEVICE;
    return app::pairRequest(link_.get());
}

int WebSession::chooseModuleFile(const std::string &name, const std::vector<std::uint8_t> &bytes) {
    // The module file reader takes a path: the browser's file goes into the
    // in-memory file system under its own name, which tells HEX from raw.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zelo-module";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / std::filesystem::path(name).filename();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const int result = module_.chooseFile(path);
    std::filesystem::remove(path);
    return result;
}

WebSession::ModuleOutcome WebSession::runModule(maintenance::ModuleOperationKind kind, device::Waits &waits) {
    if (!link_ || !link_->isConnected() || !module_.begin(kind)) return {ZELO_NO_SUCH_DEVICE, maintenance::outcomeText(kind, ZELO_NO_SUCH_DEVICE)};
    const int result = module_.run(link_.get(), waits);
    return {result, maintenance::outcomeText(kind, result)};
}

}  // namespace zelo::web
