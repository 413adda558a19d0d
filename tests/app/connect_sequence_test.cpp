// The connect sequence against simulated accessories: the version limits,
// the gate's outcomes as connect results, a failed update offered again at
// the next connect, and the first-connection stamp.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "connect_sequence.h"
#include "images.h"
#include "pending_save.h"
#include "unfinished_save.h"
#include "language.h"
#include "sim_fixture.h"

namespace zelo::app {
namespace {

using namespace zelo::device;
using device::test::PageBytes;

constexpr std::int64_t kNow = 1780000000;  // 2026-05-28
constexpr std::size_t kStampPage = kTimeStampOffset / kPageSize;
constexpr std::size_t kStampInPage = kTimeStampOffset % kPageSize;

class ConnectSequenceTest : public device::test::SimulatedAccessoryTest {
protected:
    void plug(const std::string &model, const std::string &firmware = "") {
        sim::AccessoryConfig config;
        config.model = model;
        config.firmware = firmware;
        accessory_ = world().plug(config);
    }

    // A fresh link, as after the program discarded the previous one.
    int connectFresh(GateUi &ui, std::int64_t now = kNow) {
        link_ = std::make_unique<CDeviceLink>();
        return connectAccessory(*link_, 0, ui, progress_, waits_, [now] { return now; });
    }

    bool logHas(std::uint8_t code) const {
        const std::vector<std::uint8_t> all = codes();
        return std::ranges::find(all, code) != all.end();
    }

    bool onlyVersionsWereAsked() const {
        return std::ranges::all_of(codes(), [](std::uint8_t code) {
            return code == command::kFirmwareVersion || code == command::kLoaderVersion;
        });
    }

    // The accessory was let go: another link can open it.
    bool accessoryReleased() const {
        CDeviceLink other;
        const bool opened = other.open(0) == ZELO_OK;
        if (opened) other.close();
        return opened;
    }

    void expectImageInstalled(DeviceVariant variant) const {
        const auto image = firmwareImage(variant);
        for (std::size_t i = 0; i < kFirmwarePages.size(); ++i) {
            const PageBytes page = accessory_->page(kFirmwarePages[i]);
            EXPECT_TRUE(std::equal(page.begin(), page.end(), image.begin() + static_cast<std::ptrdiff_t>(i * kPageSize)))
                << "page " << int(kFirmwarePages[i]);
        }
    }

    void setStamp(std::uint32_t stamp) {
        PageBytes page = accessory_->page(kConfigurationPages[kStampPage]);
        storeLittleEndian32(page, kStampInPage, stamp);
        accessory_->setPage(kConfigurationPages[kStampPage], page);
    }

    std::uint32_t stamp() const { return loadLittleEndian32(link_->record.readCopy(), kTimeStampOffset); }

