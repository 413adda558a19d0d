// The Bluetooth module's boot-loader dialogue through the serial tunnel.
#include <cstdio>
#include <numeric>

#include "sim_test_support.h"

namespace zelo::sim::test {
namespace {

constexpr std::uint16_t kHeaderAddress = 0x8000;
constexpr std::uint16_t kDataAddress = 0x8080;
constexpr std::size_t kMaxSerialMessage = 255;

// Two's complement of the sum, as the loader's checksum.
std::string checksumText(unsigned sum) {
    char text[4];
    std::snprintf(text, sizeof text, "%.2X", (0u - sum) & 0xFFu);
    return text;
}

// A memory record as the program builds it.
Bytes record(std::uint16_t address, const Bytes &data) {
    char text[16];
    std::snprintf(text, sizeof text, ">%.2X%.4X02", static_cast<unsigned>(data.size()), address);
    const std::string header = text;
    unsigned sum = std::accumulate(data.begin(), data.end(), 0u);
    if (address == kHeaderAddress) {
        for (std::size_t i = 1; i < header.size(); ++i) sum += static_cast<unsigned char>(header[i]);
    } else {
        sum += static_cast<unsigned>(data.size()) + (address & 0xFF) + (address >> 8) + 2;
    }
    Bytes bytes = bytesOf(header);
    bytes.insert(bytes.end(), data.begin(), data.end());
    const Bytes checksum = bytesOf(checksumText(sum));
    bytes.insert(bytes.end(), checksum.begin(), checksum.end());
    return bytes;
}

Bytes pattern(std::size_t length, std::uint8_t seed) {
    Bytes data(length);
    for (std::size_t i = 0; i < length; ++i) data[i] = static_cast<std::uint8_t>(seed + 3 * i);
    return data;
}

class ModuleTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        accessory = plug();
        link = openLink(*accessory);
        ASSERT_TRUE(send(link.write, command(0x49, {0xC3, 0x0D, 0xFD, 0x8F})));
    }

    // Serial bytes out in messages of at most 255, as the library sends them.
    void serialWrite(const Bytes &bytes) {
        std::size_t offset = 0;
        do {
            const std::size_t count = std::min(kMaxSerialMessage, bytes.size() - offset);
            const Bytes chunk(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                              bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
            ASSERT_TRUE(send(link.write, command(0x55, Bytes{static_cast<std::uint8_t>(count)}, chunk)));
            offset += count;
        } while (offset < bytes.size());
    }
    void serialWrite(const std::string &text) { serialWrite(bytesOf(text)); }

    // One 0x56 poll: what the module has sent so far (at most 255 bytes).
    Bytes poll() {
        Bytes answer = exchange(link, command(0x56), 2);
        if (answer.size() < 2) return {};
        EXPECT_EQ(answer[1], 0);
        const std::size_t total = 2 + answer[0];
        if (answer.size() < total) {
            const Bytes rest = receive(link.read, total - answer.size());
            answer.insert(answer.end(), rest.begin(), rest.end());
        }
        EXPECT_EQ(answer.size(), total);
        return Bytes(answer.begin() + 2, answer.end());
    }

    void resetPulse() { ASSERT_TRUE(send(link.write, {0x12, 0x00, 0x12, 0x01})); }

    void startLoader() {
        resetPulse();
        serialWrite("U");
        ASSERT_EQ(poll(), bytesOf("40"));
        serialWrite("L0000");
        ASSERT_EQ(poll(), bytesOf("L"));
    }

    std::shared_ptr<Accessory> accessory;
    Link link;
};

TEST_F(ModuleTest, RunningFirmwareOnlyRecordsSerialBytes) {
    serialWrite("U");
    EXPECT_TRUE(poll().empty());
    EXPECT_EQ(accessory->moduleReceived(), bytesOf("U"));
    EXPECT_EQ(accessory->moduleState(), ModuleState::Firmware);
    // A disabled serial port sends nothing on.
    ASSERT_TRUE(send(link.write, command(0x4A)));
    serialWrite("xy");
    EXPECT_EQ(accessory->moduleReceived(), bytesOf("U"));
}

// A loader text line: ":" length, address, type 00, data, checksum.
std::string hexLine(std::uint16_t address, const Bytes &data) {
    char text[16];
    std::string line = ":";
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF);
    std::snprintf(text, sizeof text, "%.2X%.4X00", static_cast<unsigned>(data.size()), address);
    line += text;
    for (std::uint8_t byte : data) {
        std::snprintf(text, sizeof text, "%.2X", byte);
        line += text;
        sum += byte;
    }
    return line + checksumText(sum);
}

TEST_F(ModuleTest, BootLoaderAnswersEachCompleteValidLineOfTheByteStream) {
    resetPulse();
    EXPECT_EQ(accessory->moduleState(), ModuleState::BootLoader);
    serialWrite("xU");  // noise before the sync byte is ignored
    EXPECT_EQ(poll(), bytesOf("40"));
    const std::string first = hexLine(0x0000, pattern(16, 1));
    const std::string second = hexLine(0x0010, pattern(3, 9));
    serialWrite(first + "\r\n");
    serialWrite(Bytes{});  // an empty write puts nothing on the line
    serialWrite("\n" + second.substr(0, 5));
    EXPECT_EQ(poll(), bytesOf(".")) << "a line's first bytes are not yet a line";
    serialWrite(second.substr(5) + "\n");
    std::string damaged = hexLine(0x0020, pattern(4, 2));
    damaged[12] = damaged[12] == '0' ? '1' : '0';
    serialWrite(damaged + "\n:00000001FF\n");
    EXPECT_EQ(poll(), bytesOf(".!."));
    EXPECT_EQ(accessory->moduleLoaderLines(), (std::vector<std::string>{first, second, ":00000001FF"}));
    serialWrite("L0000");
    EXPECT_EQ(poll(), bytesOf("L"));
    EXPECT_EQ(accessory->moduleState(), ModuleState::Loader);
}

