// The simulated accessories for the browser tests: the stand-in for
// navigator.hid (tests/web/fake_hid.js) moves reports through these
// functions, and the tests look into the accessories' flash and module
// memory through them. Plain synchronous calls; the simulator has no
// threads here.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "command_table.h"
#include "config_record.h"
#include "images.h"
#include "rijndael.h"
#include "settings_document.h"
#include "settings_file.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

extern "C" zelo::hid::Backend *zelo_sim_backend();

namespace {

using zelo::sim::World;

zelo::hid::Backend &backend() { return *zelo_sim_backend(); }

std::shared_ptr<zelo::sim::Accessory> accessoryAt(int index) {
    const auto plugged = World::instance().accessories();
    return index >= 0 && static_cast<std::size_t>(index) < plugged.size() ? plugged[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

zelo::hid::Channel channelOf(int token) { return reinterpret_cast<zelo::hid::Channel>(static_cast<std::intptr_t>(token)); }

std::string lastText;

}  // namespace

extern "C" {

// Replaces the accessories with those of a ZELO_SIMULATOR description;
// reports arrive at once.
EMSCRIPTEN_KEEPALIVE int sim_configure(const char *description) {
    World &world = World::instance();
    world.reset();
    world.setReportDelay(std::chrono::microseconds{0});
    std::string error;
    return world.configure(description != nullptr ? description : "", &error) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int sim_count() { return static_cast<int>(World::instance().accessories().size()); }

EMSCRIPTEN_KEEPALIVE const char *sim_path(int index) {
    const auto accessory = accessoryAt(index);
    lastText = accessory ? accessory->path() : "";
    return lastText.c_str();
}

EMSCRIPTEN_KEEPALIVE const char *sim_firmware(int index) {
    const auto accessory = accessoryAt(index);
    lastText = accessory ? accessory->firmwareVersion() : "";
    return lastText.c_str();
}

// Plugs in one more accessory of the default configuration (a standard
// model, as the simulator's "standard").
EMSCRIPTEN_KEEPALIVE void sim_plug_standard() { World::instance().plug(zelo::sim::AccessoryConfig{}); }

EMSCRIPTEN_KEEPALIVE void sim_unplug(int index) {
    if (const auto accessory = accessoryAt(index)) World::instance().unplug(accessory);
}

// Unplugs the accessory after count more output reports.
EMSCRIPTEN_KEEPALIVE void sim_unplug_after(int index, int count) {
    if (const auto accessory = accessoryAt(index)) {
        zelo::sim::FaultSpec fault{zelo::sim::Fault::UnplugMidTransfer};
        fault.count = count;
        accessory->injectFault(fault);
    }
}

// The next count answers, to any command, are not sent.
EMSCRIPTEN_KEEPALIVE void sim_drop_answers(int index, int count) {
    if (const auto accessory = accessoryAt(index)) {
        zelo::sim::FaultSpec fault{zelo::sim::Fault::DropAnswer};
        fault.count = count;
        accessory->injectFault(fault);
    }
}

EMSCRIPTEN_KEEPALIVE void sim_set_ir(int index, int code) {
    if (const auto accessory = accessoryAt(index)) accessory->setLastIrCode(static_cast<std::uint8_t>(code));
}

// Copies flash page number into out (kPageSize bytes); 0 without accessory.
EMSCRIPTEN_KEEPALIVE int sim_page(int index, int number, std::uint8_t *out) {
    const auto accessory = accessoryAt(index);
    if (!accessory || number < 0 || number >= zelo::sim::kPageCount) return 0;
    const auto page = accessory->page(number);
    std::memcpy(out, page.data(), page.size());
    return 1;
}

// The configuration in the accessory's flash as a settings file's text,
// read through the program's own mapping; empty without accessory.
EMSCRIPTEN_KEEPALIVE const char *sim_settings(int index, const char *model) {
    const auto accessory = accessoryAt(index);
    const auto variant = zelo::settings::modelOfName(model != nullptr ? model : "");
    lastText.clear();
    if (!accessory || !variant) return lastText.c_str();
    zelo::device::ConfigRecord::Block block{};
    std::size_t at = 0;
    for (const std::uint8_t number : zelo::device::kConfigurationPages) {
        const auto page = accessory->page(number);
        std::copy(page.begin(), page.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
        at += page.size();
    }
    lastText = zelo::settings::writeSettingsFile(zelo::settings::documentOf(block, *variant, "", ""));
    return lastText.c_str();
}

// The last IR transmit record the accessory took (kIrRecordLength bytes).
EMSCRIPTEN_KEEPALIVE int sim_ir_transmit(int index, std::uint8_t *out) {
    const auto accessory = accessoryAt(index);
    if (!accessory) return 0;
    const auto record = accessory->lastIrTransmit();
    std::memcpy(out, record.data(), record.size());
    return 1;
}

EMSCRIPTEN_KEEPALIVE int sim_pairing_value(int index) {
    const auto accessory = accessoryAt(index);
    return accessory ? accessory->pairingValue() : 0;
}

// The command code at a position of the IR transmit list, from the
// program's table, for the tests to check what went out.
EMSCRIPTEN_KEEPALIVE int sim_transmit_code(int listIndex) {
    return zelo::pages::commandOfListIndex(zelo::pages::CommandList::IrTransmit, static_cast<std::size_t>(listIndex));
}

// The module's memory from 0x8000 (0xFF = erased), up to capacity bytes;
// answers the count, -1 when the module was erased since its last record.
EMSCRIPTEN_KEEPALIVE int sim_module_memory(int index, std::uint8_t *out, std::uint32_t capacity) {
    const auto accessory = accessoryAt(index);
    if (!accessory) return 0;
    if (accessory->moduleErased()) return -1;
    const auto memory = accessory->moduleMemory();
    const std::size_t count = std::min<std::size_t>(memory.size(), capacity);
    std::memcpy(out, memory.data(), count);
    return static_cast<int>(count);
}

// The program's built-in module image, as Restore installs it.
EMSCRIPTEN_KEEPALIVE int sim_builtin_module(std::uint8_t *out, std::uint32_t capacity) {
    CRijndael cipher;
    zelo::device::keyImageCipher(cipher);
    const auto image = zelo::device::decipherModuleImage(cipher);
    const std::size_t count = std::min<std::size_t>(image.size(), capacity);
    std::memcpy(out, image.data(), count);
    return static_cast<int>(count);
}

EMSCRIPTEN_KEEPALIVE int sim_open(const char *path) {
    zelo::hid::OpenMode mode;
    mode.read = mode.write = mode.shareRead = mode.shareWrite = true;
    return static_cast<int>(reinterpret_cast<std::intptr_t>(backend().open(path, mode)));
}

EMSCRIPTEN_KEEPALIVE void sim_close(int token) { backend().close(channelOf(token)); }

// Input, output and feature report lengths of an open channel.
EMSCRIPTEN_KEEPALIVE int sim_lengths(int token, std::uint32_t *out) {
    zelo::hid::ReportLengths lengths;
    if (!backend().reportLengths(channelOf(token), &lengths)) return 0;
    out[0] = lengths.input;
    out[1] = lengths.output;
    out[2] = lengths.feature;
    return 1;
}

EMSCRIPTEN_KEEPALIVE int sim_write(int token, const std::uint8_t *report, std::uint32_t length) {
    std::uint32_t transferred = 0;
    return backend().writeReport(channelOf(token), report, length, &transferred) ? 1 : 0;
}

// Input reports that have arrived, without waiting; -1 when the channel
// is unusable (accessory gone).
EMSCRIPTEN_KEEPALIVE int sim_read(int token, std::uint8_t *buffer, std::uint32_t capacity) {
    std::uint32_t transferred = 0;
    switch (backend().readReports(channelOf(token), buffer, capacity, 0, &transferred)) {
    case zelo::hid::ReadStatus::Completed:
        return static_cast<int>(transferred);
    case zelo::hid::ReadStatus::Failed:
        return -1;
    default:
        return 0;
    }
}

EMSCRIPTEN_KEEPALIVE int sim_feature(int token, std::uint8_t *buffer, std::uint32_t length) {
    return backend().getFeature(channelOf(token), buffer, length) ? 1 : 0;
}

}  // extern "C"
