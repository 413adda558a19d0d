// The accessory protocol against simulated accessories: the exact frames
// each operation sends, the CRC checks on both directions, progress, and
// what is left behind when an answer is wrong, missing or the accessory goes.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <numeric>

#include "fake_library.h"
#include "images.h"
#include "page_crc.h"
#include "sim_fixture.h"

namespace zelo::device::test {
namespace {

constexpr std::uint8_t kFirstFirmwarePage = kFirmwarePages.front();
constexpr std::uint8_t kLastFirmwarePage = kFirmwarePages.back();
// A 514-byte page write travels in output reports of 64 bytes, 62 of them data.
constexpr int kReportData = 62;
constexpr int kReportsPerPageWrite = (1 + 1 + static_cast<int>(kPageSize) + kReportData - 1) / kReportData;

// Records the progress and runs a hook when a given percentage is reported,
// which is where a test changes the accessory between two pages.
class HookedProgress final : public ProgressSink {
public:
    void progress(int percent) override {
        reports.push_back(percent);
        if (hook && percent == hookAt) std::exchange(hook, nullptr)();
    }
    std::vector<int> reports;
    int hookAt = -1;
    std::function<void()> hook;
};

// A pause that lasts until condition holds (bounded), so answers the
// accessory sends unasked have arrived before they are drained.
class PauseUntil final : public Waits {
public:
    explicit PauseUntil(std::function<bool()> condition) : condition_(std::move(condition)) {}
    void sleepMs(unsigned ms) override {
        pauses.push_back(ms);
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (!condition_() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    }
    std::vector<unsigned> pauses;

private:
    std::function<bool()> condition_;
};

Frame pageWriteFrame(std::uint8_t page, std::span<const std::uint8_t> data) {
    Frame bytes(2 + data.size());
    bytes[0] = command::kPageWrite;
    bytes[1] = page;
    std::copy(data.begin(), data.end(), bytes.begin() + 2);
    return bytes;
}

std::span<const std::uint8_t, kPageSize> blockPage(const ConfigRecord::Block &block, std::size_t i) {
    return std::span<const std::uint8_t, kPageSize>(block.data() + i * kPageSize, kPageSize);
}

std::vector<std::uint8_t> firmwareFileImage() {
    std::vector<std::uint8_t> image(kFirmwareImageSize);
    std::iota(image.begin(), image.end(), std::uint8_t{3});
    return image;
}

class ProtocolTest : public SimulatedAccessoryTest {
protected:
    void fillConfigurationPages() {
        for (std::size_t i = 0; i < kConfigurationPages.size(); ++i) {
            accessory_->setPage(kConfigurationPages[i], patternPage(static_cast<std::uint8_t>(0x40 + i)));
        }
    }
    std::uint16_t accessoryCrc(int page) const {
        const PageBytes bytes = accessory_->page(page);
        return pageCrc(bytes);
    }
};

// --- Versions and single pages ----------------------------------------------

TEST_F(ProtocolTest, ReadVersionsOfBothModels) {
    for (const auto &[model, loader, variant] : {std::tuple{"standard", "1.00", DeviceVariant::Standard},
                                                 std::tuple{"x", "1.01", DeviceVariant::X}}) {
        CDeviceLink &link = connect(model);
        ASSERT_EQ(ZELO_OK, readVersions(link));
        EXPECT_EQ((std::vector<Frame>{{command::kFirmwareVersion}, {command::kLoaderVersion}}), commands());
        const std::string firmware = accessory_->firmwareVersion();
        EXPECT_EQ(firmware, link.firmwareVersion);
        EXPECT_EQ(firmwareNumberOf(firmware.c_str()), link.firmwareNumber);
        EXPECT_STREQ(loader, link.ldVersion);
        EXPECT_EQ(variant, link.variant());
        link.close();
        world().unplug(accessory_);
    }
}

TEST_F(ProtocolTest, WritePageSendsPageNumberAndDataAndChecksTheAnswer) {
    CDeviceLink &link = connect();
    const PageBytes data = patternPage(9);
    ASSERT_EQ(ZELO_OK, writePage(link, 14, data));
    ASSERT_EQ(1u, commands().size());
    EXPECT_EQ(1 + 1 + kPageSize, commands()[0].size()) << "code, then 513 payload bytes";
    EXPECT_EQ(pageWriteFrame(14, data), commands()[0]);
    EXPECT_EQ(data, accessory_->page(14));

    accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageWrite});
    EXPECT_EQ(kCheckFailed, writePage(link, 15, data));
    accessory_->injectFault({sim::Fault::FailPageWrite});
    EXPECT_EQ(kCheckFailed, writePage(link, 16, data)) << "the accessory answers the CRC of what it kept";
}

TEST_F(ProtocolTest, ReadPageAndItsCrc) {
    CDeviceLink &link = connect();
    accessory_->setPage(20, patternPage(1));
    PageBytes out{};
    ASSERT_EQ(ZELO_OK, readPage(link, 20, out));
    EXPECT_EQ(patternPage(1), out);
    std::uint16_t crc = 0;
    ASSERT_EQ(ZELO_OK, readPageCrc(link, 20, crc));
    EXPECT_EQ(accessoryCrc(20), crc);
    EXPECT_EQ((std::vector<Frame>{{command::kPageRead, 20}, {command::kPageCrc, 20}}), commands());

    accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageRead});
    PageBytes untouched{};
    EXPECT_EQ(kCheckFailed, readPage(link, 20, untouched));
    EXPECT_EQ(PageBytes{}, untouched) << "bytes that failed their check are not handed out";
}

