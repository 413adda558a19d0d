// The library's own accessory commands: serial tunnel, RST, LED, IR status
// and firmware version.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "lib_fixture.h"

namespace zelo::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Commands : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        handle_ = plugAndOpen();
        ASSERT_NE(nullptr, handle_);
    }

    Bytes enableBytes(std::uint32_t baud, std::uint8_t stop, std::uint8_t parity, std::uint8_t bits) {
        accessory_->clearLog();
        std::uint32_t baudOut = 0;
        EXPECT_EQ(ZELO_OK, ZELO_UART_Enable(handle_, baud, &baudOut, stop, parity, bits, 7, 8, 9));
        EXPECT_EQ(baud, baudOut);
        const auto sent = commands();
        return sent.size() == 1 ? sent[0] : Bytes{};
    }

    static std::vector<std::uint8_t> codes(const std::vector<Bytes> &commands) {
        std::vector<std::uint8_t> result;
        for (const Bytes &command : commands) {
            result.push_back(command.at(0));
        }
        return result;
    }

    ZELO_HANDLE handle_ = nullptr;
};

TEST_F(Commands, UartEnableSendsFormatAndReload) {
    EXPECT_EQ((Bytes{0x49, 0xC3, 0x0D, 0xFD, 0x8F}), enableBytes(38400, 1, 0, 8));
    EXPECT_EQ((Bytes{0x49, 0xC3, 0x0C, 0xFE, 0x5F}), enableBytes(57600, 0, 0, 8));
    EXPECT_EQ((Bytes{0x49, 0xC3, 0x38, 0xB1, 0xE0}), enableBytes(1200, 0, 2, 7));
    EXPECT_TRUE(accessory_->uartEnabled());
    EXPECT_EQ((std::array<std::uint8_t, 4>{0xC3, 0x38, 0xB1, 0xE0}), accessory_->uartSettings());
}

TEST_F(Commands, UartEnableRefusesSettingsOutOfRange) {
    const struct {
        std::uint32_t baud;
        std::uint8_t bits;
    } cases[] = {{1199, 8}, {230401, 8}, {38400, 4}, {38400, 9}};
    for (const auto &c : cases) {
        std::uint32_t baudOut = 123;
        EXPECT_EQ(ZELO_OUT_OF_RANGE, ZELO_UART_Enable(handle_, c.baud, &baudOut, 1, 0, c.bits, 0, 0, 0))
            << c.baud << " baud, " << int(c.bits) << " bits";
        EXPECT_EQ(123u, baudOut);
    }
    EXPECT_TRUE(accessory_->log().empty()) << "nothing was sent";
}

TEST_F(Commands, DisableRstAndLedSendTheirBytes) {
    EXPECT_EQ(ZELO_OK, ZELO_UART_Disable(handle_));
    EXPECT_EQ(ZELO_OK, ZELO_UART_SetRST(handle_, 1));
    EXPECT_TRUE(accessory_->rstLine());
    EXPECT_EQ(ZELO_OK, ZELO_UART_SetRST(handle_, 0));
    EXPECT_FALSE(accessory_->rstLine());
    EXPECT_EQ(ZELO_OK, ZELO_UART_SetRST(handle_, 2));
    EXPECT_EQ(ZELO_OK, ZELO_SetLEDState(handle_, 0x1234, 0xABCD5678, 0x9, 0x11, 0x22, 0x33));
    const std::vector<Bytes> expected{
        {0x4A}, {0x52}, {0x53}, {0x04, 0x34, 0x12, 0x78, 0x56, 0x09, 0x00, 0x11, 0x22}};
    EXPECT_EQ(expected, commands());
}

TEST_F(Commands, UartWriteChunksLongDataAndPollsBetween) {
    Bytes data(256);
    std::iota(data.begin(), data.end(), 0);
    std::uint32_t written = 0;
    ASSERT_EQ(ZELO_OK, ZELO_UART_Write(handle_, data.data(), 255, &written));
    EXPECT_EQ(255u, written);
    auto sent = commands();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0x55, sent[0][0]);
    EXPECT_EQ(255, sent[0][1]);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 255, sent[0].begin() + 2));

    accessory_->clearLog();
    ASSERT_EQ(ZELO_OK, ZELO_UART_Write(handle_, data.data(), 256, &written));
    EXPECT_EQ(256u, written);
    sent = commands();
    EXPECT_EQ((Bytes{0x55, 0x56, 0x55, 0x56}), codes(sent));
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ(255, sent[0][1]);
    EXPECT_EQ((Bytes{0x55, 1, 255}), sent[2]);

    accessory_->clearLog();
    ASSERT_EQ(ZELO_OK, ZELO_UART_Write(handle_, nullptr, 0, &written));
    EXPECT_EQ((std::vector<Bytes>{{0x55, 0x00}}), commands());
}

