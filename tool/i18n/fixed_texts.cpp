#include "fixed_texts.h"

#include <cstddef>

namespace zelo::i18n {
namespace {

constexpr std::wstring_view kStringSlot = L"%s";
constexpr std::size_t kYearLength = 4;
constexpr std::string_view kBuildDate = __DATE__;

}  // namespace

std::wstring fillStrings(std::wstring_view format, std::initializer_list<std::wstring_view> values) {
    std::wstring out;
    auto value = values.begin();
    std::size_t pos = 0;
    while (pos < format.size() && value != values.end()) {
        const std::size_t slot = format.find(kStringSlot, pos);
        if (slot == std::wstring_view::npos) break;
        out.append(format.substr(pos, slot - pos));
        out.append(*value++);
        pos = slot + kStringSlot.size();
    }
    out.append(format.substr(pos));
    return out;
}

std::wstring buildYearOf(std::string_view buildDate) {
    if (buildDate.size() < kYearLength) return {};
    const std::string_view year = buildDate.substr(buildDate.size() - kYearLength);
    // Compiler date texts are ASCII.
    return std::wstring(year.begin(), year.end());
}

std::wstring buildYear() { return buildYearOf(kBuildDate); }

}  // namespace zelo::i18n
