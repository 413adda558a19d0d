// A configuration write that an earlier run recorded and never completed,
// as the next connect finds it: the check after the configuration read, and
// settling it as the user chooses, by finishing the write or by going back
// to what the accessory held before it.
#ifndef ZELO_DEVICE_UNFINISHED_SAVE_H
#define ZELO_DEVICE_UNFINISHED_SAVE_H

#include "pending_save.h"
#include "progress.h"

namespace zelo::device {

class CDeviceLink;

enum class UnfinishedSave {
    None,        // no record, or the accessory already holds what it names
    Differs,     // cut short: every page as before or as written, but one that may be torn
    Damaged,     // a record was there but unusable; it has been dropped
    Stale,       // the accessory was changed since (saved elsewhere); the record has been dropped
    Unreadable,  // a record is there that cannot be read now or is a newer program's; left alone
};

enum class UnfinishedChoice {
    Finish,  // write the settings the cut-short save was writing
    GoBack,  // write back the settings the accessory held before it
};

struct UnfinishedSaveCheck {
    UnfinishedSave state = UnfinishedSave::None;
    PendingSave save;  // for Differs
};

// Compares the record for the accessory with the pages just read (before
// anything else changes the read copy), page by page. A record the
// accessory already matches is dropped: that write did complete. One that
// the pages do not fit (more than the one page being written when it was
// cut differs from both the old and the new block) is out of date and
// dropped too, so old settings never overwrite newer ones (a record of the
// earlier version, without the old block, cannot tell and is kept). An
// accessory whose identity page is the torn one is matched with the one
// record that fits it.
UnfinishedSaveCheck checkUnfinishedSave(PendingSaveStore &store, DeviceVariant variant,
                                        const ConfigRecord::Block &asRead);

// Makes the chosen block the read copy, revertable like a commit, so a
// following writeConfiguration puts it on the accessory; the record of that
// write keeps the other block as the pages' old contents, so a second cut
// can still be settled either way. Going back on a record without the old
// block (save.knowsBefore false) keeps the pages as read.
void adoptUnfinishedSave(CDeviceLink &link, const PendingSave &save, UnfinishedChoice choice);

// adoptUnfinishedSave, then the write; the record goes once the write is
// verified. After a failure the read copy goes back to the accessory's and
// the record stays for the next connect.
int settleUnfinishedSave(CDeviceLink &link, const PendingSave &save, UnfinishedChoice choice,
                         ProgressSink &progress);
inline int finishUnfinishedSave(CDeviceLink &link, const PendingSave &save, ProgressSink &progress) {
    return settleUnfinishedSave(link, save, UnfinishedChoice::Finish, progress);
}

}  // namespace zelo::device

#endif