    NoProgress progress_;
    NoWaits waits_;
};

// --- Version limits ----------------------------------------------------------

TEST_F(ConnectSequenceTest, UpToDateStandardConnectsWithoutAQuestion) {
    plug("standard");
    FixedAnswerGateUi ui(false);
    EXPECT_EQ(CONNECT_OK, connectFresh(ui));
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(link_->isConnected());
    EXPECT_EQ(UPGRADE_NONE, link_->upgradeState);
    EXPECT_TRUE(link_->record.readValid());
    EXPECT_TRUE(std::ranges::equal(defaultBlock(DeviceVariant::Standard), link_->record.defaultsBlock()));
    // The accessory answers "1.19"; its configuration names the image version.
    EXPECT_EQ(std::string("1.19"), link_->firmwareVersion);
    EXPECT_EQ(L"1.24", link_->firmwareText());
}

TEST_F(ConnectSequenceTest, StandardAbove119IsRefusedAndClosed) {
    plug("standard", "1.20");
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(CONNECT_UNSUPPORTED, connectFresh(ui));
    EXPECT_FALSE(link_->isConnected());
    EXPECT_TRUE(accessoryReleased());
    EXPECT_TRUE(onlyVersionsWereAsked());
    EXPECT_EQ("1.19", tooNewVersionText(*link_));
}

TEST_F(ConnectSequenceTest, XAcceptsItsOwnVersionAndRefusesANewerOne) {
    plug("x");
    FixedAnswerGateUi ui(false);
    EXPECT_EQ(CONNECT_OK, connectFresh(ui));
    EXPECT_EQ(L"2.06", link_->firmwareText());
    EXPECT_TRUE(std::ranges::equal(defaultBlock(DeviceVariant::X), link_->record.defaultsBlock()));
    link_.reset();
    world().reset();

    plug("x", "2.07");
    EXPECT_EQ(CONNECT_UNSUPPORTED, connectFresh(ui));
    EXPECT_FALSE(link_->isConnected());
    EXPECT_EQ("2.06", tooNewVersionText(*link_));
}

TEST_F(ConnectSequenceTest, LoaderNewerThanAnyModelIsRefusedWithTheNewestKnownVersion) {
    plug("1.02");
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(CONNECT_UNSUPPORTED, connectFresh(ui));
    EXPECT_FALSE(link_->isConnected());
    EXPECT_TRUE(onlyVersionsWereAsked());
    EXPECT_TRUE(accessoryReleased());
    EXPECT_EQ(newestKnownFirmwareText(), tooNewVersionText(*link_));
    EXPECT_EQ("2.06", newestKnownFirmwareText());
}

TEST_F(ConnectSequenceTest, OtherModelsConnectWithoutGateOrDefaults) {
    for (const char *loader : {"0.99", "abcd"}) {
        SCOPED_TRACE(loader);
        world().reset();
        plug(loader);
        FixedAnswerGateUi ui(false);
        EXPECT_EQ(CONNECT_OK, connectFresh(ui));
        EXPECT_EQ(DeviceVariant::Other, link_->variant());
        EXPECT_TRUE(link_->record.defaultsBlock().empty());
        EXPECT_FALSE(logHas(command::kPageCrc));
        EXPECT_TRUE(ui.prompts.empty());
    }
}

TEST(VersionLimitTexts, NumbersAsMajorPointTwoDigits) {
    EXPECT_EQ("1.19", limitVersionText(1190));
    EXPECT_EQ("2.06", limitVersionText(2060));
    EXPECT_EQ("1.00", limitVersionText(1000));
    EXPECT_EQ(1190u, highestFirmwareNumber(DeviceVariant::Standard));
    EXPECT_EQ(2060u, highestFirmwareNumber(DeviceVariant::X));
    EXPECT_FALSE(highestFirmwareNumber(DeviceVariant::Other));

    i18n::resetLanguage();
    const std::wstring message = tooNewMessageText("2.06");
    EXPECT_NE(std::wstring::npos, message.find(L"higher than 2.06\r\n"));
    EXPECT_EQ(std::wstring::npos, message.find(L"[VERSION]"));
}

// --- The gate's outcomes -------------------------------------------------------

TEST_F(ConnectSequenceTest, DeclinedUpdateClosesWithoutWriting) {
    plug("standard", "1.18");
    FixedAnswerGateUi ui(false);
    EXPECT_EQ(CONNECT_DECLINED, connectFresh(ui));
    ASSERT_EQ(1u, ui.prompts.size());
    EXPECT_EQ(L"v1.18", ui.prompts[0].currentVersionShown);
    EXPECT_EQ(L"v1.24", ui.prompts[0].imageVersionText);
    EXPECT_EQ(UPGRADE_NONE, link_->upgradeState);
    EXPECT_FALSE(link_->isConnected());
    EXPECT_FALSE(logHas(command::kPageWrite));
}

// A page write that fails half-way: the connect fails with the update
// started, and the next connect offers the update again and completes it.
struct InterruptedUpdate {
    const char *model;
    const char *firmware;
    sim::Fault fault;
    DeviceVariant variant;
};

class InterruptedUpdateTest : public ConnectSequenceTest, public ::testing::WithParamInterface<InterruptedUpdate> {};

TEST_P(InterruptedUpdateTest, IsOfferedAgainAndCompletedAtTheNextConnect) {
    const InterruptedUpdate &c = GetParam();
    plug(c.model, c.firmware);
    if (c.fault == sim::Fault::DropAnswer) setReceiveLimit(device::test::kShortReceiveLimitMs);
    // A write fault concerns page writes only and carries no code.
    const std::uint8_t code = c.fault == sim::Fault::DropAnswer ? command::kPageWrite : 0;
    accessory_->injectFault({c.fault, code});
    FixedAnswerGateUi first(true);
    EXPECT_EQ(CONNECT_UPDATE_FAILED, connectFresh(first));
    EXPECT_EQ(UPGRADE_STARTED, link_->upgradeState);
    EXPECT_FALSE(link_->isConnected());
    EXPECT_TRUE(accessoryReleased());

    setReceiveLimit(device::test::kReceiveLimitMs);
    FixedAnswerGateUi second(true);
    EXPECT_EQ(CONNECT_OK, connectFresh(second));
    EXPECT_EQ(1u, second.prompts.size());
    EXPECT_EQ(UPGRADE_DONE, link_->upgradeState);
    expectImageInstalled(c.variant);
    const std::string_view installed = firmwareVersionText(c.variant);
    EXPECT_EQ(std::wstring(installed.begin(), installed.end()), link_->firmwareText());

    // And the one after that finds nothing to do.
    FixedAnswerGateUi third(false);
    EXPECT_EQ(CONNECT_OK, connectFresh(third));
    EXPECT_TRUE(third.prompts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InterruptedUpdateTest,
    ::testing::Values(InterruptedUpdate{"standard", "1.18", sim::Fault::FailPageWrite, DeviceVariant::Standard},
                      InterruptedUpdate{"standard", "1.18", sim::Fault::DropAnswer, DeviceVariant::Standard},
                      InterruptedUpdate{"x", "2.04", sim::Fault::FailPageWrite, DeviceVariant::X},
                      InterruptedUpdate{"x", "2.04", sim::Fault::DropAnswer, DeviceVariant::X}));

// Power lost while the update programs page 29 leaves it erased with the
// code pages already new. An erased page 29 alone reads as an accessory
// never configured; the write-back recorded before the update is what tells
// the next connect to finish it.
TEST_F(ConnectSequenceTest, AnUpdateCutShortWithPage29ErasedIsFinishedAtTheNextConnect) {
    {
        constexpr std::size_t programmed = 0;
        const auto folder = std::filesystem::temp_directory_path() / "zelo-connect-torn-update";
        std::filesystem::remove_all(folder);
        PendingSaveStore store(folder);
        plug("standard", "1.18");
        const PageBytes firstPage = accessory_->page(kConfigurationPages[0]);
        sim::FaultSpec torn{sim::Fault::TornPageWrite};
        torn.after = 1;  // pages 16 and 29 differ: the second write is page 29
        torn.programmed = programmed;
        accessory_->injectFault(torn);
        // The unplug leaves the last answer missing.
        setReceiveLimit(device::test::kShortReceiveLimitMs);
        FixedAnswerGateUi first(true);
        link_ = std::make_unique<CDeviceLink>();
        link_->pendingSaves = &store;
        EXPECT_NE(CONNECT_OK, connectAccessory(*link_, 0, first, progress_, waits_, [] { return kNow; }));
        link_->close();
        ASSERT_FALSE(accessory_->plugged());

        setReceiveLimit(device::test::kReceiveLimitMs);
        accessory_ = device::test::replugWithFlash(accessory_);
        FixedAnswerGateUi second(true);
        link_ = std::make_unique<CDeviceLink>();
        link_->pendingSaves = &store;
        ASSERT_EQ(CONNECT_OK, connectAccessory(*link_, 0, second, progress_, waits_, [] { return kNow; }));
        ASSERT_EQ(UnfinishedSave::Differs, link_->unfinishedSave.state) << "the write-back is offered";
        ASSERT_EQ(ZELO_OK, finishUnfinishedSave(*link_, link_->unfinishedSave.save, progress_));
        link_->close();

        FixedAnswerGateUi third(false);
        EXPECT_EQ(CONNECT_OK, connectFresh(third));
        EXPECT_TRUE(third.prompts.empty()) << "nothing left to update";
        expectImageInstalled(DeviceVariant::Standard);
        EXPECT_TRUE(link_->firmwarePagesValid);
        EXPECT_EQ(L"1.24", link_->firmwareText());
        EXPECT_EQ(firstPage, accessory_->page(kConfigurationPages[0])) << "settings of the first page kept";
        link_->close();
        world().unplug(accessory_);
        std::filesystem::remove_all(folder);
    }
}

// --- A save cut short, then a connect that updates the firmware ---------------

// The standard model's update writes its configuration back. A save cut
// short before it is settled first as the user chooses, never written back
// as the mix the gate read, and its record never replaced by that mix's.
class InterruptedSaveThenUpdateTest : public ConnectSequenceTest {
protected:
    static constexpr std::array<std::size_t, 3> kEditedOffsets{100, 612, 1028};
    static constexpr std::uint8_t kEdited = 0x3C;
    // Power tracking on USB, and a device code whose copy lives in page 29.
    static constexpr std::array<std::size_t, 3> kOwnOffsets{kPowerTrackingOffset, kDeviceCodeOffset, 620};
    static constexpr std::uint8_t kOwn = 0x01;
    static constexpr int kReportData = 62;
    static constexpr int kReportsPerPageWrite = (1 + 1 + static_cast<int>(kPageSize) + kReportData - 1) / kReportData;

    void TearDown() override {
        ConnectSequenceTest::TearDown();
        std::filesystem::remove_all(folder_);
    }

    // An accessory with old firmware whose Save was cut in its second page;
    // with ownSettings, settings unlike the image's defaults saved before,
    // in every page.
    void cutSave(bool ownSettings = false) {
        plug("standard", "1.18");
        link_ = std::make_unique<CDeviceLink>();
        ASSERT_EQ(ZELO_OK, link_->open(0));
        ASSERT_EQ(ZELO_OK, readVersions(*link_));
        link_->selectDefaults();
        link_->pendingSaves = &store_;
        ASSERT_EQ(ZELO_OK, readConfiguration(*link_, progress_));
        if (ownSettings) {
            link_->record.acceptRead();
            for (std::size_t offset : kOwnOffsets) link_->record.workingCopy()[offset] = kOwn;
            link_->record.commitEdits();
            ASSERT_EQ(ZELO_OK, writeConfiguration(*link_, progress_));
            link_->record.confirmCommit();
            ASSERT_EQ(ZELO_OK, readConfiguration(*link_, progress_));
        }
        old_ = link_->record.readCopy();
        link_->record.acceptRead();
        for (std::size_t offset : kEditedOffsets) link_->record.workingCopy()[offset] = kEdited;
        link_->record.commitEdits();
        accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsPerPageWrite + 2});
        EXPECT_NE(ZELO_OK, writeConfiguration(*link_, progress_));
        link_.reset();
        accessory_ = device::test::replugWithFlash(accessory_);
        accessory_->clearLog();
    }

