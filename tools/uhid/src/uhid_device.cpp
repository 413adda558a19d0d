#include "uhid_device.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "pacer.h"
#include "report_descriptor_builder.h"

namespace zelo::uhid {

namespace {

constexpr const char *kUhidNode = "/dev/uhid";
// A uhid device has no USB parent; it still calls itself a USB device, so
// the HID device's name (0003:VID:PID.N) reads as a real accessory's does.
constexpr std::uint16_t kBusUsb = 0x03;
constexpr std::uint32_t kReportIdByte = 1;
// How long one read on the accessory's channel waits before looking at
// the stop flag again.
constexpr std::uint32_t kReadSliceMs = 50;
constexpr std::uint32_t kInputBuffers = 64;
// Real-time priority of the thread that takes the kernel's requests.
constexpr int kEventPriority = 50;

void copyText(char *out, std::size_t size, const std::string &text) {
    std::snprintf(out, size, "%s", text.c_str());
}

bool writeAll(int fd, const uhid_event &event) {
    const ssize_t written = ::write(fd, &event, sizeof event);
    return written == static_cast<ssize_t>(sizeof event);
}

}  // namespace

UhidDevice::UhidDevice(hid::Backend &backend, std::string path, Identity identity, std::chrono::microseconds interval)
    : backend_(backend),
      path_(std::move(path)),
      identity_(std::move(identity)),
      interval_(interval),
      outputPacer_(interval) {}

UhidDevice::~UhidDevice() { stop(); }

bool UhidDevice::start(std::string *error) {
    const hid::OpenMode mode{.read = true, .write = true, .shareRead = true, .shareWrite = true};
    channel_ = backend_.open(path_.c_str(), mode);
    if (channel_ == nullptr || !backend_.reportLengths(channel_, &lengths_) ||
        !backend_.setNumInputBuffers(channel_, kInputBuffers)) {
        *error = "cannot open the simulated accessory " + path_;
        return false;
    }
    fd_ = ::open(kUhidNode, O_RDWR | O_CLOEXEC);
    if (fd_ < 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        *error = std::string("cannot open ") + kUhidNode + ": " + std::strerror(errno);
        return false;
    }
    const std::vector<std::uint8_t> descriptor = reportDescriptor(lengths_, identity_.collections);
    uhid_event create{};
    create.type = UHID_CREATE2;
    copyText(reinterpret_cast<char *>(create.u.create2.name), sizeof create.u.create2.name, identity_.name);
    copyText(reinterpret_cast<char *>(create.u.create2.phys), sizeof create.u.create2.phys, path_);
    copyText(reinterpret_cast<char *>(create.u.create2.uniq), sizeof create.u.create2.uniq, identity_.serial);
    create.u.create2.rd_size = static_cast<std::uint16_t>(descriptor.size());
    create.u.create2.bus = kBusUsb;
    create.u.create2.vendor = identity_.vendorId;
    create.u.create2.product = identity_.productId;
    std::copy(descriptor.begin(), descriptor.end(), create.u.create2.rd_data);
    if (!writeAll(fd_, create)) {
        *error = std::string("UHID_CREATE2 refused: ") + std::strerror(errno);
        return false;
    }
    eventThread_ = std::thread([this] { events(); });
    inputThread_ = std::thread([this] { inputs(); });
    return true;
}

void UhidDevice::stop() {
    if (stopping_.exchange(true)) return;
    if (stopPipe_[1] >= 0) {
        const char wake = 0;
        [[maybe_unused]] const ssize_t ignored = ::write(stopPipe_[1], &wake, 1);
    }
    if (channel_ != nullptr) backend_.cancelRead(channel_);
    if (inputThread_.joinable()) inputThread_.join();
    if (eventThread_.joinable()) eventThread_.join();
    if (fd_ >= 0) {
        uhid_event destroy{};
        destroy.type = UHID_DESTROY;
        writeAll(fd_, destroy);
        ::close(fd_);
    }
    for (int &end : stopPipe_) {
        if (end >= 0) ::close(end);
        end = -1;
    }
    if (channel_ != nullptr) backend_.close(channel_);
    channel_ = nullptr;
    fd_ = -1;
}

void UhidDevice::send(const uhid_event &event) {
    if (!writeAll(fd_, event)) std::fprintf(stderr, "zelo-uhid: %s: write to uhid failed: %s\n", path_.c_str(),
                                            std::strerror(errno));
}

// uhid queues at most 32 requests and drops output reports beyond them
// while the writer's write() has already succeeded; a USB device instead
// makes the writer wait. Taking requests at real-time priority keeps the
// queue from filling; the stage's scenarios look for the kernel's "Output
// queue is full" all the same.
static void raisePriority(const std::string &path) {
    sched_param param{};
    param.sched_priority = kEventPriority;
    if (const int error = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param); error != 0) {
        std::fprintf(stderr, "zelo-uhid: %s: no real-time priority (%s); output reports may be lost\n", path.c_str(),
                     std::strerror(error));
    }
}

