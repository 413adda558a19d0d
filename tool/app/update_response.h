// The update server's answer to the automatic check: three headers of its
// HTTP response say which version is current, whether to offer it, and an
// optional text for the offer.
#ifndef ZELO_APP_UPDATE_RESPONSE_H
#define ZELO_APP_UPDATE_RESPONSE_H

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelo::app {

// One receive of at most this many bytes is all the check reads.
inline constexpr std::size_t kResponseBufferSize = 10752;

inline constexpr std::string_view kVersionHeader = "X-QX-ver:";
inline constexpr std::string_view kUpdateHeader = "X-QX-update:";
inline constexpr std::string_view kTextHeader = "X-QX-text:";

// Longest values kept; longer ones are cut.
inline constexpr std::size_t kVersionValueLimit = 9;
inline constexpr std::size_t kUpdateValueLimit = 9;
inline constexpr std::size_t kTextValueLimit = 10239;

// The server writes line breaks of the offer text as this byte.
inline constexpr char kTextLineBreakByte = static_cast<char>(0xA7);
inline constexpr std::string_view kUpdateYes = "true";

struct UpdateOffer {
    std::string version;  // "X-QX-ver:"
    std::string update;   // "X-QX-update:"
    std::string text;     // "X-QX-text:", empty when the header is missing
};

// The received bytes are read as text up to the first NUL or their end,
// whichever comes first. Nothing when the version or update header is missing.
std::optional<UpdateOffer> parseUpdateResponse(std::span<const char> received);

// True when the update value is "true" in any case.
bool offersUpdate(const UpdateOffer &offer);

// The offer prompt from a catalogue format: its "%.2f" becomes the current
// version and its "%s" the latest one; "%%" stands for "%". Placeholders
// repeat in that order in every language, so they are filled as they come.
std::wstring fillOfferPrompt(std::wstring_view format, double currentVersion, std::wstring_view latestVersion);

}  // namespace zelo::app

#endif
