#include "program_texts.h"

#include "catalogue.h"
#include "messages.h"

namespace zelo::runner {

namespace {

// The product name that opens every connected status text; the text of a
// disconnected program never starts with it.
constexpr std::wstring_view kProductName = L"ZE\u00B7LO";

template <typename Match>
bool anyLanguage(i18n::Msg id, Match match) {
    for (std::size_t column = 0; column < i18n::kColumnCount; ++column) {
        if (match(i18n::textIn(id, static_cast<i18n::Column>(column)))) return true;
    }
    return false;
}

}  // namespace

bool showsConnection(std::wstring_view statusText) {
    if (!statusText.starts_with(kProductName)) return false;
    const std::wstring_view rest = statusText.substr(kProductName.size());
    return anyLanguage(i18n::Msg::Connected,
                       [rest](const std::wstring &connected) { return rest.find(connected) != std::wstring_view::npos; });
}

bool showsDisconnection(std::wstring_view statusText) {
    return anyLanguage(i18n::Msg::Disconnected,
                       [statusText](const std::wstring &disconnected) { return statusText == disconnected; });
}

bool isLanguageDialogTitle(std::wstring_view title) {
    return anyLanguage(i18n::Msg::Language, [title](const std::wstring &language) { return title == language; });
}

}  // namespace zelo::runner
