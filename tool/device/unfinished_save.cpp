#include "unfinished_save.h"

#include <algorithm>

#include "device_link.h"
#include "protocol.h"

namespace zelo::device {

namespace {

enum class PageState { Before, Written, Other };

// The page holding the device address and device value.
constexpr std::size_t kIdentityPage = kDeviceAddressOffset / kPageSize;
static_assert(kDeviceValueOffset / kPageSize == kIdentityPage);

struct Fit {
    std::size_t written = 0;
    std::size_t other = 0;
    std::size_t otherPage = 0;
};

Fit fitOf(const PendingSave &save, const ConfigRecord::Block &asRead) {
    Fit fit;
    const std::size_t pages = blockLength(save.variant) / kPageSize;
    for (std::size_t i = 0; i < pages; ++i) {
        const auto from = static_cast<std::ptrdiff_t>(i * kPageSize);
        const auto to = from + static_cast<std::ptrdiff_t>(kPageSize);
        const auto read = asRead.begin() + from;
        if (std::equal(save.block.begin() + from, save.block.begin() + to, read)) {
            ++fit.written;
        } else if (!std::equal(save.before.begin() + from, save.before.begin() + to, read)) {
            ++fit.other;
            fit.otherPage = i;
        }
    }
    return fit;
}

// Only the page being written when the write was cut may hold neither.
bool fits(const Fit &fit) { return fit.other <= 1; }

bool complete(const Fit &fit, DeviceVariant variant) { return fit.written == blockLength(variant) / kPageSize; }

// No record under the identity read: if that identity is itself torn, the
// one record the other pages fit is the accessory's. Two that fit are
// ambiguous, and neither is used.
bool findByOtherPages(PendingSaveStore &store, DeviceVariant variant, const ConfigRecord::Block &asRead,
                      PendingSave &out) {
    std::size_t found = 0;
    for (const PendingSave &save : store.readAll()) {
        if (save.variant != variant) continue;
        const Fit fit = fitOf(save, asRead);
        if (fit.other == 1 && fit.otherPage == kIdentityPage) {
            out = save;
            ++found;
        }
    }
    return found == 1;
}

}  // namespace

UnfinishedSaveCheck checkUnfinishedSave(PendingSaveStore &store, DeviceVariant variant,
                                        const ConfigRecord::Block &asRead) {
    const AccessoryKey key = accessoryKeyOf(asRead);
    UnfinishedSaveCheck check;
    switch (store.read(key, check.save)) {
    case PendingLookup::None:
        if (!findByOtherPages(store, variant, asRead, check.save)) return check;
        break;
    case PendingLookup::Unreadable:
        check.state = UnfinishedSave::Unreadable;
        return check;
    case PendingLookup::Damaged:
        store.remove(key);
        check.state = UnfinishedSave::Damaged;
        return check;
    case PendingLookup::Found:
        break;
    }
    // The same identity on another model is not the accessory the record was made for.
    if (check.save.variant != variant) {
        store.remove(check.save.key);
        check.state = UnfinishedSave::Damaged;
        return check;
    }
    const Fit fit = fitOf(check.save, asRead);
    if (complete(fit, variant)) {
        store.remove(check.save.key);
        check.state = UnfinishedSave::None;
        return check;
    }
    // Without the old block a save made since cannot be told from a cut
    // one: as the program that wrote the record did, any difference counts
    // as cut, and the user is told that only finishing is possible.
    if (check.save.knowsBefore && !fits(fit)) {
        store.remove(check.save.key);
        check.state = UnfinishedSave::Stale;
        return check;
    }
    check.state = UnfinishedSave::Differs;
    return check;
}

void adoptUnfinishedSave(CDeviceLink &link, const PendingSave &save, UnfinishedChoice choice) {
    const bool finish = choice == UnfinishedChoice::Finish;
    if (!finish && !save.knowsBefore) {
        // Nothing to go back to: the pages are kept as they are, and the
        // write of them ends the record.
        const ConfigRecord::Block asRead = link.record.readCopy();
        link.record.adoptBlock(std::span<const std::uint8_t>(asRead.data(), blockLength(save.variant)));
        link.writeBaseline = asRead;
        return;
    }
    const ConfigRecord::Block &chosen = finish ? save.block : save.before;
    const std::size_t length = blockLength(save.variant);
    link.record.adoptBlock(std::span<const std::uint8_t>(chosen.data(), length));
    link.writeBaseline = finish ? save.before : save.block;
}

int settleUnfinishedSave(CDeviceLink &link, const PendingSave &save, UnfinishedChoice choice,
                         ProgressSink &progress) {
    adoptUnfinishedSave(link, save, choice);
    const int result = writeConfiguration(link, progress);
    if (result == ZELO_OK) {
        link.record.confirmCommit();
        link.record.acceptRead();
    } else {
        link.record.revertCommit();
    }
    return result;
}

}  // namespace zelo::device
