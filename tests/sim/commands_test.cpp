// Output reports parsed into commands, and the accessory's answers.
#include <algorithm>
#include <chrono>

#include "crc16.h"
#include "images.h"
#include "sim_test_support.h"

namespace zelo::sim::test {
namespace {

// Outside the firmware and configuration pages, so erased after plugging.
constexpr std::uint8_t kSparePage = 40;

class CommandsTest : public SimTest {
protected:
    void use(const AccessoryConfig &config) {
        accessory = plug(config);
        link = openLink(*accessory);
    }
    void SetUp() override {
        SimTest::SetUp();
        use({});
    }

    static std::uint16_t crcOf(const std::array<std::uint8_t, kPageSize> &page) {
        return crc16(page.data(), page.size());
    }
    static Bytes crcBytes(std::uint16_t crc) {
        return {static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc & 0xFF)};
    }
    Bytes writePage(std::uint8_t number, const std::array<std::uint8_t, kPageSize> &data) {
        return exchange(link, command(0x58, {number}, Bytes(data.begin(), data.end())), 2);
    }

    std::shared_ptr<Accessory> accessory;
    Link link;
};

TEST(PageCrc, MatchesTheCheckValues) {
    const Bytes digits = bytesOf("123456789");
    EXPECT_EQ(crc16(digits.data(), digits.size()), 0x29B1);
    std::array<std::uint8_t, kPageSize> erased;
    erased.fill(0xFF);
    EXPECT_EQ(crc16(erased.data(), erased.size()), 0x6995);
}

TEST_F(CommandsTest, VersionTextsOfTheStandardModel) {
    EXPECT_EQ(exchange(link, command(0x01), 4), bytesOf("1.19"));
    EXPECT_EQ(exchange(link, command(0x05), 4), bytesOf("1.00"));
    // The firmware answers the text it keeps in page 16, not the
    // configuration's text at the start of page 29.
    const std::size_t at = device::kStandardFirmwareTextOffset;
    auto page = accessory->page(16);
    EXPECT_EQ(Bytes(page.begin() + at, page.begin() + at + 4), bytesOf("1.19"));
    const auto last = accessory->page(29);
    EXPECT_EQ(Bytes(last.begin(), last.begin() + 4), bytesOf("1.24"));
    std::copy_n("1.18", 4, page.begin() + at);
    writePage(16, page);
    EXPECT_EQ(exchange(link, command(0x01), 4), bytesOf("1.18"));
    EXPECT_EQ(accessory->firmwareVersion(), "1.18");
}

TEST_F(CommandsTest, XModelKeepsItsVersionInPage19) {
    AccessoryConfig x;
    x.model = "x";
    use(x);
    EXPECT_EQ(exchange(link, command(0x05), 4), bytesOf("1.01"));
    EXPECT_EQ(exchange(link, command(0x01), 4), bytesOf("2.06"));
    const auto page = accessory->page(19);
    EXPECT_EQ(Bytes(page.begin() + 328, page.begin() + 332), bytesOf("2.06"));
}

TEST_F(CommandsTest, PageWriteSplitOverNineReportsIsOneCommand) {
    const auto data = patternPage(3);
    accessory->clearLog();
    EXPECT_EQ(writePage(kSparePage, data), crcBytes(crcOf(data)));
    EXPECT_EQ(accessory->page(kSparePage), data);
    const auto log = accessory->log();
    const auto count = [&](LogEntry::Kind kind) {
        return std::count_if(log.begin(), log.end(), [&](const LogEntry &e) { return e.kind == kind; });
    };
    EXPECT_EQ(count(LogEntry::Kind::OutputReport), 9);
    EXPECT_EQ(count(LogEntry::Kind::InputReport), 1);
    const auto commands = accessory->commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].bytes.size(), 514u);
    EXPECT_NE(commands[0].note.find("application mode"), std::string::npos);
}

TEST_F(CommandsTest, SeveralCommandsInOneReportAnswerInOrder) {
    Bytes message = command(0x05);
    message.push_back(0x01);
    message.insert(message.end(), {0x57, kSparePage});
    const Bytes answer = exchange(link, message, 10);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 8), bytesOf("1.001.19"));
    EXPECT_EQ(Bytes(answer.begin() + 8, answer.end()), crcBytes(0x6995));
}

TEST_F(CommandsTest, PageReadAndCrcOfAStoredPage) {
    const auto data = patternPage(9);
    accessory->setPage(15, data);
    const Bytes read = exchange(link, command(0x59, {15}), 514);
    ASSERT_EQ(read.size(), 514u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), read.begin()));
    EXPECT_EQ(Bytes(read.begin() + 512, read.end()), crcBytes(crcOf(data)));
    EXPECT_EQ(exchange(link, command(0x57, {15}), 2), crcBytes(crcOf(data)));
    // Outside the flash: read as erased, never stored.
    EXPECT_EQ(exchange(link, command(0x57, {200}), 2), crcBytes(0x6995));
}

