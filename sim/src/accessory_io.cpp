// The accessory as the HID driver shows it: opens with sharing rules,
// output reports in, input reports and the feature report out.
#include <algorithm>

#include "accessory_impl.h"

namespace zelo::sim {

namespace {

constexpr std::uint8_t kReportId = 0;
constexpr std::size_t kReportIdAt = 0;
constexpr std::size_t kCountAt = 1;
constexpr std::size_t kDataAt = 2;
constexpr std::size_t kMaxReportCount = 0xFF;  // the count byte's range
// The IR status feature report: report ID, then the last IR code at byte 3.
constexpr std::size_t kIrCodeAt = 3;
// The limits the HID class driver puts on its input queue.
constexpr std::uint32_t kMinInputBuffers = 2;
constexpr std::uint32_t kMaxInputBuffers = 512;
constexpr std::uint32_t kInfiniteTimeout = 0xFFFFFFFF;

}  // namespace

bool AccessoryImpl::conflicts(const hid::OpenMode &mode) const {
    return std::any_of(channels_.begin(), channels_.end(), [&](const Channel *open) {
        const hid::OpenMode &held = open->mode;
        return (mode.read && !held.shareRead) || (mode.write && !held.shareWrite) ||
               (held.read && !mode.shareRead) || (held.write && !mode.shareWrite);
    });
}

bool AccessoryImpl::attach(const std::shared_ptr<Channel> &channel) {
    std::lock_guard lock(mutex_);
    if (!plugged_ || conflicts(channel->mode)) return false;
    const hid::OpenMode &mode = channel->mode;
    const bool exclusive = !(mode.shareRead && mode.shareWrite);
    if (channels_.empty() && !config_.stateFile.empty() && !claim_.take(config_.stateFile, exclusive)) return false;
    channels_.push_back(channel.get());
    return true;
}

void AccessoryImpl::detach(Channel &channel) {
    std::lock_guard lock(mutex_);
    channel.closed = true;
    channels_.erase(std::remove(channels_.begin(), channels_.end(), &channel), channels_.end());
    if (channels_.empty()) claim_.release();
    channel.wake.notify_all();
}

// What the system does with a killed process's handles: they are closed
// and let go, while the accessory keeps running.
void AccessoryImpl::closeAllChannels() {
    for (Channel *channel : channels_) {
        channel->closed = true;
        channel->wake.notify_all();
    }
    channels_.clear();
}

void AccessoryImpl::markUnplugged() {
    std::lock_guard lock(mutex_);
    plugged_ = false;
    for (Channel *channel : channels_) channel->wake.notify_all();
}

bool AccessoryImpl::attributes(std::uint16_t *vendorId, std::uint16_t *productId) const {
    std::lock_guard lock(mutex_);
    if (!plugged_) return false;
    *vendorId = profile_.vendorId;
    *productId = profile_.productId;
    return true;
}

bool AccessoryImpl::reportLengths(hid::ReportLengths *lengths) const {
    std::lock_guard lock(mutex_);
    if (!plugged_) return false;
    *lengths = {profile_.inputLength, profile_.outputLength, profile_.featureLength};
    return true;
}

bool AccessoryImpl::flushInput(Channel &channel) {
    std::lock_guard lock(mutex_);
    if (!plugged_ || channel.closed) return false;
    channel.queue.flushArrived(Clock::now());
    return true;
}

bool AccessoryImpl::setNumInputBuffers(Channel &channel, std::uint32_t count) {
    if (count < kMinInputBuffers || count > kMaxInputBuffers) return false;
    std::lock_guard lock(mutex_);
    if (!plugged_ || channel.closed) return false;
    channel.queue.setCapacity(count);
    return true;
}

AccessoryImpl::WriteResult AccessoryImpl::writeReport(Channel &channel, const std::uint8_t *report,
                                                      std::uint32_t length) {
    Lock lock(mutex_);
    if (!plugged_ || channel.closed || !channel.mode.write) return WriteResult::Failed;
    // The driver takes only whole output reports of the one report ID.
    if (profile_.outputLength == 0 || length != profile_.outputLength || report[kReportIdAt] != kReportId) {
        return WriteResult::Failed;
    }
    if (faults_.take(Fault::StallWrites)) {
        // The endpoint takes nothing: the write ends only at its limit (or
        // when the accessory or the channel goes).
        logEntry(LogEntry::Kind::OutputReport, {report, report + length}, "not taken: endpoint stalled (fault)");
        const auto deadline = Clock::now() + std::chrono::milliseconds(settings_.writeLimitMs.load());
        channel.wake.wait_until(lock, deadline, [&] { return !plugged_ || channel.closed; });
        return WriteResult::Failed;
    }
    if (faults_.unplugBeforeReport()) return WriteResult::UnplugInstead;
    if (faults_.hostGoneBeforeReport()) {
        closeAllChannels();
        return WriteResult::Failed;
    }
    const std::size_t room = length - kDataAt;
    const std::size_t count = std::min<std::size_t>(report[kCountAt], room);
    logEntry(LogEntry::Kind::OutputReport, {report, report + length},
             count < report[kCountAt] ? "count beyond the report; cut to the report" : "");
    std::vector<ParsedItem> items;
    parser_.feed(report + kDataAt, count, &items);
    for (const ParsedItem &item : items) {
        if (item.known) {
            logEntry(LogEntry::Kind::Command, item.bytes);
            runCommand(item.bytes);
            if (powerLost_) return WriteResult::WrittenThenUnplug;
        } else {
            logEntry(LogEntry::Kind::UnknownByte, item.bytes, "unknown command code; dropped");
        }
    }
    if (faults_.hostGoneAfterReport()) closeAllChannels();
    return faults_.unplugAfterReport() ? WriteResult::WrittenThenUnplug : WriteResult::Written;
}

hid::ReadStatus AccessoryImpl::readReports(Channel &channel, std::uint8_t *buffer, std::uint32_t capacity,
                                           std::uint32_t timeoutMs, std::uint32_t *transferred) {
    Lock lock(mutex_);
    *transferred = 0;
    const std::uint32_t reportLength = profile_.inputLength;
    if (!channel.mode.read || reportLength == 0 || capacity < reportLength) return hid::ReadStatus::Failed;
    const bool forever = timeoutMs == kInfiniteTimeout;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        if (!plugged_ || channel.closed) return hid::ReadStatus::Failed;
        if (channel.cancelPending) {
            channel.cancelPending = false;
            return hid::ReadStatus::Cancelled;
        }
        const Clock::time_point now = Clock::now();
        if (channel.queue.arrived(now) > 0) {
            *transferred = channel.queue.take(now, buffer, capacity / reportLength);
            return hid::ReadStatus::Completed;
        }
        if (!forever && now >= deadline) return hid::ReadStatus::TimedOut;
        std::optional<Clock::time_point> wakeAt = channel.queue.nextArrival();
        if (!forever) wakeAt = wakeAt ? std::min(*wakeAt, deadline) : deadline;
        ++blockedReads_;
        if (wakeAt) {
            channel.wake.wait_until(lock, *wakeAt);
        } else {
            channel.wake.wait(lock);
        }
        --blockedReads_;
    }
}

