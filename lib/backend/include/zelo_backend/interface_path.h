// The device instance ID a device interface path carries: the path is
// "\\?\" + the instance ID with '#' for '\' + "#{interface class}", so
// "\\?\hid#vid_3a71&pid_0009#0&zelosim0&0&0#{…}" carries
// "hid\vid_3a71&pid_0009\0&zelosim0&0&0", which starts with the device's
// hardware ID. A removal notification's device is gone before the window
// hears of it (Wine removes its node), so only its path is left to tell
// whose removal it was. Both character widths: the library's notifications
// are 8-bit, the program's UTF-16.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace zelo::hid {

// The instance ID, or empty for text that is not a whole interface path.
template <typename Char>
std::basic_string<Char> instanceIdOfInterfacePath(std::basic_string_view<Char> path) {
    constexpr Char kStart[] = {'\\', '\\', '?', '\\'};
    constexpr Char kClassStart[] = {'#', '{'};
    constexpr std::size_t kClassIdLength = 38;  // "{8-4-4-4-12}"
    const std::basic_string_view<Char> start(kStart, std::size(kStart));
    if (!path.starts_with(start)) return {};
    path.remove_prefix(start.size());
    // A whole path ends in its interface class; a cut one names nothing.
    const std::size_t classStart = path.rfind(std::basic_string_view<Char>(kClassStart, std::size(kClassStart)));
    if (classStart == std::basic_string_view<Char>::npos || path.size() - classStart - 1 != kClassIdLength ||
        path.back() != Char('}')) {
        return {};
    }
    std::basic_string<Char> id(path.substr(0, classStart));
    std::replace(id.begin(), id.end(), Char('#'), Char('\\'));
    return id;
}

}  // namespace zelo::hid