    // The update is complete: the next connect has nothing to offer.
    void expectFirmwareCurrentAndNothingLeft() {
        FixedAnswerGateUi next(false);
        ASSERT_EQ(CONNECT_OK, connectWithRecords(next));
        EXPECT_TRUE(next.prompts.empty());
        EXPECT_EQ(UnfinishedSave::None, link_->unfinishedSave.state);
    }

    int connectWithRecords(GateUi &ui) {
        link_ = std::make_unique<CDeviceLink>();
        link_->pendingSaves = &store_;
        return connectAccessory(*link_, 0, ui, progress_, waits_, [] { return kNow; });
    }

    // The user's settings as the accessory holds them now: the first two
    // pages and the power tracking byte of the page the image shares.
    void expectSettings(const ConfigRecord::Block &block) const {
        for (std::size_t i = 0; i < kConfigurationPages.size(); ++i) {
            const PageBytes page = accessory_->page(kConfigurationPages[i]);
            const std::size_t from = i * kPageSize;
            const std::size_t to = i + 1 < kConfigurationPages.size() ? from + kPageSize : kPowerTrackingOffset;
            for (std::size_t at = from; at < to; ++at) {
                ASSERT_EQ(block[at], page[at - from]) << "block offset " << at;
            }
        }
        EXPECT_EQ(block[kPowerTrackingOffset], accessory_->page(kConfigurationPages.back())[kPowerTrackingOffset % kPageSize]);
    }

