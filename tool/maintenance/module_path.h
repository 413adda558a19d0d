// Where module files live and how the chosen one is shown: the page's path
// field is narrow, so long paths keep their drive and file name only.
#ifndef ZELO_MAINTENANCE_MODULE_PATH_H
#define ZELO_MAINTENANCE_MODULE_PATH_H

#include <cstddef>
#include <string>
#include <string_view>

namespace zelo::maintenance {

// Paths of this many characters or more are shortened.
inline constexpr std::size_t kShortenPathFrom = 30;
// What a shortened path keeps of its beginning ("C:\").
inline constexpr std::size_t kShortenedPrefixLength = 3;
inline constexpr std::wstring_view kShortenedMarker = L"...\\";
inline constexpr std::wstring_view kModulesFolderName = L"modules";

// The file name: everything after the last backslash.
std::wstring fileNameOf(std::wstring_view path);
// The path as the page shows it.
std::wstring shortenedModulePath(std::wstring_view path);
// The "modules" folder beside the program whose executable is exePath.
std::wstring modulesFolderBeside(std::wstring_view exePath);

}  // namespace zelo::maintenance

#endif
