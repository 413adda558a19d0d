#include "unfinished_save.h"

#include <algorithm>

#include "device_link.h"
#include "protocol.h"

namespace zelo::device {

UnfinishedSaveCheck checkUnfinishedSave(PendingSaveStore &store, DeviceVariant variant,
                                        const ConfigRecord::Block &asRead) {
    const DeviceAddress address = deviceAddressOf(asRead);
    UnfinishedSaveCheck check;
    switch (store.read(address, check.save)) {
    case PendingLookup::None:
        return check;
    case PendingLookup::Damaged:
        store.remove(address);
        check.state = UnfinishedSave::Damaged;
        return check;
    case PendingLookup::Found:
        break;
    }
    // The same address on another model is not the accessory the record was made for.
    if (check.save.variant != variant) {
        store.remove(address);
        check.state = UnfinishedSave::Damaged;
        return check;
    }
    const auto length = static_cast<std::ptrdiff_t>(blockLength(variant));
    if (std::equal(asRead.begin(), asRead.begin() + length, check.save.block.begin())) {
        store.remove(address);
        return check;
    }
    check.state = UnfinishedSave::Differs;
    return check;
}

void adoptUnfinishedSave(CDeviceLink &link, const PendingSave &save) {
    const std::size_t length = blockLength(save.variant);
    link.record.adoptBlock(std::span<const std::uint8_t>(save.block.data(), length));
}

int finishUnfinishedSave(CDeviceLink &link, const PendingSave &save, ProgressSink &progress) {
    adoptUnfinishedSave(link, save);
    const int result = writeConfiguration(link, progress);
    if (result == ZELO_OK) {
        link.record.confirmCommit();
        link.record.acceptRead();
    } else {
        link.record.revertCommit();
    }
    return result;
}

void keepAccessorySettings(PendingSaveStore &store, const PendingSave &save) { store.remove(save.address); }

}  // namespace zelo::device
