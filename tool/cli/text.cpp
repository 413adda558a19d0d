#include "text.h"

#include "catalogue.h"
#include "utc_time.h"
#include "utf8.h"

namespace zelo::cli {

std::string utf8Of(std::wstring_view text) { return i18n::narrowToUtf8(text); }

bool isUtf8(std::string_view text) {
    return i18n::isValidUtf8(std::u8string_view(reinterpret_cast<const char8_t *>(text.data()), text.size()));
}

std::string oneLine(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
            continue;
        }
        out.push_back(c);
    }
    return out;
}

std::string englishText(i18n::Msg id) { return oneLine(utf8Of(i18n::textIn(id, i18n::Column::English))); }

std::string utcText(std::int64_t unixSeconds) { return app::utcTimeText(unixSeconds, "%Y-%m-%d %H:%M:%S UTC"); }

}  // namespace zelo::cli
