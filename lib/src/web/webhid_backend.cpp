// The browser's WebHID behind the backend interface. The HIDDevice objects
// and the input report queues live in JavaScript (webhid_glue.js); every
// call here is one step on Module.zeloHid. Calls that wait for the browser
// (open, close, sending a report, reading a feature report, waiting for
// input) suspend the WebAssembly stack through Asyncify and give the event
// loop back, so the page stays responsive and input reports keep arriving.
#include <emscripten.h>

#include <cstdint>
#include <cstring>

#include "backends.h"
#include "hardware_id.h"

namespace {

// Answers of zeloHid.read, beside a positive byte count.
constexpr int kJsReadTimedOut = 0;
constexpr int kJsReadCancelled = -1;

}  // namespace

// clang-format off
EM_JS(int, zelo_web_device_count, (), { return Module.zeloHid.count(); });
EM_JS(int, zelo_web_path_at, (int index, char *path, int size), {
    const text = Module.zeloHid.pathAt(index);
    if (text === null) return 0;
    stringToUTF8(text, path, size);
    return 1;
});
EM_ASYNC_JS(int, zelo_web_open, (const char *path), {
    return await Module.zeloHid.open(UTF8ToString(path));
});
EM_ASYNC_JS(void, zelo_web_close, (int token), { await Module.zeloHid.close(token); });
EM_JS(int, zelo_web_ids, (int token, std::uint16_t *ids), {
    const found = Module.zeloHid.ids(token);
    if (found === null) return 0;
    HEAPU16[ids >> 1] = found[0];
    HEAPU16[(ids >> 1) + 1] = found[1];
    return 1;
});
EM_JS(int, zelo_web_lengths, (int token, std::uint32_t *lengths), {
    const found = Module.zeloHid.lengths(token);
    if (found === null) return 0;
    for (let i = 0; i < 3; ++i) HEAPU32[(lengths >> 2) + i] = found[i];
    return 1;
});
EM_JS(int, zelo_web_flush, (int token), { return Module.zeloHid.flush(token) ? 1 : 0; });
EM_JS(int, zelo_web_buffers, (int token, std::uint32_t count), { return Module.zeloHid.buffers(token, count) ? 1 : 0; });
EM_ASYNC_JS(int, zelo_web_write, (int token, const std::uint8_t *report, std::uint32_t length), {
    return await Module.zeloHid.write(token, HEAPU8.slice(report, report + length)) ? 1 : 0;
});
EM_ASYNC_JS(int, zelo_web_read, (int token, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t timeoutMs), {
    const reports = await Module.zeloHid.read(token, capacity, timeoutMs);
    if (typeof reports === 'number') return reports;
    HEAPU8.set(reports, buffer);
    return reports.length;
});
EM_JS(void, zelo_web_cancel, (int token), { Module.zeloHid.cancel(token); });
EM_ASYNC_JS(int, zelo_web_feature, (int token, std::uint8_t *buffer, std::uint32_t length), {
    const report = await Module.zeloHid.feature(token, HEAPU8[buffer], length);
    if (report === null) return 0;
    HEAPU8.set(report, buffer);
    return 1;
});
EM_JS(int, zelo_web_is_path, (const char *name), { return Module.zeloHid.isPath(UTF8ToString(name)) ? 1 : 0; });
EM_JS(void, zelo_web_report_id_error, (), { Module.zeloHid.reportIdErrors += 1; });
// clang-format on

namespace zelo::hid {

namespace {

int tokenOf(Channel channel) { return static_cast<int>(reinterpret_cast<std::intptr_t>(channel)); }

class WebHidBackend final : public Backend {
public:
    bool interfacePath(int index, char *path, std::size_t size, bool *detailOk) override {
        if (path == nullptr || size == 0 || index < 0 || index >= zelo_web_device_count()) return false;
        if (detailOk != nullptr) *detailOk = true;
        return zelo_web_path_at(index, path, static_cast<int>(size)) != 0;
    }
    // The browser decides about sharing; both of the library's channels
    // use the one opened HIDDevice.
    Channel open(const char *path, const OpenMode &) override {
        const int token = path != nullptr ? zelo_web_open(path) : 0;
        return token > 0 ? reinterpret_cast<Channel>(static_cast<std::intptr_t>(token)) : nullptr;
    }
    void close(Channel channel) override { zelo_web_close(tokenOf(channel)); }
    bool attributes(Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) override {
        std::uint16_t ids[2] = {};
        if (vendorId == nullptr || productId == nullptr || !zelo_web_ids(tokenOf(channel), ids)) return false;
        *vendorId = ids[0];
        *productId = ids[1];
        return true;
    }
    bool reportLengths(Channel channel, ReportLengths *lengths) override {
        std::uint32_t found[3] = {};
        if (lengths == nullptr || !zelo_web_lengths(tokenOf(channel), found)) return false;
        *lengths = ReportLengths{found[0], found[1], found[2]};
        return true;
    }
    bool flushInput(Channel channel) override { return zelo_web_flush(tokenOf(channel)) != 0; }
    bool setNumInputBuffers(Channel channel, std::uint32_t count) override {
        return zelo_web_buffers(tokenOf(channel), count) != 0;
    }
    bool writeReport(Channel channel, const std::uint8_t *report, std::uint32_t length,
                     std::uint32_t *transferred) override {
        if (report == nullptr || length == 0 || !zelo_web_write(tokenOf(channel), report, length)) return false;
        if (transferred != nullptr) *transferred = length;
        return true;
    }
    ReadStatus readReports(Channel channel, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t timeoutMs,
                           std::uint32_t *transferred) override {
        if (transferred != nullptr) *transferred = 0;
        if (buffer == nullptr) return ReadStatus::Failed;
        const int result = zelo_web_read(tokenOf(channel), buffer, capacity, timeoutMs);
        if (result == kJsReadTimedOut) return ReadStatus::TimedOut;
        if (result == kJsReadCancelled) return ReadStatus::Cancelled;
        if (result < 0) return ReadStatus::Failed;
        if (transferred != nullptr) *transferred = static_cast<std::uint32_t>(result);
        return ReadStatus::Completed;
    }
    void cancelRead(Channel channel) override { zelo_web_cancel(tokenOf(channel)); }
    bool getFeature(Channel channel, std::uint8_t *buffer, std::uint32_t length) override {
        return buffer != nullptr && length > 0 && zelo_web_feature(tokenOf(channel), buffer, length) != 0;
    }
    // Every device the page may reach was picked by the browser's filter
    // on the accessory's vendor and product ID.
    bool hardwareId(const char *deviceName, char *id, std::size_t size) override {
        if (deviceName == nullptr || id == nullptr || size == 0 || !zelo_web_is_path(deviceName)) return false;
        const std::string prefix = accessoryHardwareIdPrefix();
        if (prefix.size() >= size) return false;
        std::memcpy(id, prefix.c_str(), prefix.size() + 1);
        return true;
    }
    // The page listens to navigator.hid's connect and disconnect itself.
    void requestNotification(void *) override {}
    void reportIdError() override { zelo_web_report_id_error(); }
    Timing timing() const override { return Timing{}; }
};

}  // namespace

Backend *webHidBackend() {
    static WebHidBackend instance;
    return &instance;
}

}  // namespace zelo::hid