// However the same bytes are cut into transmit commands, the module's
// answers and what it takes are the same.
TEST_F(ModuleTest, MessageBoundariesMakeNoDifference) {
    std::string text = "U";
    for (std::uint16_t line = 0; line < 12; ++line) text += hexLine(line * 8, pattern(8, static_cast<std::uint8_t>(line))) + "\n";
    text += "L0000";
    const Bytes header = [] {
        Bytes data = pattern(30, 1);
        data[29] = static_cast<std::uint8_t>(0u - std::accumulate(data.begin(), data.end() - 1, 0u));
        return data;
    }();
    Bytes stream = bytesOf(text);
    const Bytes records[] = {record(kHeaderAddress, header), record(kDataAddress, pattern(255, 5))};
    for (const Bytes &r : records) stream.insert(stream.end(), r.begin(), r.end());

    struct Outcome {
        Bytes answers;
        std::vector<std::string> lines;
        Bytes memory;
        bool operator==(const Outcome &) const = default;
    };
    const auto deliver = [&](std::size_t piece) {
        resetPulse();
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            const std::size_t end = std::min(stream.size(), at + piece);
            serialWrite(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                              stream.begin() + static_cast<std::ptrdiff_t>(end)));
        }
        Bytes answers;
        for (Bytes more = poll(); !more.empty(); more = poll()) answers.insert(answers.end(), more.begin(), more.end());
        return Outcome{answers, accessory->moduleLoaderLines(), accessory->moduleMemory()};
    };
    const Outcome whole = deliver(kMaxSerialMessage);
    EXPECT_EQ(whole.answers, bytesOf("40" + std::string(12, '.') + "L.."));
    EXPECT_EQ(whole.lines.size(), 12u);
    for (std::size_t piece : {1u, 2u, 7u, 64u}) EXPECT_EQ(deliver(piece), whole) << "pieces of " << piece;
}

TEST_F(ModuleTest, RecordsAreCheckedAndStored) {
    startLoader();
    Bytes header = pattern(30, 1);
    header[29] = static_cast<std::uint8_t>(0u - std::accumulate(header.begin(), header.end() - 1, 0u));
    const Bytes headerRecord = record(kHeaderAddress, header);
    ASSERT_EQ(headerRecord.size(), 41u);
    serialWrite(headerRecord);
    const Bytes data = pattern(255, 7);
    const Bytes dataRecord = record(kDataAddress, data);
    ASSERT_EQ(dataRecord.size(), 266u);
    serialWrite(dataRecord);  // arrives as 255 + 11 bytes
    EXPECT_EQ(poll(), bytesOf(".."));

    const Bytes memory = accessory->moduleMemory();
    ASSERT_EQ(memory.size(), 0x2000u);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), memory.begin()));
    EXPECT_EQ(memory[30], 0xFF);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.begin() + 0x80));
    EXPECT_FALSE(accessory->moduleErased());

    Bytes bad = record(kDataAddress + 255, pattern(255, 9));
    bad[100] ^= 0x01;
    serialWrite(bad);
    EXPECT_EQ(poll(), bytesOf("!"));
    EXPECT_EQ(accessory->moduleMemory()[0x80 + 255], 0xFF);
    // Beyond the module's memory.
    serialWrite(record(0x9FFF, pattern(2, 0)));
    EXPECT_EQ(poll(), bytesOf("!"));
}

TEST_F(ModuleTest, EraseAnswersThreeStepsAndTheEnd) {
    startLoader();
    serialWrite(record(kDataAddress, pattern(16, 2)));
    EXPECT_EQ(poll(), bytesOf("."));
    serialWrite("E");
    EXPECT_EQ(poll(), bytesOf("eeeE"));
    EXPECT_TRUE(accessory->moduleErased());
    const Bytes memory = accessory->moduleMemory();
    EXPECT_TRUE(std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(ModuleTest, ModuleThatNeverSyncsIgnoresThatManyAttempts) {
    accessory->injectFault({Fault::ModuleNeverSyncs, 0, 3});
    resetPulse();
    for (int attempt = 0; attempt < 3; ++attempt) {
        serialWrite("U");
        EXPECT_TRUE(poll().empty());
    }
    serialWrite("U");
    EXPECT_EQ(poll(), bytesOf("40"));
}

TEST_F(ModuleTest, AModuleThatStopsHearsNothingMoreUntilUnplugged) {
    accessory->injectFault({Fault::ModuleStops, 0, 1, {}, 1});
    resetPulse();
    serialWrite("U");
    EXPECT_EQ(poll(), bytesOf("40")) << "the first transmission still arrives";
    // A reset would have it answer "U" again; stopped, it does not.
    resetPulse();
    serialWrite("U");
    EXPECT_TRUE(poll().empty());
    accessory->clearFaults();
    resetPulse();
    serialWrite("U");
    EXPECT_TRUE(poll().empty()) << "clearing the faults does not restart it";
}

TEST_F(ModuleTest, PollCarriesAtMost255Bytes) {
    const Bytes sent = pattern(300, 4);
    accessory->moduleSend(sent);
    const Bytes first = poll();
    EXPECT_EQ(first.size(), 255u);
    const Bytes second = poll();
    EXPECT_EQ(second.size(), 45u);
    Bytes all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(all, sent);
}

}  // namespace
}  // namespace zelo::sim::test
