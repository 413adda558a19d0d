// The library's status codes and the accessory commands it sends, pinned
// against listings written out here.
#include <gtest/gtest.h>

#include <cstdint>

#include "command_codes.h"
#include "constants.h"
#include "zelo.h"

namespace zelo {
namespace {

struct Pinned {
    std::uint32_t actual;
    std::uint32_t listed;
    const char *what;
};

TEST(Codes, StatusCodes) {
    const Pinned kStatus[] = {
        {ZELO_OK, 0, "success"},
        {ZELO_HANDLE_NOT_FOUND, 1, "handle not found"},
        {ZELO_TRANSFER_FAILED, 1, "transfer failed"},
        {ZELO_OUT_OF_RANGE, 6, "argument out of range"},
        {ZELO_NO_SUCH_DEVICE, 255, "no such accessory"},
    };
    for (const Pinned &code : kStatus) EXPECT_EQ(code.actual, code.listed) << code.what;
}

TEST(Codes, AccessoryCommands) {
    const Pinned kCommands[] = {
        {cmd::kReadVersion, 0x01, "read firmware version"},  {cmd::kVersionAnswer, 4, "version answer"},
        {cmd::kSetLed, 0x04, "set LED state"},               {cmd::kLedPayload, 8, "LED payload"},
        {cmd::kUartEnable, 0x49, "enable the UART"},         {cmd::kUartEnablePayload, 4, "enable payload"},
        {cmd::kUartEnableControl, 0xC3, "enable control"},   {cmd::kUartDisable, 0x4A, "disable the UART"},
        {cmd::kRstHigh, 0x52, "RST line 1"},                 {cmd::kRstLow, 0x53, "RST line 0"},
        {cmd::kUartTransmit, 0x55, "transmit on the UART"},  {kUartChunk, 255, "bytes per transmit"},
        {cmd::kUartPoll, 0x56, "poll the UART"},             {cmd::kPollHeaderAnswer, 2, "poll header"},
        {cmd::kPageCrc, 0x57, "read a page's CRC"},          {cmd::kCrcAnswer, 2, "CRC answer"},
        {cmd::kPageWrite, 0x58, "write a flash page"},
    };
    for (const Pinned &code : kCommands) EXPECT_EQ(code.actual, code.listed) << code.what;
}

}  // namespace
}  // namespace zelo
