#include "firmware_gate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "catalogue.h"
#include "images.h"
#include "page_crc.h"
#include "protocol.h"

namespace zelo::app {

namespace {

using device::CDeviceLink;
using device::DeviceVariant;
using device::kFirmwarePages;
using device::kPageSize;

constexpr std::size_t kPageCount = kFirmwarePages.size();
// Page 29: the standard model's third configuration page too, so the
// standard check leaves it out of the comparison and its update always
// writes it.
constexpr std::size_t kLastPage = kPageCount - 1;
constexpr std::uint16_t kErasedPageSignature = 0x6995;
constexpr std::uint8_t kErasedByte = 0xFF;
// Where the third configuration page starts in the block.
constexpr std::size_t kLastPageBlockOffset = device::kBlockSize - kPageSize;
static_assert(kLastPageBlockOffset == device::kFirmwareVersionOffset);
constexpr std::uint8_t kPowerTrackingNone = 0;
// X firmware 2.04 is updated without being sent into its boot loader.
constexpr std::uint32_t kXFirmwareWithoutBootMode = 2040;
// The device code and the first alternate codes (offsets 68 to 73) are
// copied as one run to 1029 to 1034.
constexpr std::size_t kCodeCopyLength = device::widthOf(device::Field::DeviceCodeCopy) +
                                        device::widthOf(device::Field::AlternateCodeCopies);
static_assert(device::kAlternateCodesOffset == device::endOf(device::Field::DeviceCode));
static_assert(device::kAlternateCodeCopiesOffset == device::endOf(device::Field::DeviceCodeCopy));
constexpr wchar_t kVersionPrefix = L'v';

using PageBytes = std::array<std::uint8_t, kPageSize>;
// nullopt: the accessory did not answer, which counts as a differing page.
using Signature = std::optional<std::uint16_t>;

int pageProgress(std::size_t index) {
    return static_cast<int>((index + 1) * device::kProgressDone / kPageCount);
}

std::span<std::uint8_t, kPageSize> pageSlot(std::span<std::uint8_t, device::kFirmwareImageSize> image,
                                            std::size_t index) {
    return image.subspan(index * kPageSize).first<kPageSize>();
}

// The whole-image check: the CRC of everything before the last two bytes of
// crcOver, against the two bytes stored.
bool imageCheckHolds(std::span<const std::uint8_t> crcOver, std::span<const std::uint8_t, device::kPageCrcSize> stored) {
    return device::pageCrc(crcOver.first(device::kFirmwareCrcOffset)) == device::loadCrc(stored);
}

std::wstring widen(std::string_view text) { return std::wstring(text.begin(), text.end()); }

class GateRun {
public:
    GateRun(CDeviceLink &link, device::ProgressSink &progress, device::Waits &waits)
        : link_(link), progress_(progress), waits_(waits), variant_(link.variant()),
          image_(device::firmwareImage(variant_)) {
        for (std::size_t i = 0; i < kPageCount && !image_.empty(); ++i) expected_[i] = device::pageCrc(imagePage(i));
    }

    int run(GateUi &ui);

private:
    std::span<const std::uint8_t, kPageSize> imagePage(std::size_t index) const {
        return image_.subspan(index * kPageSize).first<kPageSize>();
    }
    bool differs(std::size_t index) const { return accessory_[index] != expected_[index]; }
    bool erased(std::size_t index) const { return accessory_[index] == kErasedPageSignature; }
    bool anyDiffers(std::size_t count) const;

    void readSignatures();
    void readBackPages();
    bool checkStandard();
    bool checkX();
    bool updateStandard();
    bool updateX();
    bool verifyPages();
    bool readConfigurationKeepingVersion();
    void recordWriteBack();
    int finishStandard();
    int finishX();
    void restoreConfigurationFields();
    void rereadFirmwareVersion();
    bool settleEarlierSave(GateUi &ui);

