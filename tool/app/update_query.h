// The query that tells the maker's web server which software, firmware and
// accessory the user has. It is appended to the help and update page
// addresses and sent by the automatic update check.
#ifndef ZELO_APP_UPDATE_QUERY_H
#define ZELO_APP_UPDATE_QUERY_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config_record.h"
#include "language.h"
#include "version.h"

namespace zelo::device {
class CDeviceLink;
}

namespace zelo::app {

// The program's version as a number (SW_VER, the offer prompt; the minor
// part has two digits) and its build.
inline constexpr double kMinorVersionScale = 100.0;
inline constexpr double kSoftwareVersionNumber = ZELO_TOOL_VERSION_MAJOR + ZELO_TOOL_VERSION_MINOR / kMinorVersionScale;
inline constexpr std::string_view kSoftwareBuild = ZELO_TOOL_BUILD_TEXT;

inline constexpr std::string_view kHelpPagePath = "/help.asp";
inline constexpr std::string_view kUpdatePagePath = "/GetUpdates.asp";
inline constexpr std::string_view kAutomaticOriginSuffix = "&origin=autoupdate";

// The query is formatted into a buffer of this size, so it never holds more
// than one byte less; anything beyond is cut off.
inline constexpr std::size_t kQueryBufferSize = 1024;

enum class QueryOrigin : std::uint8_t {
    User,       // menu commands: the query as formatted
    Automatic,  // the automatic check: origin suffix, spaces as "+"
};

// Everything the query reports about the installation. Taken in one go on
// the user-interface thread, so a worker can use it without touching the
// device link or the catalogue.
struct QuerySubject {
    device::UpdateCheckData device;  // empty texts and zeros without a device link
    i18n::LanguageKey languageKey = i18n::kEnglishKey;  // LANG, in decimal
};

// The accessory fields come from the link's configuration record and
// version texts; a null link gives empty texts and zeros.
QuerySubject querySubject(const device::CDeviceLink *link, i18n::LanguageKey languageKey);

// "http://host/path"; empty when no host is configured.
std::string pageAddress(std::string_view host, std::string_view path);

std::string buildUpdateQuery(std::string_view pageAddress, const QuerySubject &subject, QueryOrigin origin);

}  // namespace zelo::app

#endif
