#include "update_query.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "device_link.h"

namespace zelo::app {

namespace {

constexpr std::string_view kHttpScheme = "http://";
constexpr char kQueryFormat[] =
    "%s?SW_VER=%.2f&SW_BUILD=%s&FW_VER=%s&LD_VER=%s&PRODUCT_TYPE=ZELO&LANG=%d&DEBUG=%s%s"
    "&SYS=%.8X%.8X%.8X%.8X%.8X";
constexpr unsigned kReservedSysWord = 0;  // SYS words 1 and 2
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr unsigned kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0x0F;
constexpr unsigned char kFirstPrintable = 0x21;
constexpr unsigned char kDelete = 0x7F;

// The version texts are the accessory's own bytes. Anything that could end
// the value, start another key or break the request line travels escaped;
// the digits and dots of a normal answer are unchanged.
bool travelsAsIs(unsigned char c) {
    if (c == ' ') return true;  // the automatic check turns it into "+"
    if (c < kFirstPrintable || c >= kDelete) return false;
    return std::string_view("%&#+=?").find(static_cast<char>(c)) == std::string_view::npos;
}

std::string queryValue(std::string_view raw) {
    std::string value;
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (travelsAsIs(c)) {
            value += ch;
        } else {
            value += '%';
            value += kHexDigits[c >> kNibbleBits];
            value += kHexDigits[c & kNibbleMask];
        }
    }
    return value;
}

template <std::size_t N>
std::string_view versionText(const char (&text)[N]) {
    return std::string_view(text, static_cast<std::size_t>(std::find(text, text + N, '\0') - text));
}

}  // namespace

QuerySubject querySubject(const device::CDeviceLink *link, i18n::LanguageKey languageKey) {
    QuerySubject subject;
    subject.languageKey = languageKey;
    if (link != nullptr) {
        subject.device = link->record.updateCheckData(versionText(link->firmwareVersion), versionText(link->ldVersion));
    }
    return subject;
}

std::string pageAddress(std::string_view host, std::string_view path) {
    if (host.empty()) return {};
    std::string address(kHttpScheme);
    address += host;
    address += path;
    return address;
}

std::string buildUpdateQuery(std::string_view pageAddress, const QuerySubject &subject, QueryOrigin origin) {
    const device::UpdateCheckData &device = subject.device;
    const std::string page(pageAddress);
    const std::string firmware = queryValue(device.firmwareVersion);
    const std::string loader = queryValue(device.ldVersion);
    std::array<char, kQueryBufferSize> buffer{};
    const int written =
        std::snprintf(buffer.data(), buffer.size(), kQueryFormat, page.c_str(), kSoftwareVersionNumber,
                      std::string(kSoftwareBuild).c_str(), firmware.c_str(), loader.c_str(),
                      static_cast<int>(subject.languageKey),
                      device.address.c_str(), device.addressLong.c_str(), kReservedSysWord, kReservedSysWord,
                      static_cast<unsigned>(device.deviceValue), static_cast<unsigned>(device.deviceValue),
                      static_cast<unsigned>(device.timeStamp));
    std::string query(buffer.data(), written < 0 ? 0 : std::strlen(buffer.data()));
    if (origin == QueryOrigin::Automatic) {
        const std::size_t room = kQueryBufferSize - 1 - query.size();
        query += kAutomaticOriginSuffix.substr(0, std::min(room, kAutomaticOriginSuffix.size()));
        std::replace(query.begin(), query.end(), ' ', '+');
    }
    return query;
}

}  // namespace zelo::app
