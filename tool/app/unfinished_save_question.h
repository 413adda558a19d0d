// The question about a save an unplug cut short, in the program's windows
// and the page alike. A record of an earlier version holds no settings
// from before that save, so there No keeps the settings as they are.
#pragma once

#include "messages.h"
#include "pending_save.h"

namespace zelo::app {

inline i18n::Msg unfinishedSaveQuestion(const device::PendingSave &save) {
    return save.knowsBefore ? i18n::Msg::UnfinishedSave : i18n::Msg::UnfinishedSaveEarlier;
}

}  // namespace zelo::app
