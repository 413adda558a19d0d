// Turns the accessory's firmware version text into version x 1000.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelo {

// "1.24" -> 1240: the text (at most four characters) with a decimal
// exponent of 2 appended is read as a number, narrowed to single
// precision, multiplied by 10 and truncated. Text that does not begin with
// a number gives 0. Independent of the C locale.
std::int32_t versionNumber(std::string_view text);

}  // namespace zelo