// --- Page ranges ---------------------------------------------------------------

TEST_F(ProtocolTest, WritePageRangeSealsTheImageAndReachesExactly100) {
    CDeviceLink &link = connect();
    std::vector<std::uint8_t> image = firmwareFileImage();
    RecordingProgress progress;
    ASSERT_EQ(ZELO_OK, writePageRange(link, image, kFirstFirmwarePage, kLastFirmwarePage, progress));

    const std::uint16_t crc = pageCrc(std::span<const std::uint8_t>(image).first(kFirmwareCrcOffset));
    EXPECT_EQ(crc, loadCrc(std::span<const std::uint8_t>(image).last<2>()));
    const auto sent = commands();
    ASSERT_EQ(kFirmwarePages.size(), sent.size());
    for (std::size_t i = 0; i < kFirmwarePages.size(); ++i) {
        EXPECT_EQ(pageWriteFrame(kFirmwarePages[i], std::span(image).subspan(i * kPageSize, kPageSize)), sent[i]);
    }
    EXPECT_EQ((std::vector<int>{0, 7, 14, 21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 92, 100}), progress.reports);
}

TEST_F(ProtocolTest, WritePageRangeStopsAtTheFirstFailingPage) {
    CDeviceLink &link = connect();
    std::vector<std::uint8_t> image = firmwareFileImage();
    const PageBytes before = accessory_->page(18);
    // Gone while the third page is on its way.
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, 2 * kReportsPerPageWrite + 3});
    RecordingProgress progress;
    EXPECT_NE(ZELO_OK, writePageRange(link, image, kFirstFirmwarePage, kLastFirmwarePage, progress));
    EXPECT_EQ((std::vector<int>{0, 7, 14}), progress.reports);
    EXPECT_EQ(2u, commands().size());
    EXPECT_EQ(before, accessory_->page(18));
}

TEST_F(ProtocolTest, WritePageRangeRefusesDataThatDoesNotCoverTheRange) {
    CDeviceLink &link = connect();
    std::vector<std::uint8_t> shortImage(kFirmwareImageSize - 1);
    RecordingProgress progress;
    EXPECT_EQ(ZELO_OUT_OF_RANGE, writePageRange(link, shortImage, kFirstFirmwarePage, kLastFirmwarePage, progress));
    EXPECT_EQ(ZELO_OUT_OF_RANGE, writePageRange(link, shortImage, kLastFirmwarePage, kFirstFirmwarePage, progress));
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(progress.reports.empty());
}

// --- Configuration read ------------------------------------------------------

TEST_F(ProtocolTest, ReadConfigurationOfTheStandardModelReadsThreePages) {
    CDeviceLink &link = connectAndIdentify("standard");
    fillConfigurationPages();
    RecordingProgress progress;
    ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
    EXPECT_EQ((std::vector<Frame>{{command::kPageRead, 14}, {command::kPageRead, 15}, {command::kPageRead, 29}}),
              commands());
    for (std::size_t i = 0; i < kConfigurationPages.size(); ++i) {
        const PageBytes expected = patternPage(static_cast<std::uint8_t>(0x40 + i));
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), blockPage(link.record.readCopy(), i).begin()));
    }
    EXPECT_TRUE(link.record.readValid());
    EXPECT_EQ((std::vector<int>{0, 0, 33, 66, 100}), progress.reports);
}

