// Version texts that the generated data carries.
#ifndef ZELO_IMAGEGEN_VERSIONS_H
#define ZELO_IMAGEGEN_VERSIONS_H

#include <string_view>

namespace zelo::imagegen {

inline constexpr std::string_view kLayoutVersionStandard = "1.19";
inline constexpr std::string_view kLayoutVersionX = "2.04";
inline constexpr std::string_view kImageAVersion = "1.24";
inline constexpr std::string_view kImageBVersion = "2.06";
// What image A's firmware answers to command 0x01: the highest standard
// firmware the program accepts. Image B answers with kImageBVersion.
inline constexpr std::string_view kImageAFirmwareText = "1.19";

}  // namespace zelo::imagegen

#endif
