// Module programming against the simulated accessory and its Bluetooth
// module, with the fixed pauses recorded instead of slept.
#include "module_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "device_library.h"
#include "module_frames.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

namespace zelo::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kShortLimitMs = 200;
constexpr std::uint32_t kShortReadWaitMs = 50;
constexpr std::size_t kDataEnd = 128 + 30 * 255;
constexpr std::uint8_t kBlank = 0xFF;
constexpr std::size_t kTransmitHeader = 2;  // 0x55, count

Bytes bytesOf(const std::string &text) { return {text.begin(), text.end()}; }
bool allAre(auto first, auto last, std::uint8_t value) {
    return std::all_of(first, last, [&](std::uint8_t b) { return b == value; });
}

// The real library, with serial answers and frames that a test can spoil.
class SpoilingLibrary final : public DeviceLibrary {
public:
    using Spoiler = std::function<void(int read, std::span<std::uint8_t> answer, std::int32_t &result)>;
    void spoil(Spoiler spoiler) { spoiler_ = std::move(spoiler), reads_ = 0; }  // reads count from 1 again
    std::function<bool(const Bytes &frame)> failFrame;
    std::function<void(const Bytes &serial)> onSerialWrite;
    bool failUartDisable = false;

    std::int32_t openDevice(std::int32_t n, ZELO_HANDLE *h, char *p) override { return lib().openDevice(n, h, p); }
    std::int32_t closeDevice(ZELO_HANDLE h) override { return lib().closeDevice(h); }
    std::int32_t write(ZELO_HANDLE h, const std::uint8_t *d, std::uint32_t n) override {
        return failFrame && failFrame(Bytes(d, d + n)) ? ZELO_TRANSFER_FAILED : lib().write(h, d, n);
    }
    std::int32_t read(ZELO_HANDLE h, std::uint8_t *b, std::uint32_t n) override { return lib().read(h, b, n); }
    std::int32_t bytesInFifo(ZELO_HANDLE h) override { return lib().bytesInFifo(h); }
    std::int32_t uartEnable(ZELO_HANDLE h, std::uint32_t baud, std::uint32_t *out, std::uint8_t stop,
                            std::uint8_t parity, std::uint8_t bits) override {
        return lib().uartEnable(h, baud, out, stop, parity, bits);
    }
    std::int32_t uartDisable(ZELO_HANDLE h) override { return failUartDisable ? 1 : lib().uartDisable(h); }
    std::int32_t uartWrite(ZELO_HANDLE h, const std::uint8_t *d, std::uint32_t n) override {
        if (onSerialWrite) onSerialWrite(Bytes(d, d + n));
        return lib().uartWrite(h, d, n);
    }
    std::int32_t uartRead(ZELO_HANDLE h, std::uint8_t *b, std::uint32_t n) override {
        std::int32_t result = lib().uartRead(h, b, n);
        if (spoiler_) spoiler_(++reads_, std::span(b, n), result);
        return result;
    }
    std::int32_t uartBytesInFifo(ZELO_HANDLE h) override { return lib().uartBytesInFifo(h); }
    std::int32_t irStatus(ZELO_HANDLE h, std::uint8_t *s) override { return lib().irStatus(h, s); }

private:
    static DeviceLibrary &lib() { return zeloLibrary(); }
    Spoiler spoiler_;
    int reads_ = 0;
};

class ModuleProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        world().reset();
        hid::Timing timing;
        timing.receiveLimitMs = timing.uartReadLimitMs = kShortLimitMs;
        timing.readWaitMs = kShortReadWaitMs;
        world().setTiming(timing);
        accessory_ = world().plug({});
        ASSERT_EQ(ZELO_OK, link_.open(0));
    }
    void TearDown() override {
        link_.close();
        world().reset();
    }
    static sim::World &world() { return sim::World::instance(); }

    int program(std::optional<ModuleImageView> image = std::nullopt, bool eraseOnly = false) {
        accessory_->clearLog();
        waits_.pauses.clear();
        return moduleProgram(link_, progress_, image, eraseOnly, waits_);
    }

    // Serial bytes the module got, one entry per transmit command.
    std::vector<Bytes> serialMessages() const {
        std::vector<Bytes> messages;
        for (const sim::LogEntry &entry : accessory_->commands())
            if (entry.bytes.front() == 0x55) messages.emplace_back(entry.bytes.begin() + kTransmitHeader, entry.bytes.end());
        return messages;
    }

    // Everything sent after the loader was started, as one stream.
    Bytes afterLoaderStart() const {
        const auto messages = serialMessages();
        Bytes stream;
        for (auto it = std::find(messages.begin(), messages.end(), bytesOf("L0000")) + 1; it < messages.end(); ++it)
            stream.insert(stream.end(), it->begin(), it->end());
        return stream;
    }

    int loaderProgress() const { return static_cast<int>(accessory_->moduleLoaderLines().size() * 2 / 5); }
    std::size_t pauses(unsigned ms) const { return std::count(waits_.pauses.begin(), waits_.pauses.end(), ms); }

    std::shared_ptr<sim::Accessory> accessory_;
    SpoilingLibrary library_;
    CDeviceLink link_{library_};
    RecordingWaits waits_;
    std::atomic<int> progress_{-1};
};

