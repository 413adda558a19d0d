// The firmware gate on its own, against simulated accessories that carry
// the program's images: what it compares, what it writes, in which order,
// and how it treats requests that go unanswered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "firmware_gate.h"
#include "images.h"
#include "language.h"
#include "page_crc.h"
#include "sim_fixture.h"

namespace zelo::app {
namespace {

using namespace zelo::device;
using device::test::Frame;
using device::test::PageBytes;

constexpr std::size_t kPageCount = kFirmwarePages.size();
constexpr std::uint8_t kLastFirmwarePage = kFirmwarePages.back();
constexpr std::size_t kPowerTrackingInPage = kPowerTrackingOffset - kFirmwareVersionOffset;
constexpr std::size_t kPageNumberAt = 1;  // a page command: code, page number, data
constexpr std::size_t kPageDataAt = 2;
const std::vector<int> kConfigurationRead{0, 0, 33, 66, 100};

PageBytes imagePage(DeviceVariant variant, std::size_t index) {
    PageBytes page{};
    std::copy_n(firmwareImage(variant).begin() + static_cast<std::ptrdiff_t>(index * kPageSize), kPageSize,
                page.begin());
    return page;
}

// 0, then one step per firmware page: 7, 14, ..., 100.
std::vector<int> pageSteps() {
    std::vector<int> reports{kProgressStart};
    for (std::size_t i = 1; i <= kPageCount; ++i) reports.push_back(static_cast<int>(i * kProgressDone / kPageCount));
    return reports;
}

std::vector<int> joined(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto &part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Records the reports and acts once, after the given number of them.
class ActionProgress : public ProgressSink {
public:
    ActionProgress(std::size_t after, std::function<void()> action) : after_(after), action_(std::move(action)) {}
    void progress(int percent) override {
        reports.push_back(percent);
        if (reports.size() == after_) action_();
    }
    std::vector<int> reports;

private:
    std::size_t after_;
    std::function<void()> action_;
};

// Acts on the accessory while the question is open, between check and update.
class GateUiWithAction : public FixedAnswerGateUi {
public:
    GateUiWithAction(bool answer, std::function<void()> action) : FixedAnswerGateUi(answer), action_(std::move(action)) {}
    bool askUpgrade(std::wstring_view current, std::wstring_view image) override {
        action_();
        return FixedAnswerGateUi::askUpgrade(current, image);
    }

private:
    std::function<void()> action_;
};

class FirmwareGateTest : public device::test::SimulatedAccessoryTest {
protected:
    // Plugs the model (empty firmware: up to date), lets prepare change its
    // pages, then opens and identifies it.
    CDeviceLink &identify(const std::string &model, const std::string &firmware = "",
                          const std::function<void()> &prepare = {}) {
        sim::AccessoryConfig config;
        config.model = model;
        config.firmware = firmware;
        accessory_ = world().plug(config);
        if (prepare) prepare();
        link_ = std::make_unique<CDeviceLink>();
        EXPECT_EQ(ZELO_OK, link_->open(0));
        EXPECT_EQ(ZELO_OK, readVersions(*link_));
        link_->selectDefaults();
        accessory_->clearLog();
        return *link_;
    }

    int gate(GateUi &ui) { return runFirmwareGate(*link_, ui, progress_, waits_); }

    std::vector<int> pagesOf(std::uint8_t code) const {
        std::vector<int> pages;
        for (const Frame &command : commands()) {
            if (command.front() == code) pages.push_back(command[kPageNumberAt]);
        }
        return pages;
    }

    PageBytes firstWriteOf(std::uint8_t page) const {
        PageBytes data{};
        for (const Frame &command : commands()) {
            if (command.front() == command::kPageWrite && command[kPageNumberAt] == page) {
                std::copy_n(command.begin() + kPageDataAt, kPageSize, data.begin());
                return data;
            }
        }
        ADD_FAILURE() << "page " << int(page) << " was not written";
        return data;
    }

    std::vector<int> pagesDifferingFrom(DeviceVariant variant) const {
        std::vector<int> pages;
        for (std::size_t i = 0; i < kPageCount; ++i) {
            if (accessory_->page(kFirmwarePages[i]) != imagePage(variant, i)) pages.push_back(kFirmwarePages[i]);
        }
        return pages;
    }

    void expectImageInstalled(DeviceVariant variant) const {
        EXPECT_TRUE(pagesDifferingFrom(variant).empty());
    }

    // Changes page 29 as a save would: new bytes, the image CRC refreshed.
    void setPage29Byte(std::size_t at, std::uint8_t value) {
        PageBytes last = accessory_->page(kLastFirmwarePage);
        last[at] = value;
        accessory_->setPage(kLastFirmwarePage, last);
        std::vector<std::uint8_t> image;
        for (std::uint8_t page : kFirmwarePages) {
            const PageBytes bytes = accessory_->page(page);
            image.insert(image.end(), bytes.begin(), bytes.end());
        }
        storeCrc(std::span(last).last<2>(), pageCrc(std::span(image).first(kFirmwareCrcOffset)));
        accessory_->setPage(kLastFirmwarePage, last);
    }

    bool sent(std::uint8_t code) const {
        const std::vector<std::uint8_t> all = codes();
        return std::ranges::find(all, code) != all.end();
    }

    RecordingProgress progress_;
    RecordingWaits waits_;
};

// --- The checks ------------------------------------------------------------------

TEST_F(FirmwareGateTest, UpToDateStandardIsReadBackAndPassesWithoutAQuestion) {
    CDeviceLink &link = identify("standard");
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(UPGRADE_NONE, link.upgradeState);
    EXPECT_TRUE(link.firmwarePagesValid);
    EXPECT_EQ(kPageCount, pagesOf(command::kPageRead).size());
    EXPECT_TRUE(std::ranges::equal(firmwareImageA(), link.firmwareImage));
    // Signatures, then the read-back of all 14 pages (none is erased).
    EXPECT_EQ(joined({pageSteps(), pageSteps(), {kProgressDone}}), progress_.reports);
}

TEST_F(FirmwareGateTest, UpToDateXReadsOnlyItsLastPageBack) {
    CDeviceLink &link = identify("x");
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(link.firmwarePagesValid);
    EXPECT_EQ(std::vector<int>{kLastFirmwarePage}, pagesOf(command::kPageRead));
    EXPECT_EQ(joined({pageSteps(), {kProgressDone}}), progress_.reports);
}

TEST_F(FirmwareGateTest, OtherModelsPassWithoutTraffic) {
    CDeviceLink &link = identify("0.99");
    link.upgradeState = UPGRADE_DONE;
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_EQ(UPGRADE_NONE, link.upgradeState);
    EXPECT_TRUE(commands().empty());
}

TEST_F(FirmwareGateTest, StandardPage29IsNotComparedWhileItsImageCheckHolds) {
    identify("standard", "", [this] { setPage29Byte(kPowerTrackingInPage, 2); });
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(link_->firmwarePagesValid);
}

TEST_F(FirmwareGateTest, ErasedStandardIsOfferedTheUpdateWithoutReadingPagesBack) {
    identify("standard", "", [this] {
        PageBytes erased;
        erased.fill(0xFF);
        for (std::uint8_t page : kFirmwarePages) accessory_->setPage(page, erased);
    });
    FixedAnswerGateUi ui(false);
    EXPECT_EQ(GATE_DECLINED, gate(ui));
    ASSERT_EQ(1u, ui.prompts.size());
    EXPECT_EQ(L"v0.00", ui.prompts[0].currentVersionShown);
    EXPECT_FALSE(link_->firmwarePagesValid);
    EXPECT_EQ((std::vector<int>{14, 15, 29}), pagesOf(command::kPageRead)) << "only the configuration read";
    EXPECT_EQ(joined({pageSteps(), {kProgressStart, kProgressDone}, kConfigurationRead}), progress_.reports);
}

TEST_F(FirmwareGateTest, QuestionNamesTheRunningFirmwareNotTheConfigurationsText) {
    // The configuration read before the question finds "1.24" in page 29.
    CDeviceLink &link = identify("standard", "1.18");
    FixedAnswerGateUi ui(false);
    EXPECT_EQ(GATE_DECLINED, gate(ui));
    ASSERT_EQ(1u, ui.prompts.size());
    EXPECT_EQ(L"v1.18", ui.prompts[0].currentVersionShown);
    EXPECT_EQ(L"v1.24", ui.prompts[0].imageVersionText);
    EXPECT_TRUE(link.record.readValid());
    EXPECT_FALSE(accessory_->bootMode());
}

// --- The updates -----------------------------------------------------------------

TEST_F(FirmwareGateTest, StandardUpdateWritesDifferingPagesAndPage29ThenTheConfiguration) {
    CDeviceLink &link = identify("standard", "1.18");
    ASSERT_EQ((std::vector<int>{16, 29}), pagesDifferingFrom(DeviceVariant::Standard)) << "page 29 by its CRC";
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_EQ(UPGRADE_DONE, link.upgradeState);
    EXPECT_EQ((std::vector<int>{16, 29, 14, 15, 29}), pagesOf(command::kPageWrite));
    const PageBytes page29 = firstWriteOf(kLastFirmwarePage);
    EXPECT_TRUE(std::equal(page29.end() - 2, page29.end(), firmwareImageA().end() - 2)) << "the whole-image CRC";
    expectImageInstalled(DeviceVariant::Standard);
    EXPECT_EQ(0, std::memcmp("1.24", link.record.readCopy().data() + kFirmwareVersionOffset, 4));

    // Boot mode around the pages, left again because the old image was intact.
    const std::vector<std::uint8_t> all = codes();
    EXPECT_LT(std::ranges::find(all, command::kBootEnter), std::ranges::find(all, command::kPageWrite));
    EXPECT_TRUE(sent(command::kStartApplication));
    EXPECT_FALSE(accessory_->bootMode());
    EXPECT_EQ(command::kConfigurationWritten, all.back());
    EXPECT_EQ(std::vector<unsigned>{kBootSettleMs}, waits_.pauses);

    std::vector<int> update = pageSteps();
    update.push_back(kProgressDone);
    EXPECT_EQ(joined({pageSteps(), pageSteps(), {kProgressDone}, kConfigurationRead, update, kConfigurationRead}),
              progress_.reports);
}

TEST_F(FirmwareGateTest, Firmware120KeepsPowerTrackingInTheWrittenPage29) {
    constexpr std::uint8_t kPowerTracking = 2;
    identify("standard", "1.20", [this] { setPage29Byte(kPowerTrackingInPage, kPowerTracking); });
    ASSERT_EQ(1200u, link_->firmwareNumber);
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));

