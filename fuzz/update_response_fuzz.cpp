// libFuzzer target for the update check's answer: whatever the server or
// anything in between sends, the parse stays within the receive, keeps
// each value within its limit and on its own line, and an offer is made
// only for "true". Any broken invariant traps.
#include "update_response.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace {

using namespace zelo::app;

constexpr double kCurrentVersion = 1.29;
constexpr std::wstring_view kPromptFormat = L"%.2f %s";

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool oneLine(const std::string &value)
{
    return value.find('\n') == std::string::npos;
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void checkOffer(std::string_view text, const UpdateOffer &offer)
{
    require(offer.version.size() <= kVersionValueLimit && oneLine(offer.version));
    require(offer.update.size() <= kUpdateValueLimit && oneLine(offer.update));
    require(offer.text.size() <= kTextValueLimit);
    require(offer.text.find(kTextLineBreakByte) == std::string::npos);
    if (text.find(kTextHeader) == std::string_view::npos)
        require(offer.text.empty());

    std::string update = offer.update;
    std::transform(update.begin(), update.end(), update.begin(), lower);
    require(offersUpdate(offer) == (update == kUpdateYes));

    // The latest version reaches the prompt as it came, whatever it holds.
    const std::wstring latest(offer.version.begin(), offer.version.end());
    const std::wstring prompt = fillOfferPrompt(kPromptFormat, kCurrentVersion, latest);
    require(prompt.ends_with(latest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const char> received(reinterpret_cast<const char *>(data), size);
    const auto offer = parseUpdateResponse(received);

    // Only the text before the first NUL counts.
    const auto nul = std::find(received.begin(), received.end(), '\0');
    const std::string_view text(received.data(), static_cast<std::size_t>(nul - received.begin()));
    const bool headers = text.find(kVersionHeader) != std::string_view::npos &&
                         text.find(kUpdateHeader) != std::string_view::npos;
    require(offer.has_value() == headers);
    if (offer) {
        checkOffer(text, *offer);
        const auto prefix = parseUpdateResponse(std::span(text.data(), text.size()));
        require(prefix && prefix->version == offer->version && prefix->update == offer->update &&
                prefix->text == offer->text);
    }
    return 0;
}
