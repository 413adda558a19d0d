// What the main window's Save, exit question, page refresh and Restore
// default settings do with the two configuration copies and the pages,
// apart from the windows: the window layer adds the questions, the worker
// and the Save button. A null link (none created, or discarded after a
// refused accessory) makes every step a no-op.
#ifndef ZELO_APP_CONFIG_SESSION_H
#define ZELO_APP_CONFIG_SESSION_H

#include "device_link.h"
#include "page.h"

namespace zelo::app {

// The variant the pages are laid out for: the link's, also after the
// accessory was pulled out; other without a link.
device::DeviceVariant hardwareVariant(const device::CDeviceLink *link);

// The pages store their controls into the working copy.
void storePages(device::CDeviceLink *link, const PageSet &pages);

// Exit: true when the connected accessory's configuration has changes the
// user should be asked about. Stores the pages first.
bool exitNeedsSaveQuestion(device::CDeviceLink *link, const PageSet &pages);

// Save, before the SaveConfiguration task starts: store the pages and make
// the working copy the read copy.
void prepareSave(device::CDeviceLink *link, const PageSet &pages);

// The save result: after a failure the read copy goes back to what the
// accessory still holds, so the edits keep counting as unsaved and a later
// exit asks again; after success the commit stands. True on success.
bool finishSave(device::CDeviceLink *link, int result);

// Page refresh after a connect or a restore: for the standard and X model
// the working copy becomes the read copy, the pages load it and store it
// straight back. True when the pages were loaded (Save is then enabled).
bool refreshPages(device::CDeviceLink *link, const PageSet &pages);

// Restore default settings, the copy part: false when the connected
// variant has no defaults block and nothing was changed.
bool restoreDefaults(device::CDeviceLink *link);

}  // namespace zelo::app

#endif