TEST_F(ProtocolTest, ReadConfigurationOfTheXModelReadsOnlyPages14And15) {
    CDeviceLink &link = connectAndIdentify("x");
    fillConfigurationPages();
    link.record.readCopy().fill(0x11);
    RecordingProgress progress;
    ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
    EXPECT_EQ((std::vector<Frame>{{command::kPageRead, 14}, {command::kPageRead, 15}}), commands());
    EXPECT_EQ(0x11, link.record.readCopy()[kXBlockSize]) << "the third page is not the X model's";
    EXPECT_EQ((std::vector<int>{0, 0, 33, 100}), progress.reports);
}

TEST_F(ProtocolTest, CrcMismatchOnReadKeepsEarlierPagesAndNeverLooksValid) {
    CDeviceLink &link = connectAndIdentify("standard");
    fillConfigurationPages();
    NoProgress quiet;
    ASSERT_EQ(ZELO_OK, readConfiguration(link, quiet));
    accessory_->clearLog();
    link.record.readCopy().fill(0x11);
    HookedProgress progress;
    progress.hookAt = 33;  // just before the second page is asked for
    progress.hook = [this] { accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageRead}); };

    EXPECT_EQ(kCheckFailed, readConfiguration(link, progress));
    EXPECT_EQ((std::vector<Frame>{{command::kPageRead, 14}, {command::kPageRead, 15}}), commands());
    const PageBytes first = patternPage(0x40);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), link.record.readCopy().begin()));
    EXPECT_EQ(0x11, link.record.readCopy()[kPageSize]) << "the page that failed its check is not taken";
    EXPECT_FALSE(link.record.readValid());
    EXPECT_EQ(100, progress.reports.back());
}

TEST_F(ProtocolTest, MissingAnswerEndsTheReadWithTheLibrarysCode) {
    CDeviceLink &link = connectAndIdentify("standard");
    setReceiveLimit(kShortReceiveLimitMs);
    accessory_->injectFault({sim::Fault::DropAnswer, command::kPageRead});
    RecordingProgress progress;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, readConfiguration(link, progress));
    EXPECT_EQ(1u, commands().size());
    EXPECT_FALSE(link.record.readValid());
    EXPECT_EQ((std::vector<int>{0, 0, 100}), progress.reports);
}

TEST_F(ProtocolTest, FirmwareVersionOfTheConfigurationRaisesTheShownNumber) {
    CDeviceLink &link = connectAndIdentify("standard");
    const std::uint32_t fromCommand = link.firmwareNumber;
    PageBytes third = patternPage(3);
    const char version[] = "9.99";
    std::copy_n(version, kVersionTextLength, third.begin());
    accessory_->setPage(29, third);
    RecordingProgress progress;

    ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
    EXPECT_EQ(fromCommand, link.firmwareNumber) << "not while the firmware pages are unknown";

    link.firmwarePagesValid = true;
    ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
    EXPECT_EQ(9990u, link.firmwareNumber);

    link.firmwareNumber = 9995;
    ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
    EXPECT_EQ(9995u, link.firmwareNumber) << "only ever raised";

    link.firmwareNumber = fromCommand;
    accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageRead});
    EXPECT_EQ(kCheckFailed, readConfiguration(link, progress));
    EXPECT_EQ(fromCommand, link.firmwareNumber) << "not from a block that was not read through";
}

// --- Configuration write -----------------------------------------------------

TEST_F(ProtocolTest, WriteConfigurationOfTheStandardModel) {
    CDeviceLink &link = connectAndIdentify("standard");
    auto &block = link.record.readCopy();
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 13);
    RecordingProgress progress;
    ASSERT_EQ(ZELO_OK, writeConfiguration(link, progress));

    const auto defaults = defaultBlock(DeviceVariant::Standard);
    for (const ByteRange &range : kProtectedRanges) {
        EXPECT_TRUE(std::equal(defaults.begin() + range.start, defaults.begin() + range.end, block.begin() + range.start));
    }
    const std::uint16_t sealed = pageCrc(std::span<const std::uint8_t>(link.firmwareImage).first(kFirmwareCrcOffset));
    EXPECT_EQ(sealed, loadCrc(std::span<const std::uint8_t>(block).subspan<kImageCrcOffset, 2>()));

    // Every page is read back: the sealed page's CRC answer is the same
    // whatever it holds, and no CRC answer proves what the flash kept.
    EXPECT_EQ((std::vector<Frame>{pageWriteFrame(14, blockPage(block, 0)), pageWriteFrame(15, blockPage(block, 1)),
                                  pageWriteFrame(29, blockPage(block, 2)), {command::kPageRead, 14},
                                  {command::kPageRead, 15}, {command::kPageRead, 29},
                                  {command::kConfigurationWritten}}),
              commands());
    EXPECT_EQ((std::vector<int>{0, 0, 33, 66, 100}), progress.reports);
}