    const PageBytes written = firstWriteOf(kLastFirmwarePage);
    EXPECT_EQ(kPowerTracking, written[kPowerTrackingInPage]);
    std::vector<std::uint8_t> image(firmwareImageA().begin(), firmwareImageA().end());
    image[kFirmwareLastPageOffset + kPowerTrackingInPage] = kPowerTracking;
    EXPECT_EQ(pageCrc(std::span(image).first(kFirmwareCrcOffset)), loadCrc(std::span(written).last<2>()));
}

TEST_F(FirmwareGateTest, XUpdateWritesOnlyDifferingPagesAndRereadsTheVersion) {
    CDeviceLink &link = identify("x", "2.03");
    const std::vector<int> differing = pagesDifferingFrom(DeviceVariant::X);
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    ASSERT_EQ(1u, ui.prompts.size());
    EXPECT_EQ(L"v2.03", ui.prompts[0].currentVersionShown);
    EXPECT_EQ(L"v2.06", ui.prompts[0].imageVersionText);
    EXPECT_EQ(UPGRADE_DONE, link.upgradeState);
    EXPECT_EQ(differing, pagesOf(command::kPageWrite));
    expectImageInstalled(DeviceVariant::X);
    EXPECT_EQ(2060u, link.firmwareNumber);
    EXPECT_TRUE(sent(command::kBootEnter));
    EXPECT_FALSE(sent(command::kConfigurationWritten));
    EXPECT_EQ(command::kFirmwareVersion, codes().back());
    EXPECT_FALSE(accessory_->bootMode());
}

TEST_F(FirmwareGateTest, XFirmware204IsUpdatedWithoutEnteringBootMode) {
    identify("x", "2.04");
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_FALSE(sent(command::kBootEnter));
    EXPECT_TRUE(sent(command::kBootControl)) << "leaving is still sent";
    expectImageInstalled(DeviceVariant::X);
}

// --- Unanswered requests and pages that do not take ------------------------------

// Its answer may come late and be taken for the next page's: the gate
// writes nothing from such a check and the connect fails.
TEST_F(FirmwareGateTest, UnansweredSignatureEndsTheGateWithoutWriting) {
    identify("standard");
    setReceiveLimit(device::test::kShortReceiveLimitMs);
    accessory_->injectFault({sim::Fault::DropAnswer, command::kPageCrc});
    FixedAnswerGateUi ui(false);
    EXPECT_EQ(GATE_FAILED, gate(ui));
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(pagesOf(command::kPageWrite).empty());
    EXPECT_EQ(UPGRADE_NONE, link_->upgradeState);
}

TEST_F(FirmwareGateTest, ALateReadBackAnswerIsNeverTakenForTheNextPage) {
    identify("standard");
    setReceiveLimit(device::test::kShortReceiveLimitMs);
    const std::vector<PageBytes> before = [this] {
        std::vector<PageBytes> pages;
        for (std::uint8_t page : kFirmwarePages) pages.push_back(accessory_->page(page));
        return pages;
    }();
    // The read-back of page 17 answers after the limit.
    accessory_->injectFault({sim::Fault::DelayAnswer, command::kPageRead, 1,
                             std::chrono::milliseconds(2 * device::test::kShortReceiveLimitMs), 1});
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_FAILED, gate(ui));
    EXPECT_TRUE(pagesOf(command::kPageWrite).empty());
    for (std::size_t i = 0; i < kFirmwarePages.size(); ++i) EXPECT_EQ(before[i], accessory_->page(kFirmwarePages[i]));
}

