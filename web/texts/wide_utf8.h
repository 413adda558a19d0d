// Wide text as UTF-8, for the page's JSON and generated modules.
#ifndef ZELO_WEB_WIDE_UTF8_H
#define ZELO_WEB_WIDE_UTF8_H

#include <string>
#include <string_view>

namespace zelo::web {

// wchar_t holds code points where it has 32 bits (WebAssembly, Linux).
std::string utf8Of(std::wstring_view text);

}  // namespace zelo::web

#endif
