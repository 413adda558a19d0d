// A picture of a window, frame included, as a 24-bit BMP file.
#ifndef ZELO_RUNNER_WINDOW_PICTURE_H
#define ZELO_RUNNER_WINDOW_PICTURE_H

#include <windows.h>

#include <string>

namespace zelo::runner {

bool saveWindowPicture(HWND window, const std::wstring &path);

}  // namespace zelo::runner

#endif
