// No HID interfaces at all: every enumeration ends at once and every
// channel operation fails.
#include "backends.h"

namespace zelo::hid {

namespace {

class EmptyBackend final : public Backend {
public:
    bool interfacePath(int, char *path, std::size_t size, bool *detailOk) override {
        if (path != nullptr && size > 0) {
            path[0] = '\0';
        }
        if (detailOk != nullptr) {
            *detailOk = false;
        }
        return false;
    }
    Channel open(const char *, const OpenMode &) override { return nullptr; }
    void close(Channel) override {}
    bool attributes(Channel, std::uint16_t *, std::uint16_t *) override { return false; }
    bool reportLengths(Channel, ReportLengths *) override { return false; }
    bool flushInput(Channel) override { return false; }
    bool setNumInputBuffers(Channel, std::uint32_t) override { return false; }
    bool writeReport(Channel, const std::uint8_t *, std::uint32_t, std::uint32_t *) override { return false; }
    ReadStatus readReports(Channel, std::uint8_t *, std::uint32_t, std::uint32_t, std::uint32_t *) override {
        return ReadStatus::Failed;
    }
    void cancelRead(Channel) override {}
    bool getFeature(Channel, std::uint8_t *, std::uint32_t) override { return false; }
    bool hardwareId(const char *, char *, std::size_t) override { return false; }
    void requestNotification(void *) override {}
    void reportIdError() override {}
    Timing timing() const override { return Timing{}; }
};

}  // namespace

Backend *emptyBackend() {
    static EmptyBackend instance;
    return &instance;
}

}  // namespace zelo::hid