TEST_F(CommandsTest, UnknownCodesAreLoggedAndDropped) {
    EXPECT_EQ(exchange(link, {0x99, 0x05}, 4), bytesOf("1.00"));
    const auto log = accessory->log();
    const auto unknown = std::find_if(log.begin(), log.end(),
                                      [](const LogEntry &e) { return e.kind == LogEntry::Kind::UnknownByte; });
    ASSERT_NE(unknown, log.end());
    EXPECT_EQ(unknown->bytes, Bytes{0x99});
}

TEST_F(CommandsTest, CommandsWithoutAnswerRecordTheirPayload) {
    ASSERT_TRUE(send(link.write, command(0x04, {1, 2, 3, 4, 5, 6, 7, 8})));
    ASSERT_TRUE(send(link.write, command(0x14, {0x27, 0x10})));
    ASSERT_TRUE(send(link.write, command(0x20, {0x79, 0x5A, 0x1B, 0xFF})));
    ASSERT_TRUE(send(link.write, command(0x49, {0xC3, 0x0D, 0xFD, 0x8F})));
    ASSERT_TRUE(send(link.write, command(0x52)));
    ASSERT_TRUE(send(link.write, command(0x16)));
    EXPECT_EQ(accessory->ledState(), (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(accessory->pairingValue(), 10000);
    EXPECT_EQ(accessory->lastIrTransmit(), (std::array<std::uint8_t, 4>{0x79, 0x5A, 0x1B, 0xFF}));
    EXPECT_TRUE(accessory->uartEnabled());
    EXPECT_EQ(accessory->uartSettings(), (std::array<std::uint8_t, 4>{0xC3, 0x0D, 0xFD, 0x8F}));
    EXPECT_TRUE(accessory->rstLine());
    ASSERT_TRUE(send(link.write, command(0x53)));
    ASSERT_TRUE(send(link.write, command(0x4A)));
    EXPECT_FALSE(accessory->rstLine());
    EXPECT_FALSE(accessory->uartEnabled());
    EXPECT_EQ(accessory->commands().size(), 8u);
    std::uint32_t got = 0;
    Bytes buffer(kReportLength);
    EXPECT_EQ(backend().readReports(link.read, buffer.data(), kReportLength, 0, &got), hid::ReadStatus::TimedOut);
}

TEST_F(CommandsTest, BootModeEntryAndTheThreeWaysOut) {
    const Bytes enter = {0x60, 0x00, 0x70};
    ASSERT_TRUE(send(link.write, enter));
    EXPECT_TRUE(accessory->bootMode());
    writePage(20, patternPage(1));
    EXPECT_NE(accessory->commands().back().note.find("boot mode"), std::string::npos);
    for (const Bytes &leave : {Bytes{0x5E}, Bytes{0xF0, 0x00}, Bytes{0x60, 0x40}}) {
        ASSERT_TRUE(send(link.write, enter));
        ASSERT_TRUE(accessory->bootMode());
        ASSERT_TRUE(send(link.write, leave));
        EXPECT_FALSE(accessory->bootMode()) << int(leave[0]);
    }
}

TEST_F(CommandsTest, RefusedBootModeAnswersEightBytesBeginningWithE) {
    accessory->injectFault({Fault::RefuseBootMode});
    const Bytes refusal = exchange(link, {0x60, 0x00, 0x70}, 8);
    ASSERT_EQ(refusal.size(), 8u);
    EXPECT_EQ(refusal[0], 'E');
    EXPECT_FALSE(accessory->bootMode());
    ASSERT_TRUE(send(link.write, command(0x70)));
    EXPECT_TRUE(accessory->bootMode());
}

TEST_F(CommandsTest, DroppedAndCorruptedAnswersAffectOnlyTheNextMatch) {
    accessory->injectFault({Fault::DropAnswer, 0x01});
    accessory->injectFault({Fault::CorruptCrc});
    ASSERT_TRUE(send(link.write, command(0x01)));
    EXPECT_EQ(exchange(link, command(0x05), 4), bytesOf("1.00"));
    EXPECT_EQ(exchange(link, command(0x01), 4), bytesOf("1.19"));
    EXPECT_NE(exchange(link, command(0x57, {kSparePage}), 2), crcBytes(0x6995));
    EXPECT_EQ(exchange(link, command(0x57, {kSparePage}), 2), crcBytes(0x6995));
}

TEST_F(CommandsTest, DelayedAnswerHoldsBackTheAnswersBehindIt) {
    accessory->injectFault({Fault::DelayAnswer, 0x05, 1, std::chrono::hours(1)});
    ASSERT_TRUE(send(link.write, command(0x05)));
    ASSERT_TRUE(send(link.write, command(0x01)));
    EXPECT_TRUE(receive(link.read, 4, 0).empty());

    use({});
    accessory->injectFault({Fault::DelayAnswer, 0x05, 1, std::chrono::milliseconds(20)});
    ASSERT_TRUE(send(link.write, command(0x05)));
    ASSERT_TRUE(send(link.write, command(0x01)));
    EXPECT_EQ(receive(link.read, 8), bytesOf("1.001.19"));
}

TEST_F(CommandsTest, FailedPageWriteKeepsTheOldPage) {
    accessory->injectFault({Fault::FailPageWrite});
    EXPECT_EQ(writePage(kSparePage, patternPage(5)), crcBytes(0x6995));
    EXPECT_EQ(crcOf(accessory->page(kSparePage)), 0x6995);
    EXPECT_EQ(writePage(kSparePage, patternPage(5)), crcBytes(crcOf(patternPage(5))));
}

TEST_F(CommandsTest, UnplugMidTransferFailsTheRestOfAPageWrite) {
    accessory->injectFault({Fault::UnplugMidTransfer, 0, 4});
    const auto data = patternPage(7);
    EXPECT_FALSE(send(link.write, command(0x58, {kSparePage}, Bytes(data.begin(), data.end()))));
    EXPECT_FALSE(accessory->plugged());
    const auto log = accessory->log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const LogEntry &e) { return e.kind == LogEntry::Kind::OutputReport; }),
              4);
    EXPECT_EQ(crcOf(accessory->page(kSparePage)), 0x6995);
}


