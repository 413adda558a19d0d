#include "module_path.h"

namespace zelo::maintenance {

std::wstring fileNameOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring shortenedModulePath(std::wstring_view path) {
    if (path.size() < kShortenPathFrom) return std::wstring(path);
    std::wstring shown(path.substr(0, kShortenedPrefixLength));
    shown += kShortenedMarker;
    shown += fileNameOf(path);
    return shown;
}

std::wstring modulesFolderBeside(std::wstring_view exePath) {
    const std::size_t slash = exePath.find_last_of(L'\\');
    std::wstring folder(slash == std::wstring_view::npos ? std::wstring_view{} : exePath.substr(0, slash + 1));
    folder += kModulesFolderName;
    return folder;
}

}  // namespace zelo::maintenance