    CDeviceLink &link_;
    device::ProgressSink &progress_;
    device::Waits &waits_;
    const DeviceVariant variant_;
    const std::span<const std::uint8_t> image_;
    std::array<std::uint16_t, kPageCount> expected_{};  // what each page must hold after an update
    std::array<Signature, kPageCount> accessory_{};
    // A request of the check went unanswered. Its answer may still come and
    // would be taken for the next request's (another page's bytes under a
    // valid CRC), so nothing the check read can be trusted to write from.
    bool unanswered_ = false;
};

bool GateRun::anyDiffers(std::size_t count) const {
    for (std::size_t i = 0; i < count; ++i) {
        if (differs(i)) return true;
    }
    return false;
}

void GateRun::readSignatures() {
    progress_.progress(device::kProgressStart);
    for (std::size_t i = 0; i < kPageCount; ++i) {
        std::uint16_t crc = 0;
        accessory_[i].reset();
        if (device::readPageCrc(link_, kFirmwarePages[i], crc) == ZELO_OK) {
            accessory_[i] = crc;
        } else {
            unanswered_ = true;
        }
        progress_.progress(pageProgress(i));
    }
}

// Reads every page that is not erased into firmwareImage; a page that cannot
// be read is treated as differing, so it is rewritten and never left as
// 0xFF inside the image whose CRC the update computes.
void GateRun::readBackPages() {
    progress_.progress(device::kProgressStart);
    std::vector<std::size_t> toRead;
    for (std::size_t i = 0; i < kPageCount; ++i) {
        if (!erased(i)) toRead.push_back(i);
    }
    for (std::size_t k = 0; k < toRead.size(); ++k) {
        const std::size_t i = toRead[k];
        bool answered = false;
        if (device::readPage(link_, kFirmwarePages[i], pageSlot(link_.firmwareImage, i), &answered) != ZELO_OK) {
            accessory_[i].reset();
        }
        if (!answered) unanswered_ = true;
        progress_.progress(static_cast<int>((k + 1) * device::kProgressDone / toRead.size()));
    }
}

bool GateRun::checkStandard() {
    link_.firmwareImage.fill(kErasedByte);
    readSignatures();
    readBackPages();
    const bool codeDiffers = anyDiffers(kLastPage);
    const auto &image = link_.firmwareImage;
    link_.firmwarePagesValid =
        !erased(kLastPage) && imageCheckHolds(image, std::span(image).last<device::kPageCrcSize>());
    progress_.progress(device::kProgressDone);
    // Page 29 holding data under a CRC that does not fit the pages is what an
    // interrupted update leaves behind: the code pages may all match already.
    return codeDiffers || (!erased(kLastPage) && !link_.firmwarePagesValid);
}

bool GateRun::checkX() {
    link_.firmwareImage.fill(kErasedByte);
    readSignatures();
    bool needed = anyDiffers(kPageCount);
    const auto lastPage = pageSlot(link_.firmwareImage, kLastPage);
    bool answered = false;
    if (device::readPage(link_, kFirmwarePages[kLastPage], lastPage, &answered) != ZELO_OK) {
        accessory_[kLastPage].reset();
        needed = true;
    }
    if (!answered) unanswered_ = true;
    link_.firmwarePagesValid = !erased(0) && imageCheckHolds(image_, lastPage.last<device::kPageCrcSize>());
    progress_.progress(device::kProgressDone);
    return needed;
}

bool GateRun::updateStandard() {
    progress_.progress(device::kProgressStart);
    // Its answer is not acted on: the verification tells whether the pages took.
    device::enterBootMode(link_, waits_);
    for (std::size_t i = 0; i < kPageCount; ++i) {
        PageBytes page{};
        std::copy(imagePage(i).begin(), imagePage(i).end(), page.begin());
        // The last page is also the third configuration page: it gets the
        // write-back's settings at once, so it never holds the image's
        // defaults, which neither settling of a cut write-back would restore.
        if (i == kLastPage) {
            const auto &block = link_.record.readCopy();
            std::copy_n(block.begin() + kLastPageBlockOffset, device::kPageSize, page.begin());
        }
        progress_.progress(pageProgress(i));
        if (i < kLastPage && !differs(i)) continue;

        const auto slot = pageSlot(link_.firmwareImage, i);
        std::copy(page.begin(), page.end(), slot.begin());
        if (i == kLastPage) {
            const auto image = std::span(link_.firmwareImage);
            device::storeCrc(std::span(page).last<device::kPageCrcSize>(),
                             device::pageCrc(image.first<device::kFirmwareCrcOffset>()));
            std::copy(page.begin(), page.end(), slot.begin());
        }
        expected_[i] = device::pageCrc(page);
        if (device::writePage(link_, kFirmwarePages[i], page) != ZELO_OK) return false;
    }
    if (!verifyPages()) return false;
    if (link_.firmwarePagesValid) device::leaveBootMode(link_, waits_);
    link_.firmwarePagesValid = true;
    progress_.progress(device::kProgressDone);
    return true;
}

bool GateRun::updateX() {
    progress_.progress(device::kProgressStart);
    if (link_.firmwareNumber != kXFirmwareWithoutBootMode) device::enterBootMode(link_, waits_);
    for (std::size_t i = 0; i < kPageCount; ++i) {
        progress_.progress(pageProgress(i));
        if (!differs(i)) continue;
        if (device::writePage(link_, kFirmwarePages[i], imagePage(i)) != ZELO_OK) return false;
    }
    if (!verifyPages()) return false;
    device::leaveBootMode(link_, waits_);
    link_.firmwarePagesValid = true;
    progress_.progress(device::kProgressDone);
    return true;
}

// Every page, written or skipped, must now answer the signature of what it
// should hold; otherwise the update counts as failed and the next connect
// offers it again.
bool GateRun::verifyPages() {
    for (std::size_t i = 0; i < kPageCount; ++i) {
        std::uint16_t crc = 0;
        if (device::readPageCrc(link_, kFirmwarePages[i], crc) != ZELO_OK || crc != expected_[i]) return false;
    }
    return true;
}

// The new firmware finds its version text and the device-code copies in the
// configuration page it shares with the image.
void GateRun::restoreConfigurationFields() {
    auto &block = link_.record.readCopy();
    if (block[device::kPowerTrackingOffset] == kErasedByte) block[device::kPowerTrackingOffset] = kPowerTrackingNone;
    const std::string_view version = device::firmwareVersionText(DeviceVariant::Standard);
    std::copy(version.begin(), version.end(), block.begin() + device::kFirmwareVersionOffset);
    std::copy_n(block.begin() + device::kDeviceCodeOffset, kCodeCopyLength, block.begin() + device::kDeviceCodeCopyOffset);
}

void GateRun::rereadFirmwareVersion() {
    char text[device::kVersionTextLength + 1]{};
    const int result = link_.linkTransact(device::command::kFirmwareVersion, nullptr, 0,
                                          reinterpret_cast<std::uint8_t *>(text), device::kVersionTextLength);
    if (result == ZELO_OK) link_.setFirmwareVersion(text);
}

// The read may raise firmwareNumber to the version text in page 29, which
// names the image the configuration belongs to. While an update is pending
// that is not what runs: the question and the update keep the number the
// firmware answered itself.
bool GateRun::readConfigurationKeepingVersion() {
    const std::uint32_t running = link_.firmwareNumber;
    const int result = device::readConfiguration(link_, progress_);
    link_.firmwareNumber = running;
    return result == ZELO_OK;
}

// The update rewrites page 29, the third configuration page, and only the
// write-back after it puts the user's settings there again. Recorded before
// the first firmware page, the write-back is finished at the next connect
// when the update is cut short, also where page 29 is left erased, which
// the check would otherwise take for an accessory never configured.
void GateRun::recordWriteBack() {
    restoreConfigurationFields();
    auto &block = link_.record.readCopy();
    link_.record.restoreProtected();
    std::array<std::uint8_t, device::kFirmwareImageSize> updated{};
    std::copy(image_.begin(), image_.end(), updated.begin());
    device::sealFirmwareImage(updated, block);
    // Not recorded, the update still goes on, as a save does; the caller
    // tells the user through lastWriteUnprotected.
    bool recorded = false;
    device::recordPendingSave(link_, recorded);
}

int GateRun::finishStandard() {
    recordWriteBack();
    if (!updateStandard()) return GATE_FAILED;
    // A failed write leaves page 29 with the image's defaults instead of the
    // user's values; the user must hear of it.
    if (device::writeConfiguration(link_, progress_) != ZELO_OK) return GATE_FAILED;
    link_.upgradeState = device::UPGRADE_DONE;
    return GATE_OK;
}

int GateRun::finishX() {
    if (!updateX()) return GATE_FAILED;
    link_.upgradeState = device::UPGRADE_DONE;
    rereadFirmwareVersion();
    return GATE_OK;
}

// The write-back is a recorded save like any other. A save of the user's
// that was cut short must be settled before it, as the user chooses: its
// record would otherwise be replaced by one of the mixed pages just read.
bool GateRun::settleEarlierSave(GateUi &ui) {
    if (link_.pendingSaves == nullptr) return true;
    const device::UnfinishedSaveCheck check =
        device::checkUnfinishedSave(*link_.pendingSaves, variant_, link_.record.readCopy());
    // Anything else the look found is for the caller to tell.
    link_.unfinishedSave = check;
    if (check.state != device::UnfinishedSave::Differs) return true;
    const std::optional<device::UnfinishedChoice> choice = ui.chooseUnfinishedSave();
    if (!choice) return false;
    device::adoptUnfinishedSave(link_, check.save, *choice);
    link_.unfinishedSave = {};
    return true;
}

int GateRun::run(GateUi &ui) {
    link_.upgradeState = device::UPGRADE_NONE;
    if (variant_ == DeviceVariant::Other) return GATE_OK;
    const bool standard = variant_ == DeviceVariant::Standard;
    const bool needed = standard ? checkStandard() : checkX();
    if (unanswered_) return GATE_FAILED;
    if (!needed) return GATE_OK;

    link_.upgradeState = device::UPGRADE_STARTED;
    // The update rewrites page 29, which holds the standard model's third
    // configuration page; without an intact copy of the configuration to
    // write back, the user's settings there would be lost.
    if (standard && !readConfigurationKeepingVersion()) return GATE_FAILED;

    const std::wstring current = kVersionPrefix + link_.firmwareText();
    const std::wstring offered = kVersionPrefix + widen(device::firmwareVersionText(variant_));
    if (!ui.askUpgrade(current, offered)) {
        link_.upgradeState = device::UPGRADE_NONE;
        return GATE_DECLINED;
    }
    // The X model's update leaves its configuration pages alone.
    if (standard) {
        if (!settleEarlierSave(ui)) {
            link_.upgradeState = device::UPGRADE_NONE;
            return GATE_DECLINED;
        }
        ui.beforeUpdate(link_);
    }
    return standard ? finishStandard() : finishX();
}

}  // namespace

std::wstring upgradePromptText(std::wstring_view currentVersionShown, std::wstring_view imageVersionText) {
    std::wstring text =
        i18n::replacePlaceholder(i18n::Msg::FirmwareUpgradeRequired, i18n::kMarkerVersion, currentVersionShown);
    const std::size_t at = text.find(i18n::kMarkerVersion2);
    if (at != std::wstring::npos) text.replace(at, i18n::kMarkerVersion2.size(), imageVersionText);
    return text;
}

int runFirmwareGate(CDeviceLink &link, GateUi &ui, device::ProgressSink &progress, device::Waits &waits) {
    return GateRun(link, progress, waits).run(ui);
}

}  // namespace zelo::app
