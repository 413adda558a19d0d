#include "sim_test_support.h"

#include <algorithm>

namespace zelo::sim::test {

Bytes bytesOf(const std::string &text) { return {text.begin(), text.end()}; }

Bytes command(std::uint8_t code, const Bytes &payload, const Bytes &more) {
    // Reserved up front: inserting into a just-built small vector trips a
    // false bounds warning of some optimising compilers.
    Bytes message;
    message.reserve(1 + payload.size() + more.size());
    message.push_back(code);
    message.insert(message.end(), payload.begin(), payload.end());
    message.insert(message.end(), more.begin(), more.end());
    return message;
}

std::array<std::uint8_t, kPageSize> patternPage(std::uint8_t seed) {
    std::array<std::uint8_t, kPageSize> page{};
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(seed + i * 7);
    return page;
}

void SimTest::SetUp() { world().reset(); }

void SimTest::TearDown() {
    for (hid::Channel channel : opened_) backend().close(channel);
    world().reset();
}

std::shared_ptr<Accessory> SimTest::plug(const AccessoryConfig &config) { return world().plug(config); }

hid::Channel SimTest::openChannel(const std::string &path, const hid::OpenMode &mode) {
    hid::Channel channel = backend().open(path.c_str(), mode);
    if (channel != nullptr) opened_.push_back(channel);
    return channel;
}

Link SimTest::openLink(const Accessory &accessory) {
    hid::OpenMode writeMode;
    writeMode.write = true;
    writeMode.shareRead = true;
    hid::OpenMode readMode;
    readMode.read = true;
    readMode.shareWrite = true;
    readMode.overlapped = true;
    Link link;
    link.write = openChannel(accessory.path(), writeMode);
    link.read = openChannel(accessory.path(), readMode);
    return link;
}

bool SimTest::send(hid::Channel channel, const Bytes &message, std::uint32_t reportLength) {
    const std::size_t perReport = reportLength - 2;
    for (std::size_t offset = 0; offset < message.size(); offset += perReport) {
        const std::size_t count = std::min(perReport, message.size() - offset);
        Bytes report(reportLength, 0);
        report[1] = static_cast<std::uint8_t>(count);
        std::copy_n(message.begin() + static_cast<std::ptrdiff_t>(offset), count, report.begin() + 2);
        std::uint32_t written = 0;
        if (!backend().writeReport(channel, report.data(), reportLength, &written)) return false;
        if (written != reportLength) return false;
    }
    return true;
}

Bytes SimTest::receive(hid::Channel channel, std::size_t count, std::uint32_t waitMs) {
    Bytes data;
    std::vector<std::uint8_t> buffer(8 * kReportLength);
    while (data.size() < count) {
        std::uint32_t got = 0;
        const auto status = backend().readReports(channel, buffer.data(), static_cast<std::uint32_t>(buffer.size()),
                                                  waitMs, &got);
        if (status != hid::ReadStatus::Completed) break;
        for (std::uint32_t at = 0; at + kReportLength <= got; at += kReportLength) {
            const std::uint8_t n = buffer[at + 1];
            data.insert(data.end(), buffer.begin() + at + 2, buffer.begin() + at + 2 + n);
        }
    }
    return data;
}

Bytes SimTest::exchange(const Link &link, const Bytes &message, std::size_t answerLength) {
    if (!send(link.write, message)) return {};
    return receive(link.read, answerLength);
}

}  // namespace zelo::sim::test