TEST_F(Commands, UartReadCollectsSerialBytesThroughPolls) {
    accessory_->moduleSend(bytesOf("hello"));
    EXPECT_EQ(5, ZELO_UART_BytesInFifo(handle_));
    std::uint8_t buffer[8] = {};
    std::uint32_t got = 0;
    ASSERT_EQ(ZELO_OK, ZELO_UART_Read(handle_, buffer, 3, &got));
    EXPECT_EQ(3u, got);
    EXPECT_EQ(0, std::memcmp(buffer, "hel", 3));

    accessory_->moduleSend(bytesOf("!"));
    ASSERT_EQ(ZELO_OK, ZELO_UART_Read(handle_, buffer, 3, &got));
    EXPECT_EQ(0, std::memcmp(buffer, "lo!", 3));

    accessory_->clearLog();
    EXPECT_EQ(ZELO_OK, ZELO_UART_Read(handle_, buffer, 0, &got));
    EXPECT_EQ(ZELO_OUT_OF_RANGE, ZELO_UART_Read(handle_, nullptr, 1, &got));
    EXPECT_TRUE(accessory_->log().empty()) << "no poll for nothing";
}

TEST_F(Commands, UartReadGivesUpAtItsTimeLimit) {
    accessory_->moduleSend(bytesOf("ab"));
    std::uint8_t buffer[3] = {};
    std::uint32_t got = 42;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_UART_Read(handle_, buffer, 3, &got));
    EXPECT_EQ(42u, got);
    EXPECT_EQ(2, ZELO_UART_BytesInFifo(handle_)) << "nothing was taken";
}

TEST_F(Commands, UartEmptyFifoDrainsTheAccessory) {
    accessory_->moduleSend(bytesOf("xyz"));
    EXPECT_EQ(3, ZELO_UART_BytesInFifo(handle_));
    accessory_->moduleSend(bytesOf("more"));
    accessory_->clearLog();
    EXPECT_EQ(ZELO_OK, ZELO_UART_EmptyFifo(handle_));
    EXPECT_EQ((Bytes{0x56, 0x56}), codes(commands()));
    EXPECT_EQ(0, ZELO_UART_BytesInFifo(handle_));
    EXPECT_EQ(0, ZELO_BytesInFifo(handle_)) << "the drained answers were consumed";
}

TEST_F(Commands, IrStatusReturnsTheFeatureReport) {
    accessory_->setLastIrCode(0x42);
    std::uint8_t status[ZELO_IR_STATUS_SIZE];
    std::fill(std::begin(status), std::end(status), 0xEE);
    EXPECT_EQ(1, ZELO_GetIRStatus(handle_, status));
    EXPECT_EQ(0, status[0]);
    EXPECT_EQ(0x42, status[3]);
    EXPECT_TRUE(accessory_->commands().empty()) << "a feature read is not a command";

    accessory_->injectFault({sim::Fault::FailFeatureRead});
    std::fill(std::begin(status), std::end(status), 0xEE);
    EXPECT_EQ(0, ZELO_GetIRStatus(handle_, status));
    EXPECT_TRUE(std::all_of(std::begin(status), std::end(status), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(Commands, FirmwareVersionComesFromTheTextReadAtOpen) {
    EXPECT_EQ(1190, ZELO_GetFirmwareVersion(handle_));
    EXPECT_TRUE(accessory_->commands().empty()) << "the accessory is not asked again";

    sim::AccessoryConfig x;
    x.model = "x";
    plug(x);
    EXPECT_EQ(2060, ZELO_GetFirmwareVersion(open(0)));

    sim::AccessoryConfig mute;
    const auto silent = plug(mute);
    silent->injectFault({sim::Fault::DropAnswer, 0x01});
    EXPECT_EQ(0, ZELO_GetFirmwareVersion(open(0))) << "no answer leaves the text empty";
}

TEST_F(Commands, FailedSendsAreReported) {
    world().unplug(accessory_);
    std::uint32_t out = 0;
    const std::uint8_t data[] = {1, 2, 3};
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_UART_Enable(handle_, 38400, &out, 1, 0, 8, 0, 0, 0));
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_UART_Disable(handle_));
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_UART_SetRST(handle_, 0));
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_UART_Write(handle_, data, 3, &out));
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_UART_EmptyFifo(handle_));
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_SetLEDState(handle_, 1, 2, 3, 4, 5, 6));
    EXPECT_EQ(0, ZELO_UART_BytesInFifo(handle_));
}

}  // namespace
}  // namespace zelo::test