void expectProgrammed(const Bytes &memory, const Bytes &source, const CDeviceLink &link) {
    ASSERT_EQ(kModuleImageSize, memory.size());
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 14, source.begin()));
    EXPECT_TRUE(std::equal(link.moduleAddress.begin(), link.moduleAddress.end(), memory.begin() + 14));
    EXPECT_TRUE(std::equal(kModuleAddressPrefix.begin(), kModuleAddressPrefix.end(), link.moduleAddress.begin() + 1));
    EXPECT_TRUE(std::equal(memory.begin() + 20, memory.begin() + 29, source.begin() + 20));
    EXPECT_EQ(0, std::accumulate(memory.begin(), memory.begin() + 30, 0) & 0xFF);  // the inner checksum
    EXPECT_TRUE(allAre(memory.begin() + 30, memory.begin() + 128, kBlank));
    EXPECT_TRUE(std::equal(memory.begin() + 128, memory.begin() + kDataEnd, source.begin() + 128));
    EXPECT_TRUE(allAre(memory.begin() + kDataEnd, memory.end(), kBlank));
}

TEST_F(ModuleProgramTest, InstallsACallersImageThenRestoresTheEmbeddedOne) {
    Bytes own(kModuleImageSize);
    for (std::size_t i = 0; i < own.size(); ++i) own[i] = static_cast<std::uint8_t>(i * 7 + 3);
    ASSERT_EQ(ModuleProgramOk, program(ModuleImageView(own.data(), kModuleImageSize)));
    expectProgrammed(accessory_->moduleMemory(), own, link_);

    std::vector<int> atRecords;
    int atLoaderStart = -1;
    library_.onSerialWrite = [&](const Bytes &serial) {
        if (serial == bytesOf("L0000")) atLoaderStart = progress_.load();
        if (serial.size() == 266) atRecords.push_back(progress_.load());
    };
    ASSERT_EQ(ModuleProgramOk, program());
    expectProgrammed(accessory_->moduleMemory(), decipherModuleImage(link_.cipher), link_);
    EXPECT_FALSE(accessory_->uartEnabled());
    // Every loader byte went out, one line per message, each terminator consumed.
    const auto lines = accessory_->moduleLoaderLines();
    const std::size_t chars = std::accumulate(lines.begin(), lines.end(), std::size_t{0},
                                              [](std::size_t n, const std::string &line) { return n + line.size(); });
    EXPECT_EQ(kLoaderTextEnd, chars + lines.size());
    const int loader = loaderProgress();
    EXPECT_EQ(loader, atLoaderStart);
    ASSERT_EQ(30u, atRecords.size());
    EXPECT_EQ((std::vector<int>{loader + 1, loader + 50, loader + 51}),
              (std::vector<int>{atRecords[0], atRecords[28], atRecords[29]}));  // 100 / 58 per record
    EXPECT_EQ(loader + 51, progress_.load());
    EXPECT_EQ(6u, pauses(25));
    EXPECT_EQ(30u, pauses(105));
    EXPECT_EQ(1u, pauses(100));
}

