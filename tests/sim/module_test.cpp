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

TEST_F(ModuleTest, SynchronisationLoaderLinesAndStart) {
    resetPulse();
    EXPECT_EQ(accessory->moduleState(), ModuleState::BootLoader);
    serialWrite("U");
    EXPECT_EQ(poll(), bytesOf("40"));
    serialWrite("S00F");
    serialWrite(Bytes{});  // an empty line is a line too
    serialWrite("S1234");
    EXPECT_EQ(poll(), bytesOf("..."));
    EXPECT_EQ(accessory->moduleLoaderLines(), (std::vector<std::string>{"S00F", "", "S1234"}));
    serialWrite("L0000");
    EXPECT_EQ(poll(), bytesOf("L"));
    EXPECT_EQ(accessory->moduleState(), ModuleState::Loader);
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
