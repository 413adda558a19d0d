#include "update_response.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zelo::app {

namespace {

constexpr std::wstring_view kNumberPlaceholder = L"%.2f";
constexpr std::wstring_view kTextPlaceholder = L"%s";
constexpr std::wstring_view kEscapedPercent = L"%%";
constexpr std::size_t kNumberTextSize = 32;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The value runs from after the colon and one blank up to the line end,
// without a carriage return before the line feed. A value that reaches the
// end of the text without a line feed ends there.
std::optional<std::string> headerValue(std::string_view text, std::string_view header, std::size_t limit) {
    const std::size_t at = text.find(header);
    if (at == std::string_view::npos) return std::nullopt;
    std::size_t start = at + header.size();
    if (start < text.size() && isBlank(text[start])) ++start;
    std::size_t end = std::min(text.find('\n', start), text.size());
    if (end > start && text[end - 1] == '\r') --end;
    return std::string(text.substr(start, std::min(end - start, limit)));
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::wstring numberText(double value) {
    std::array<char, kNumberTextSize> digits{};
    std::snprintf(digits.data(), digits.size(), "%.2f", value);
    return std::wstring(digits.data(), std::find(digits.begin(), digits.end(), '\0'));
}

}  // namespace

std::optional<UpdateOffer> parseUpdateResponse(std::span<const char> received) {
    const auto nul = std::find(received.begin(), received.end(), '\0');
    const std::string_view text(received.data(), static_cast<std::size_t>(nul - received.begin()));
    std::optional<std::string> version = headerValue(text, kVersionHeader, kVersionValueLimit);
    std::optional<std::string> update = headerValue(text, kUpdateHeader, kUpdateValueLimit);
    if (!version || !update) return std::nullopt;
    UpdateOffer offer{std::move(*version), std::move(*update), {}};
    if (std::optional<std::string> body = headerValue(text, kTextHeader, kTextValueLimit)) {
        offer.text = std::move(*body);
        std::replace(offer.text.begin(), offer.text.end(), kTextLineBreakByte, '\n');
    }
    return offer;
}

bool offersUpdate(const UpdateOffer &offer) {
    return std::equal(offer.update.begin(), offer.update.end(), kUpdateYes.begin(), kUpdateYes.end(),
                      [](char a, char b) { return lowerAscii(a) == b; });
}

std::wstring fillOfferPrompt(std::wstring_view format, double currentVersion, std::wstring_view latestVersion) {
    std::wstring prompt;
    std::size_t i = 0;
    while (i < format.size()) {
        const std::wstring_view rest = format.substr(i);
        if (rest.starts_with(kNumberPlaceholder)) {
            prompt += numberText(currentVersion);
            i += kNumberPlaceholder.size();
        } else if (rest.starts_with(kTextPlaceholder)) {
            prompt += latestVersion;
            i += kTextPlaceholder.size();
        } else if (rest.starts_with(kEscapedPercent)) {
            prompt += L'%';
            i += kEscapedPercent.size();
        } else {
            prompt += format[i++];
        }
    }
    return prompt;
}

}  // namespace zelo::app