TEST_F(ModuleProgramTest, SendsRecordsByteForByte) {
    Bytes own(kModuleImageSize, 0x00);
    std::fill(own.begin() + 128, own.begin() + 128 + 255, 0x02);
    ASSERT_EQ(ModuleProgramOk, program(ModuleImageView(own.data(), kModuleImageSize)));
    const Bytes stream = afterLoaderStart();
    ASSERT_EQ(41u + 30 * 266, stream.size());

    const Bytes header(stream.begin(), stream.begin() + 41);
    EXPECT_EQ(bytesOf(">1E800002"), Bytes(header.begin(), header.begin() + 9));
    EXPECT_TRUE(std::equal(link_.moduleAddress.begin(), link_.moduleAddress.end(), header.begin() + 9 + 14));
    const int addressSum = std::accumulate(link_.moduleAddress.begin(), link_.moduleAddress.end(), 0);
    EXPECT_EQ((0x100 - addressSum % 0x100) % 0x100, header[9 + 29]);
    EXPECT_EQ(bytesOf("60"), Bytes(header.end() - 2, header.end()));  // the data sums to 0: only the text counts

    const Bytes first(stream.begin() + 41, stream.begin() + 41 + 266);
    EXPECT_EQ(bytesOf(">FF808002"), Bytes(first.begin(), first.begin() + 9));
    EXPECT_TRUE(allAre(first.begin() + 9, first.end() - 2, 0x02));
    EXPECT_EQ(bytesOf("01"), Bytes(first.end() - 2, first.end()));  // -(0xFF + 0x80 + 0x80 + 2 + 510)
    EXPECT_EQ(bytesOf(">FF9D6302"), Bytes(stream.end() - 266, stream.end() - 257));
}

TEST_F(ModuleProgramTest, ErasesWithoutAddressOrRecords) {
    link_.moduleAddress.fill(0xA5);
    ASSERT_EQ(ModuleProgramOk, program(std::nullopt, true));
    EXPECT_TRUE(accessory_->moduleErased());
    const Bytes memory = accessory_->moduleMemory();
    EXPECT_TRUE(allAre(memory.begin(), memory.end(), kBlank));
    EXPECT_EQ(loaderProgress() + 4 * 7, progress_.load());  // "e" three times, then "E"
    EXPECT_TRUE(allAre(link_.moduleAddress.begin(), link_.moduleAddress.end(), 0xA5));
    EXPECT_EQ(bytesOf("E"), afterLoaderStart());
    EXPECT_FALSE(accessory_->uartEnabled());
}

TEST_F(ModuleProgramTest, SynchronisesWithinTwentySixAttempts) {
    accessory_->injectFault({sim::Fault::ModuleNeverSyncs, 0, 26});
    EXPECT_EQ(ModuleSyncFailed, program());
    auto messages = serialMessages();
    EXPECT_EQ(26, std::count(messages.begin(), messages.end(), bytesOf("U")));
    EXPECT_EQ(26u * 250, pauses(10));
    EXPECT_TRUE(accessory_->uartEnabled());  // left as reached

    accessory_->injectFault({sim::Fault::ModuleNeverSyncs, 0, 3});
    EXPECT_EQ(ModuleProgramOk, program(std::nullopt, true));
    messages = serialMessages();
    EXPECT_EQ(4, std::count(messages.begin(), messages.end(), bytesOf("U")));
}

TEST_F(ModuleProgramTest, ProgressIsReadableWhileRunning) {
    int result = -1;
    std::atomic<bool> done{false};
    std::thread worker([&] { result = program(), done = true; });
    int last = progress_.load();
    bool ordered = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        const int now = progress_.load();
        ordered = ordered && now >= last && now <= 100;
        last = now;
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(ModuleProgramOk, result);
    EXPECT_TRUE(ordered) << "the bar only rises and never passes its end";
    EXPECT_GE(progress_.load(), 95) << "an installation ends close to the full bar";
}

// The loader upload as the program makes it, one write per line and all
// acknowledgements read at the end, for a text in either form. The module
// sees a byte stream: a CR LF text's empty lines put nothing on the line,
// so half the acknowledgements never come.
TEST_F(ModuleProgramTest, OnlyALoaderTextWithoutEmptyLinesIsAnsweredLineForLine) {
    const Bytes text = decipherLoaderText(link_.cipher);
    Bytes crlf;
    for (auto at = text.begin(); at != text.end() && *at != kImageEndMark; ++at) {
        if (*at == '\n') crlf.push_back('\r');
        crlf.push_back(*at);
    }
    crlf.push_back(kImageEndMark);
    const auto upload = [&](const Bytes &form) {
        EXPECT_EQ(ZELO_OK, link_.uartEnable());
        EXPECT_EQ(ZELO_OK, modulePulse(link_, waits_));
        const std::uint8_t sync = 'U';
        Bytes answer(2);
        EXPECT_EQ(ZELO_OK, link_.uartWrite(&sync, 1));
        EXPECT_EQ(ZELO_OK, link_.uartRead(answer.data(), answer.size()));
        const auto lines = loaderLines(form);
        for (const auto &line : lines) EXPECT_EQ(ZELO_OK, link_.uartWrite(line.data(), line.size()));
        Bytes acknowledgements(lines.size());
        const int read = link_.uartRead(acknowledgements.data(), acknowledgements.size());
        link_.uartDisable();
        return std::pair(lines.size(), read == ZELO_OK && allAre(acknowledgements.begin(), acknowledgements.end(), '.'));
    };
    EXPECT_EQ(std::pair(std::size_t{120}, true), upload(text));
    EXPECT_EQ(std::pair(std::size_t{240}, false), upload(crlf));
}

