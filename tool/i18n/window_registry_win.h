// Inside the text code: running a dialog's hook.
#ifndef ZELO_I18N_WINDOW_REGISTRY_WIN_H
#define ZELO_I18N_WINDOW_REGISTRY_WIN_H

#include "texts_win.h"

namespace zelo::i18n {

void runTextHook(int dialogId, HWND window);

}  // namespace zelo::i18n

#endif