TEST_F(ProtocolTest, ASealedPageThatWasNotStoredFailsTheSave) {
    CDeviceLink &link = connectAndIdentify("standard");
    NoProgress progress;
    ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
    const PageBytes before = accessory_->page(29);
    link.record.readCopy()[kPowerTrackingOffset] ^= 0x01;  // a setting in the sealed page
    accessory_->injectFault({sim::Fault::FailPageWrite, command::kPageWrite, 1, {}, 2});
    EXPECT_EQ(kCheckFailed, writeConfiguration(link, progress));
    EXPECT_EQ(before, accessory_->page(29));
}

TEST_F(ProtocolTest, APageStoredWrongUnderARightCrcFailsTheSave) {
    for (const char *model : {"standard", "x"}) {
        for (int page = 0; page < (std::string(model) == "x" ? 2 : 3); ++page) {
            SCOPED_TRACE(std::string(model) + " page " + std::to_string(page));
            CDeviceLink &link = connectAndIdentify(model);
            NoProgress progress;
            ASSERT_EQ(ZELO_OK, readConfiguration(link, progress));
            accessory_->injectFault({sim::Fault::PageStoredWrong, command::kPageWrite, 1, {}, page});
            EXPECT_EQ(kCheckFailed, writeConfiguration(link, progress));
            link.close();
            world().unplug(accessory_);
        }
    }
}

TEST_F(ProtocolTest, CrcMismatchOnWriteFailsTheSaveAndStillEndsIt) {
    CDeviceLink &link = connectAndIdentify("standard");
    accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageWrite});
    RecordingProgress progress;
    EXPECT_EQ(kCheckFailed, writeConfiguration(link, progress));
    EXPECT_EQ((std::vector<std::uint8_t>{command::kPageWrite, command::kConfigurationWritten}), codes());
    EXPECT_EQ(100, progress.reports.back());
}

TEST_F(ProtocolTest, UnplugDuringAWriteLeavesLaterPagesAloneAndTheLinkUsable) {
    CDeviceLink &link = connectAndIdentify("standard");
    const PageBytes oldSecond = accessory_->page(15);
    const PageBytes oldThird = accessory_->page(29);
    link.record.readCopy().fill(0x5A);
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsPerPageWrite + 2});
    RecordingProgress progress;

    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
    EXPECT_EQ((std::vector<std::uint8_t>{command::kPageWrite}), codes()) << "nothing reached it after page 14";
    EXPECT_EQ(link.record.readCopy()[0], accessory_->page(14)[0]);
    EXPECT_EQ(oldSecond, accessory_->page(15));
    EXPECT_EQ(oldThird, accessory_->page(29));
    EXPECT_EQ(100, progress.reports.back());

    link.close();
    const auto again = world().plug({});
    ASSERT_TRUE(finishesInTime([&] {
        EXPECT_EQ(ZELO_OK, link.open(0));
        EXPECT_EQ(ZELO_OK, readVersions(link));
    }));
    EXPECT_EQ(again->firmwareVersion(), link.firmwareVersion);
    const auto seen = again->commands();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(Frame{command::kLoaderVersion}, seen.back().bytes);
}