TEST_F(ModuleProgramTest, ExtraEraseStepsNeverTakeTheProgressPast100) {
    library_.onSerialWrite = [&](const Bytes &serial) {
        if (serial == bytesOf("E")) accessory_->moduleSend(Bytes(20, 'e'));
    };
    EXPECT_EQ(ModuleProgramOk, program(std::nullopt, true));
    EXPECT_EQ(100, progress_.load());
}

// Serial reads in order: sync, loader acknowledgements, loader start, then
// the header record and the data records' acknowledgements, or the erase
// answers one by one. From `read` on, a case spoils one answer byte, or
// (silent) lets the library give up as when the module stops answering.
TEST_F(ModuleProgramTest, EndsWithTheStepThatFailed) {
    struct Case { int read; int index; std::uint8_t byte; bool silent; bool eraseOnly; int expected; };
    const Case cases[] = {
        {2, -1, '!', false, false, ModuleProgramOk},  // the last loader line's answer is not judged
        {2, 0, '!', false, false, ModuleLoaderUploadFailed}, {3, 0, 'x', false, false, ModuleLoaderStartFailed},
        {4, 0, '!', false, false, ModuleWriteFailed},        {5, 29, '!', false, false, ModuleWriteFailed},
        {4, 0, 'x', false, true, ModuleWriteFailed},  // an erase must end with "E"
        {1, 0, 0, true, false, ModuleSyncFailed},            {2, 0, 0, true, false, ModuleLoaderUploadFailed},
        {3, 0, 0, true, false, ModuleLoaderStartFailed},     {4, 0, 0, true, false, ModuleWriteFailed},
        {5, 0, 0, true, false, ModuleWriteFailed},           {4, 0, 0, true, true, ModuleWriteFailed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "read " << c.read << (c.silent ? " silent" : " spoilt"));
        library_.spoil([&](int read, std::span<std::uint8_t> answer, std::int32_t &result) {
            if (c.silent && read >= c.read) result = ZELO_TRANSFER_FAILED;
            if (!c.silent && read == c.read) answer[c.index < 0 ? answer.size() - 1 : std::size_t(c.index)] = c.byte;
        });
        EXPECT_EQ(c.expected, program(std::nullopt, c.eraseOnly));
    }
    library_.spoil(nullptr);

    const Bytes resetHigh{kModuleResetCommand, kModuleResetHigh};
    int pulses = 0;
    library_.failFrame = [&](const Bytes &frame) { return frame == resetHigh && ++pulses == 2; };
    EXPECT_EQ(ModuleFinalPulseFailed, program());
    pulses = 1;
    EXPECT_EQ(ModuleFirstPulseFailed, program());
    library_.failFrame = nullptr;
    library_.failUartDisable = true;
    EXPECT_EQ(ModuleUartDisableFailed, program(std::nullopt, true));
    world().unplug(accessory_);
    EXPECT_EQ(ModuleUartEnableFailed, program());
}

TEST(ModuleFrames, CutsLoaderLinesAndFormatsRecords) {
    const auto lines = [](const std::string &text) {
        std::vector<std::string> out;
        for (auto line : loaderLines(std::span(reinterpret_cast<const std::uint8_t *>(text.data()), text.size())))
            out.emplace_back(line.begin(), line.end());
        return out;
    };
    using L = std::vector<std::string>;
    EXPECT_EQ((L{"AB", "", "C"}), lines("AB\r\nC\n\xFF" "D\n"));
    EXPECT_EQ((L{"AB", "CD"}), lines("AB\xFF" "CD\r"));
    EXPECT_EQ((L{"AB"}), lines("AB\rCD"));  // an unterminated tail is no line
    EXPECT_EQ(L{}, lines("\xFF" "AB\r"));
    // -(2 + 0x34 + 0x12 + 2 + 1 + 2) = 0xB3
    EXPECT_EQ((Bytes{'>', '0', '2', '1', '2', '3', '4', '0', '2', 0x01, 0x02, 'B', '3'}),
              memoryRecord(0x1234, Bytes{0x01, 0x02}));
}

}  // namespace
}  // namespace zelo::device