    std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                    ("zelo-gate-records-" + std::to_string(std::random_device{}()));
    PendingSaveStore store_{folder_};
    ConfigRecord::Block old_{};
};

TEST_F(InterruptedSaveThenUpdateTest, YesFinishesTheSaveAndTheUpdateKeepsIt) {
    cutSave();
    FixedAnswerGateUi ui(true);
    ui.unfinishedChoice = UnfinishedChoice::Finish;
    ASSERT_EQ(CONNECT_OK, connectWithRecords(ui));
    EXPECT_EQ(1, ui.unfinishedAsked);
    EXPECT_EQ(UPGRADE_DONE, link_->upgradeState);
    ConfigRecord::Block intended = old_;
    for (std::size_t offset : kEditedOffsets) intended[offset] = kEdited;
    expectSettings(intended);
    EXPECT_EQ(UnfinishedSave::None, link_->unfinishedSave.state) << "asked twice";
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
    expectFirmwareCurrentAndNothingLeft();
}

TEST_F(InterruptedSaveThenUpdateTest, NoGoesBackToTheSettingsFromBeforeTheSave) {
    cutSave();
    FixedAnswerGateUi ui(true);
    ui.unfinishedChoice = UnfinishedChoice::GoBack;
    ASSERT_EQ(CONNECT_OK, connectWithRecords(ui));
    EXPECT_EQ(UPGRADE_DONE, link_->upgradeState);
    expectImageInstalled(DeviceVariant::Standard);
    expectSettings(old_);
    EXPECT_EQ(UnfinishedSave::None, link_->unfinishedSave.state);
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
    expectFirmwareCurrentAndNothingLeft();
}

// The update's write-back after Yes is cut in its second page. Going back
// at the next connect gives the settings from before the interrupted save as
// a whole, page 29 included, not page 29 as the update left it.
TEST_F(InterruptedSaveThenUpdateTest, GoingBackAfterACutWriteBackGivesTheOldSettingsWhole) {
    // The page writes of the update and its write-back (14, 15, 29), counted
    // on a unit without the fault.
    cutSave(true);
    FixedAnswerGateUi reference(true);
    reference.unfinishedChoice = UnfinishedChoice::Finish;
    ASSERT_EQ(CONNECT_OK, connectWithRecords(reference));
    const auto writes = std::ranges::count(codes(), command::kPageWrite);
    ASSERT_GT(writes, 3);
    link_.reset();
    world().reset();

    cutSave(true);
    sim::FaultSpec cut{sim::Fault::TornPageWrite};
    cut.after = static_cast<int>(writes) - 2;
    accessory_->injectFault(cut);
    setReceiveLimit(device::test::kShortReceiveLimitMs);
    FixedAnswerGateUi ui(true);
    ui.unfinishedChoice = UnfinishedChoice::Finish;
    EXPECT_NE(CONNECT_OK, connectWithRecords(ui));
    ASSERT_EQ(1, accessory_->faultsActed());
    link_.reset();
    accessory_ = device::test::replugWithFlash(accessory_);

    FixedAnswerGateUi back(true);
    back.unfinishedChoice = UnfinishedChoice::GoBack;
    ASSERT_EQ(CONNECT_OK, connectWithRecords(back));
    ASSERT_EQ(UnfinishedSave::Differs, link_->unfinishedSave.state);
    ASSERT_EQ(ZELO_OK, settleUnfinishedSave(*link_, link_->unfinishedSave.save, UnfinishedChoice::GoBack, progress_));
    expectSettings(old_);
    // Page 29's settings too (all but the image's version and CRC).
    const PageBytes last = accessory_->page(kConfigurationPages.back());
    EXPECT_TRUE(std::equal(old_.begin() + kPowerTrackingOffset, old_.begin() + kImageCrcOffset,
                           last.begin() + (kPowerTrackingOffset - kFirmwareVersionOffset)));
    expectFirmwareCurrentAndNothingLeft();
}

// Without an answer (zelo with neither option) nothing is written and the
// record stays for a later run.
TEST_F(InterruptedSaveThenUpdateTest, NoAnswerWritesNothingAndKeepsTheRecord) {
    cutSave();
    const std::size_t records = static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()));
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(CONNECT_DECLINED, connectWithRecords(ui));
    EXPECT_EQ(1, ui.unfinishedAsked);
    EXPECT_FALSE(logHas(command::kPageWrite));
    EXPECT_EQ(1U, records);
    PendingSave kept;
    EXPECT_EQ(PendingLookup::Found, store_.read(accessoryKeyOf(old_), kept));
}