TEST_F(FirmwareGateTest, UnreadablePageIsRewrittenSoTheImageCrcStaysRight) {
    identify("standard");
    accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageRead});  // the read-back of page 16
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_EQ(1u, ui.prompts.size());
    EXPECT_EQ((std::vector<int>{16, 29, 14, 15, 29}), pagesOf(command::kPageWrite));
    expectImageInstalled(DeviceVariant::Standard);
}

TEST_F(FirmwareGateTest, InterruptedStandardUpdateIsOfferedAgain) {
    // Code pages current, page 29 under a CRC that does not fit: what a
    // failed write of page 29 leaves.
    identify("standard", "", [this] {
        PageBytes last = accessory_->page(kLastFirmwarePage);
        last[kPageSize - 1] ^= 0x5A;
        accessory_->setPage(kLastFirmwarePage, last);
    });
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_OK, gate(ui));
    EXPECT_EQ(1u, ui.prompts.size());
    EXPECT_EQ((std::vector<int>{29, 14, 15, 29}), pagesOf(command::kPageWrite));
    expectImageInstalled(DeviceVariant::Standard);
    EXPECT_TRUE(accessory_->bootMode()) << "not left: the old image was not intact";
}

TEST_F(FirmwareGateTest, PageThatDoesNotVerifyFailsTheUpdate) {
    CDeviceLink &link = identify("standard", "1.18");
    // The first signature asked after the question is the verification's.
    GateUiWithAction ui(true, [this] { accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageCrc}); });
    EXPECT_EQ(GATE_FAILED, gate(ui));
    EXPECT_EQ(UPGRADE_STARTED, link.upgradeState);
    EXPECT_EQ((std::vector<int>{16, 29}), pagesOf(command::kPageWrite)) << "no configuration write after it";
}

