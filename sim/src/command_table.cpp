#include "command_table.h"

#include "zelo_sim/sim.h"

namespace zelo::sim::cmd {

namespace {

struct CommandShape {
    std::uint8_t code;
    std::size_t payload;
};

constexpr std::size_t kPairingBytes = 2;
constexpr std::size_t kPageNumberBytes = 1;

constexpr CommandShape kShapes[] = {
    {kFirmwareVersion, 0},
    {kLed, kLedStateLength},
    {kLoaderVersion, 0},
    {kModuleReset, 1},
    {kPairing, kPairingBytes},
    {kConfigWritten, 0},
    {kIrTransmit, kIrRecordLength},
    {kUartEnable, kUartSettingsLength},
    {kUartDisable, 0},
    {kRstHigh, 0},
    {kRstLow, 0},
    {kUartTransmit, kTransmitCountBytes},
    {kUartPoll, 0},
    {kPageCrc, kPageNumberBytes},
    {kPageWrite, kPageNumberBytes + kPageSize},
    {kPageRead, kPageNumberBytes},
    {kBootLeave, 0},
    {kBootStep, 1},
    {kBootEnter, 0},
    {kStartApplication, 1},
};

}  // namespace

std::optional<std::size_t> payloadLength(std::uint8_t code) {
    for (const CommandShape &shape : kShapes) {
        if (shape.code == code) return shape.payload;
    }
    return std::nullopt;
}

}  // namespace zelo::sim::cmd