// --- Failures outside the gate and the stamp -----------------------------------

TEST_F(ConnectSequenceTest, FailedOpenIsTheResultAndForgetsAnEarlierUpdate) {
    FixedAnswerGateUi ui(true);
    link_ = std::make_unique<CDeviceLink>();
    link_->upgradeState = UPGRADE_DONE;
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, connectAccessory(*link_, 0, ui, progress_, waits_));
    EXPECT_FALSE(link_->isConnected());
    EXPECT_EQ(UPGRADE_NONE, link_->upgradeState);
}

TEST_F(ConnectSequenceTest, UnansweredVersionReadClosesWithTheLibrarysCode) {
    plug("standard");
    setReceiveLimit(device::test::kShortReceiveLimitMs);
    accessory_->injectFault({sim::Fault::DropAnswer, command::kLoaderVersion});
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(ZELO_TRANSFER_FAILED, connectFresh(ui));
    EXPECT_FALSE(link_->isConnected());
    EXPECT_FALSE(logHas(command::kPageCrc));
}

TEST_F(ConnectSequenceTest, DamagedConfigurationReadClosesInsteadOfConnecting) {
    plug("0.99");  // no gate: the first page read is the configuration's
    accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageRead});
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(kCheckFailed, connectFresh(ui));
    EXPECT_FALSE(link_->isConnected());
    EXPECT_FALSE(link_->record.readValid());
}

