// A configuration write that an earlier run recorded and never completed,
// as the next connect finds it: the check after the configuration read,
// finishing the write, or keeping what the accessory holds.
#ifndef ZELO_DEVICE_UNFINISHED_SAVE_H
#define ZELO_DEVICE_UNFINISHED_SAVE_H

#include "pending_save.h"
#include "progress.h"

namespace zelo::device {

class CDeviceLink;

enum class UnfinishedSave {
    None,     // no record, or the accessory already holds what it names
    Differs,  // the accessory's pages are not what the write was to leave
    Damaged,  // a record was there but unusable; it has been dropped
};

struct UnfinishedSaveCheck {
    UnfinishedSave state = UnfinishedSave::None;
    PendingSave save;  // for Differs
};

// Compares the record for the block's device address with the pages just
// read (before anything else changes the read copy). A record the
// accessory already matches is dropped: that write did complete.
UnfinishedSaveCheck checkUnfinishedSave(PendingSaveStore &store, DeviceVariant variant,
                                        const ConfigRecord::Block &asRead);

// Makes the recorded block the read copy, revertable like a commit, so a
// following writeConfiguration puts it on the accessory.
void adoptUnfinishedSave(CDeviceLink &link, const PendingSave &save);

// adoptUnfinishedSave, then the write; the record goes once the write is
// verified. After a failure the read copy goes back to the accessory's and
// the record stays for the next connect.
int finishUnfinishedSave(CDeviceLink &link, const PendingSave &save, ProgressSink &progress);

// The user keeps the accessory's own settings: the record goes.
void keepAccessorySettings(PendingSaveStore &store, const PendingSave &save);

}  // namespace zelo::device

#endif