void AccessoryImpl::cancelRead(Channel &channel) {
    std::lock_guard lock(mutex_);
    channel.cancelPending = true;
    channel.wake.notify_all();
}

bool AccessoryImpl::getFeature(Channel &channel, std::uint8_t *buffer, std::uint32_t length) {
    std::lock_guard lock(mutex_);
    if (!plugged_ || channel.closed) return false;
    const std::uint32_t featureLength = profile_.featureLength;
    if (featureLength == 0 || length < featureLength || buffer[kReportIdAt] != kReportId) return false;
    if (faults_.take(Fault::FailFeatureRead)) {
        logEntry(LogEntry::Kind::FeatureRead, {}, "feature read failed (fault)");
        return false;
    }
    std::fill(buffer, buffer + featureLength, 0);
    if (featureLength > kIrCodeAt) buffer[kIrCodeAt] = lastIrCode_;
    logEntry(LogEntry::Kind::FeatureRead, {buffer, buffer + featureLength});
    return true;
}

void AccessoryImpl::sendInputReport(const std::vector<std::uint8_t> &report) {
    std::lock_guard lock(mutex_);
    if (!plugged_ || profile_.inputLength == 0) return;
    std::vector<std::uint8_t> padded = report;
    padded.resize(profile_.inputLength, 0);
    queueInputReport(std::move(padded), Clock::now());
}

void AccessoryImpl::queueInputReport(std::vector<std::uint8_t> report, Clock::time_point earliest) {
    // Reports leave the accessory one after the other, each taking the
    // report delay on the wire.
    const Clock::time_point arrival = std::max(earliest, lastArrival_) + reportDelay();
    lastArrival_ = arrival;
    for (Channel *channel : channels_) {
        if (!channel->mode.read) continue;
        channel->queue.push(report, arrival);
        channel->wake.notify_all();
    }
    logEntry(LogEntry::Kind::InputReport, std::move(report));
}

void AccessoryImpl::answer(std::uint8_t code, const std::vector<std::uint8_t> &bytes) {
    if (faults_.take(Fault::DropAnswer, code)) {
        noteCommand("answer dropped (fault)");
        return;
    }
    Clock::time_point earliest = Clock::now();
    if (const auto delayed = faults_.take(Fault::DelayAnswer, code)) {
        earliest += delayed->delay;
        noteCommand("answer delayed (fault)");
    }
    const std::uint32_t reportLength = profile_.inputLength;
    const std::size_t perReport =
        reportLength > kDataAt ? std::min<std::size_t>(reportLength - kDataAt, kMaxReportCount) : 0;
    if (perReport == 0) {
        noteCommand("no input report can carry the answer");
        return;
    }
    for (std::size_t offset = 0; offset < bytes.size(); offset += perReport) {
        const std::size_t count = std::min(perReport, bytes.size() - offset);
        std::vector<std::uint8_t> report(reportLength, 0);
        report[kReportIdAt] = kReportId;
        report[kCountAt] = static_cast<std::uint8_t>(count);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, report.begin() + kDataAt);
        queueInputReport(std::move(report), earliest);
    }
}

}  // namespace zelo::sim