TEST_F(ConnectSequenceTest, TheFirstConnectionStampOutlivesLaterConnectsAndOnlyImplausibleOnesAreReplaced) {
    plug("standard");  // leaves the factory unstamped
    FixedAnswerGateUi ui(false);
    ASSERT_EQ(CONNECT_OK, connectFresh(ui));
    EXPECT_EQ(static_cast<std::uint32_t>(kNow), stamp());
    // Only the copy changes; the accessory gets it with the next save.
    EXPECT_EQ(0u, loadLittleEndian32(accessory_->page(kConfigurationPages[kStampPage]), kStampInPage));
    link_->record.acceptRead();
    link_->record.commitEdits();
    ASSERT_EQ(ZELO_OK, writeConfiguration(*link_, progress_));

    constexpr std::int64_t kHourLater = kNow + 60 * 60;
    ASSERT_EQ(CONNECT_OK, connectFresh(ui, kHourLater));
    EXPECT_EQ(static_cast<std::uint32_t>(kNow), stamp()) << "the first connection stays the first";

    constexpr std::uint32_t k2020 = 1590000000;
    constexpr std::uint32_t k2030 = 1900000000;
    setStamp(k2020);
    ASSERT_EQ(CONNECT_OK, connectFresh(ui));
    EXPECT_EQ(k2020, stamp());
    setStamp(k2030);
    ASSERT_EQ(CONNECT_OK, connectFresh(ui));
    EXPECT_EQ(static_cast<std::uint32_t>(kNow), stamp()) << "a stamp in the future is no first connection";
}

}  // namespace
}  // namespace zelo::app
