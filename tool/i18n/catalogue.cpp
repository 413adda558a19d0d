#include "catalogue.h"

#include <array>
#include <cstddef>

#include "catalogue_table.h"
#include "utf8.h"

namespace zelo::i18n {
namespace {

using WideCatalogue = std::array<std::array<std::wstring, kColumnCount>, kMessageCount>;

WideCatalogue widenCatalogue() {
    WideCatalogue wide;
    for (std::size_t row = 0; row < kMessageCount; ++row) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            wide[row][column] = widenUtf8(catalogueCell(static_cast<Msg>(row), static_cast<Column>(column)));
        }
    }
    return wide;
}

// Built on first use; the initialisation of a function-local static is
// thread-safe and nothing writes to it afterwards.
const WideCatalogue &wideCatalogue() {
    static const WideCatalogue catalogue = widenCatalogue();
    return catalogue;
}

}  // namespace

const std::wstring &textIn(Msg id, Column column) {
    static const std::wstring empty;
    const auto row = static_cast<std::size_t>(id);
    const auto col = static_cast<std::size_t>(column);
    if (row >= kMessageCount || col >= kColumnCount) return empty;
    return wideCatalogue()[row][col];
}

const std::wstring &text(Msg id) { return textIn(id, textColumn()); }

std::wstring replacePlaceholder(Msg id, std::wstring_view marker, std::wstring_view replacement) {
    std::wstring result = text(id);
    if (marker.empty()) return result;
    const std::size_t at = result.find(marker);
    if (at != std::wstring::npos) result.replace(at, marker.size(), replacement);
    return result;
}

}  // namespace zelo::i18n
