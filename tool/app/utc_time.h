// Times in UTC as text, for the command line's output and the backup
// files' names alike.
#ifndef ZELO_APP_UTC_TIME_H
#define ZELO_APP_UTC_TIME_H

#include <cstdint>
#include <string>

namespace zelo::app {

// unixSeconds in UTC through strftime's format ("%Y%m%d-%H%M%S").
std::string utcTimeText(std::int64_t unixSeconds, const char *format);

}  // namespace zelo::app

#endif