// A late answer arrives after its exchange gave up; on a link kept open it
// must not be taken for the next command's answer.
TEST_F(ProtocolTest, ALateAnswerIsNotTakenForTheNextOne) {
    CDeviceLink &link = connectAndIdentify("standard");
    accessory_->setPage(40, patternPage(1));
    accessory_->setPage(41, patternPage(2));
    setReceiveLimit(kShortReceiveLimitMs);
    accessory_->injectFault({sim::Fault::DelayAnswer, command::kPageCrc, 1,
                             std::chrono::milliseconds(2 * kShortReceiveLimitMs)});
    std::uint16_t crc = 0;
    EXPECT_NE(ZELO_OK, readPageCrc(link, 40, crc));
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (link.bytesInFifo() < static_cast<int>(kPageCrcSize) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(static_cast<int>(kPageCrcSize), link.bytesInFifo()) << "the late answer came";
    setReceiveLimit(kReceiveLimitMs);
    for (std::uint8_t page : {41, 40}) {
        ASSERT_EQ(ZELO_OK, readPageCrc(link, page, crc));
        EXPECT_EQ(accessoryCrc(page), crc) << int(page);
    }
}

// --- Boot mode --------------------------------------------------------------

TEST_F(ProtocolTest, EnterBootModeSendsItsStepsAndWaitsBeforeDraining) {
    CDeviceLink &link = connectAndIdentify("standard");
    RecordingWaits waits;
    ASSERT_EQ(ZELO_OK, enterBootMode(link, waits));
    EXPECT_EQ((std::vector<Frame>{{command::kBootControl, command::kBootControlEnter}, {command::kBootEnter}}),
              commands());
    EXPECT_EQ((std::vector<unsigned>{kBootSettleMs}), waits.pauses);
    EXPECT_TRUE(accessory_->bootMode());
}

TEST_F(ProtocolTest, RefusedBootModeIsReportedAndItsAnswerDrained) {
    CDeviceLink &link = connectAndIdentify("x");
    accessory_->injectFault({sim::Fault::RefuseBootMode});
    PauseUntil waits([&] { return link.bytesInFifo() == static_cast<int>(kBootRefusalLength); });
    EXPECT_EQ(kCheckFailed, enterBootMode(link, waits));
    EXPECT_FALSE(accessory_->bootMode());
    EXPECT_EQ(0, link.bytesInFifo()) << "the refusal must not be taken for the next answer";
    EXPECT_EQ(ZELO_OK, readVersions(link));
    EXPECT_STREQ("2.06", link.firmwareVersion);
}

TEST_F(ProtocolTest, LeaveBootModePerVariant) {
    const std::vector<Frame> standardSteps{
        {command::kBootStep}, {command::kStartApplication, command::kStartApplicationValue}, {command::kBootStep}};
    const std::vector<Frame> xSteps{{command::kBootControl, command::kBootControlLeave}, {command::kBootStep}};
    for (const auto &[model, steps, pauses] : {std::tuple{"standard", standardSteps, std::vector<unsigned>{}},
                                               std::tuple{"x", xSteps, std::vector<unsigned>{kBootSettleMs}}}) {
        CDeviceLink &link = connectAndIdentify(model);
        RecordingWaits waits;
        ASSERT_EQ(ZELO_OK, enterBootMode(link, waits));
        accessory_->clearLog();
        waits.pauses.clear();
        ASSERT_EQ(ZELO_OK, leaveBootMode(link, waits));
        EXPECT_EQ(steps, commands()) << model;
        EXPECT_EQ(pauses, waits.pauses) << model;
        EXPECT_FALSE(accessory_->bootMode()) << model;
        link.close();
        world().unplug(accessory_);
    }
}

// The drain rules, with the library's answers chosen exactly.
class BootModeDrain : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ZELO_OK, link.open(0));
        link.setLdVersion("1.01");
    }
    FakeLibrary library;
    CDeviceLink link{library};
    NoWaits waits;
};

TEST_F(BootModeDrain, OnlyEightBytesBeginningWithEAreARefusal) {
    library.fifoBytes = static_cast<int>(kBootRefusalLength);
    library.replyByte = kBootRefusalMark;
    EXPECT_EQ(kCheckFailed, enterBootMode(link, waits));
    EXPECT_EQ(kBootRefusalLength, library.calls().back().length) << "all waiting bytes are read";
    EXPECT_EQ(ZELO_OK, leaveBootMode(link, waits)) << "leaving boot mode has no refusal";
    library.fifoBytes = static_cast<int>(kBootRefusalLength) - 1;
    EXPECT_EQ(ZELO_OK, enterBootMode(link, waits));
    library.fifoBytes = static_cast<int>(kBootRefusalLength);
    library.replyByte = 'O';
    EXPECT_EQ(ZELO_OK, enterBootMode(link, waits));
    library.fifoBytes = 0;
    EXPECT_EQ(ZELO_OK, enterBootMode(link, waits));
    EXPECT_EQ("bytesInFifo", library.calls().back().name) << "nothing waiting, nothing read";
}

TEST_F(BootModeDrain, FailedDrainReturnsTheReadsCode) {
    library.fifoBytes = 3;
    library.readResult = ZELO_TRANSFER_FAILED;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, enterBootMode(link, waits));
    EXPECT_EQ(ZELO_TRANSFER_FAILED, leaveBootMode(link, waits));
}

}  // namespace
}  // namespace zelo::device::test
