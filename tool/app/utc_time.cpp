#include "utc_time.h"

#include <array>
#include <ctime>

namespace zelo::app {

std::string utcTimeText(std::int64_t unixSeconds, const char *format) {
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &time);
#else
    gmtime_r(&time, &utc);
#endif
    std::array<char, 64> text{};
    std::strftime(text.data(), text.size(), format, &utc);
    return text.data();
}

}  // namespace zelo::app
