#include "config_session.h"

#include "zelo.h"

namespace zelo::app {

using device::DeviceVariant;

DeviceVariant hardwareVariant(const device::CDeviceLink *link) {
    return link != nullptr ? link->variant() : DeviceVariant::Other;
}

void storePages(device::CDeviceLink *link, const PageSet &pages) {
    if (link == nullptr) return;
    pages.storeAll(link->record.workingCopy(), hardwareVariant(link));
}

bool exitNeedsSaveQuestion(device::CDeviceLink *link, const PageSet &pages) {
    if (link == nullptr || !link->isConnected()) return false;
    storePages(link, pages);
    return link->record.hasUnsavedChanges();
}

void prepareSave(device::CDeviceLink *link, const PageSet &pages) {
    if (link == nullptr) return;
    storePages(link, pages);
    link->record.commitEdits();
}

bool finishSave(device::CDeviceLink *link, int result) {
    if (link != nullptr) {
        if (result == ZELO_OK) {
            link->record.confirmCommit();
        } else {
            link->record.revertCommit();
        }
    }
    return result == ZELO_OK;
}

bool refreshPages(device::CDeviceLink *link, const PageSet &pages) {
    const DeviceVariant variant = hardwareVariant(link);
    if (variant != DeviceVariant::Standard && variant != DeviceVariant::X) return false;
    // A connect that failed part-way has closed the link and left a partly
    // read copy: it is neither shown nor offered for saving.
    if (!link->isConnected() || !link->record.readValid()) return false;
    link->record.acceptRead();
    pages.loadAll(link->record.workingCopy(), variant);
    pages.storeAll(link->record.workingCopy(), variant);
    return true;
}

bool restoreDefaults(device::CDeviceLink *link) {
    if (link == nullptr || link->record.defaultsBlock().empty()) return false;
    link->record.restoreDefaults();
    return true;
}

}  // namespace zelo::app