// The refusal itself is not acted on; the standard accessory then keeps its
// code pages, the update fails on them, and the next connect offers it again.
TEST_F(FirmwareGateTest, RefusedBootModeFailsTheStandardUpdateWhichIsOfferedAgain) {
    CDeviceLink &link = identify("standard", "1.18");
    const PageBytes oldCode = accessory_->page(kFirmwarePages.front());
    accessory_->injectFault({sim::Fault::RefuseBootMode});
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_FAILED, gate(ui));
    EXPECT_EQ(UPGRADE_STARTED, link.upgradeState);
    EXPECT_EQ(oldCode, accessory_->page(kFirmwarePages.front()));
    EXPECT_FALSE(sent(command::kConfigurationWritten)) << "no configuration written after a failed update";

    link.close();
    accessory_ = device::test::replugWithFlash(accessory_);
    link.open(0);
    ASSERT_EQ(ZELO_OK, readVersions(link));
    link.selectDefaults();
    FixedAnswerGateUi again(true);
    EXPECT_EQ(GATE_OK, gate(again));
    EXPECT_EQ(1u, again.prompts.size()) << "offered again";
    expectImageInstalled(DeviceVariant::Standard);
}

TEST_F(FirmwareGateTest, UnreadableConfigurationStopsTheStandardUpdateBeforeTheQuestion) {
    CDeviceLink &link = identify("standard", "1.18");
    const std::size_t checkReports = 2 * pageSteps().size() + 1;
    ActionProgress progress(checkReports, [this] { accessory_->injectFault({sim::Fault::CorruptCrc, command::kPageRead}); });
    FixedAnswerGateUi ui(true);
    EXPECT_EQ(GATE_FAILED, runFirmwareGate(link, ui, progress, waits_));
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(UPGRADE_STARTED, link.upgradeState);
    EXPECT_TRUE(pagesOf(command::kPageWrite).empty());
}

TEST(UpgradePromptText, FillsBothVersions) {
    i18n::resetLanguage();
    const std::wstring text = upgradePromptText(L"v1.18", L"v1.24");
    EXPECT_NE(std::wstring::npos, text.find(L"running firmware v1.18, in order"));
    EXPECT_NE(std::wstring::npos, text.find(L"upgrade to v1.24."));
    EXPECT_EQ(std::wstring::npos, text.find(L"[VERSION"));
}

}  // namespace
}  // namespace zelo::app
