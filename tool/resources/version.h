// The program's version, shared by the version resource and the code
// (window title, update query). Plain #defines so the resource compiler
// can read it too.
#ifndef ZELO_TOOL_VERSION_H
#define ZELO_TOOL_VERSION_H

#define ZELO_TOOL_VERSION_MAJOR     1
#define ZELO_TOOL_VERSION_MINOR     29
#define ZELO_TOOL_BUILD             1007
#define ZELO_TOOL_VERSION_TEXT      "1.29"
#define ZELO_TOOL_BUILD_TEXT        "1007"
#define ZELO_TOOL_FILE_VERSION_TEXT "1.29.0.1007"
#define ZELO_TOOL_COMPANY_TEXT      "QX Electronics"

#ifndef RC_INVOKED
#include <string_view>

#define ZELO_TOOL_STRINGIFY_(x) #x
#define ZELO_TOOL_STRINGIFY(x) ZELO_TOOL_STRINGIFY_(x)
// The texts must spell the numbers.
static_assert(std::string_view(ZELO_TOOL_VERSION_TEXT) ==
              ZELO_TOOL_STRINGIFY(ZELO_TOOL_VERSION_MAJOR) "." ZELO_TOOL_STRINGIFY(ZELO_TOOL_VERSION_MINOR));
static_assert(std::string_view(ZELO_TOOL_BUILD_TEXT) == ZELO_TOOL_STRINGIFY(ZELO_TOOL_BUILD));
static_assert(std::string_view(ZELO_TOOL_FILE_VERSION_TEXT) ==
              ZELO_TOOL_VERSION_TEXT ".0." ZELO_TOOL_BUILD_TEXT);
#endif

#endif  // ZELO_TOOL_VERSION_H