// The kernel's requests, answered one at a time as a device's control and
// interrupt OUT endpoints take them.
void UhidDevice::events() {
    raisePriority(path_);
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    while (!stopping_.load()) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        uhid_event event{};
        const ssize_t got = ::read(fd_, &event, sizeof event);
        if (got <= 0) {
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            return;
        }
        answer(event);
    }
}

void UhidDevice::answer(const uhid_event &event) {
    switch (event.type) {
    case UHID_OUTPUT: {
        // hidraw hands the report with its ID byte first, as the accessory takes it.
        std::uint32_t written = 0;
        backend_.writeReport(channel_, event.u.output.data, event.u.output.size, &written);
        break;
    }
    case UHID_GET_REPORT: {
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = event.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
        if (event.u.get_report.rtype == UHID_FEATURE_REPORT && lengths_.feature > 0) {
            std::vector<std::uint8_t> feature(lengths_.feature, 0);
            feature[0] = event.u.get_report.rnum;
            if (backend_.getFeature(channel_, feature.data(), lengths_.feature)) {
                // Unnumbered: the ID byte 0 first, as a USB device's answer reaches hidraw.
                reply.u.get_report_reply.err = 0;
                reply.u.get_report_reply.size = static_cast<std::uint16_t>(feature.size());
                std::copy(feature.begin(), feature.end(), reply.u.get_report_reply.data);
            }
        }
        send(reply);
        break;
    }
    case UHID_SET_REPORT: {
        uhid_event reply{};
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = event.u.set_report.id;
        reply.u.set_report_reply.err = EIO;  // the accessory has no feature to set: a stall
        if (event.u.set_report.rtype == UHID_OUTPUT_REPORT) {
            // The writer waits for this reply: one report per frame, as on USB.
            std::this_thread::sleep_until(outputPacer_.slotFor(Pacer::Clock::now()));
            std::uint32_t written = 0;
            const bool ok = backend_.writeReport(channel_, event.u.set_report.data, event.u.set_report.size, &written);
            reply.u.set_report_reply.err = ok ? 0 : EIO;
        }
        send(reply);
        break;
    }
    default:
        break;  // start, stop, open and close need nothing
    }
}

// The accessory's input reports, at most one per interval.
void UhidDevice::inputs() {
    Pacer pacer(interval_);
    const std::uint32_t length = lengths_.input;
    if (length <= kReportIdByte) return;
    std::vector<std::uint8_t> buffer(length * kInputBuffers);
    while (!stopping_.load()) {
        std::uint32_t got = 0;
        const hid::ReadStatus status = backend_.readReports(channel_, buffer.data(),
                                                            static_cast<std::uint32_t>(buffer.size()), kReadSliceMs, &got);
        if (status == hid::ReadStatus::Failed) return;  // unplugged: the owner stops us
        if (status != hid::ReadStatus::Completed) continue;
        for (std::uint32_t at = 0; at + length <= got && !stopping_.load(); at += length) {
            std::this_thread::sleep_until(pacer.slotFor(Pacer::Clock::now()));
            uhid_event input{};
            input.type = UHID_INPUT2;
            // Unnumbered reports travel without their ID byte.
            input.u.input2.size = static_cast<std::uint16_t>(length - kReportIdByte);
            std::copy_n(buffer.begin() + at + kReportIdByte, length - kReportIdByte, input.u.input2.data);
            send(input);
        }
    }
}

}  // namespace zelo::uhid