// Flash is erased, then programmed: power lost between leaves the page
// erased or programmed only so far, never old, and nothing answers.
TEST_F(CommandsTest, TornPageWriteLeavesThePageErasedOrPartlyProgrammed) {
    const auto old = patternPage(3);
    const auto data = patternPage(7);
    for (std::size_t programmed : {std::size_t{0}, std::size_t{100}}) {
        SCOPED_TRACE(programmed);
        use({});
        accessory->setPage(kSparePage, old);
        FaultSpec torn{Fault::TornPageWrite};
        torn.programmed = programmed;
        accessory->injectFault(torn);
        ASSERT_TRUE(send(link.write, command(0x58, {kSparePage}, Bytes(data.begin(), data.end()))));
        EXPECT_FALSE(accessory->plugged());
        EXPECT_TRUE(receive(link.read, 2, 0).empty()) << "no answer";
        const auto page = accessory->page(kSparePage);
        EXPECT_TRUE(std::equal(page.begin(), page.begin() + programmed, data.begin()));
        EXPECT_TRUE(std::all_of(page.begin() + programmed, page.end(), [](std::uint8_t b) { return b == 0xFF; }));
    }
}

TEST_F(CommandsTest, PageStoredWrongAnswersTheCrcOfWhatWasSent) {
    accessory->injectFault({Fault::PageStoredWrong});
    const auto data = patternPage(5);
    EXPECT_EQ(writePage(kSparePage, data), crcBytes(crcOf(data)));
    EXPECT_NE(accessory->page(kSparePage), data);
    EXPECT_EQ(exchange(link, command(0x57, {kSparePage}), 2), crcBytes(crcOf(accessory->page(kSparePage))));
}

// A stalled endpoint: writes end only at the write limit and fail, the
// accessory stays plugged and takes reports again once the stall is over.
TEST_F(CommandsTest, StalledEndpointFailsWritesAtTheirLimitAndStaysPlugged) {
    constexpr std::uint32_t kLimitMs = 50;
    hid::Timing timing;
    timing.writeLimitMs = kLimitMs;
    world().setTiming(timing);
    accessory->injectFault({Fault::StallWrites, 0, 2});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(send(link.write, command(0x01)));
    EXPECT_FALSE(send(link.write, command(0x01)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2 * kLimitMs));
    EXPECT_TRUE(accessory->plugged());
    EXPECT_TRUE(accessory->commands().empty());
    EXPECT_EQ(exchange(link, command(0x01), 4), bytesOf("1.19"));
}

// Having refused the boot loader, the standard firmware does not overwrite
// the code it runs from; the configuration page 29 it still takes, and the
// X firmware takes code pages in application mode anyway.
TEST_F(CommandsTest, RefusedBootModeKeepsTheStandardCodePages) {
    const auto data = patternPage(9);
    for (const char *model : {"standard", "x"}) {
        SCOPED_TRACE(model);
        AccessoryConfig config;
        config.model = model;
        use(config);
        const auto before = accessory->page(20);
        accessory->injectFault({Fault::RefuseBootMode});
        ASSERT_EQ(exchange(link, {0x60, 0x00, 0x70}, 8).size(), 8u);
        const bool standard = std::string(model) == "standard";
        EXPECT_EQ(writePage(20, data), crcBytes(crcOf(standard ? before : data)));
        EXPECT_EQ(accessory->page(20), standard ? before : data);
        EXPECT_EQ(writePage(29, data), crcBytes(crcOf(data)));
        ASSERT_TRUE(send(link.write, command(0x70)));
        const auto other = patternPage(11);
        EXPECT_EQ(writePage(20, other), crcBytes(crcOf(other))) << "in boot mode";
    }
}

}  // namespace
}  // namespace zelo::sim::test
