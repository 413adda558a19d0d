// The part of the PS3 command table that the default configuration needs:
// the two-byte form of every command code below 128, which commands are
// controller keys, and the codes the default power-off macro uses. The
// program's own command table lives with the pages; this copy only feeds
// the generator's default blocks.
#ifndef ZELO_IMAGEGEN_PS3_COMMAND_PAIRS_H
#define ZELO_IMAGEGEN_PS3_COMMAND_PAIRS_H

#include <array>
#include <cstdint>

namespace zelo::imagegen {

struct Ps3CommandPair {
    std::uint8_t code;
    std::uint8_t first;
    std::uint8_t second;
    bool controllerKey;
};

// In the program's list order. Codes below 128 that are not here have no pair.
inline constexpr std::array<Ps3CommandPair, 61> kPs3CommandPairs{{
    {0x00, 0x01, 0x00, false},  // NUM1
    {0x01, 0x02, 0x00, false},  // NUM2
    {0x02, 0x03, 0x00, false},  // NUM3
    {0x03, 0x00, 0x01, false},  // NUM4
    {0x04, 0x01, 0x01, false},  // NUM5
    {0x05, 0x02, 0x01, false},  // NUM6
    {0x06, 0x04, 0x01, false},  // NUM7
    {0x07, 0x00, 0x02, false},  // NUM8
    {0x08, 0x01, 0x02, false},  // NUM9
    {0x09, 0x04, 0x02, false},  // NUM0
    {0x0B, 0x07, 0x02, false},  // ENTER
    {0x0E, 0x03, 0x04, false},  // RETURN
    {0x0F, 0x03, 0x02, false},  // CLEAR
    {0x15, 0x0A, 0x05, true},   // PS
    {0x16, 0x00, 0x00, true},   // EJECT
    {0x1A, 0x01, 0x04, false},  // TOPMENU
    {0x1B, 0x02, 0x04, false},  // MENU
    {0x1F, 0x03, 0x03, false},  // GREEN
    {0x28, 0x00, 0x03, false},  // TIME
    {0x2A, 0x04, 0x03, false},  // YELLOW
    {0x2C, 0x01, 0x03, false},  // BLUE
    {0x30, 0x03, 0x05, false},  // PREV
    {0x31, 0x00, 0x06, false},  // NEXT
    {0x32, 0x00, 0x05, false},  // PLAY
    {0x33, 0x04, 0x04, false},  // FASTRWD
    {0x34, 0x01, 0x05, false},  // FASTFWD
    {0x35, 0x02, 0x03, false},  // RED
    {0x38, 0x04, 0x05, false},  // STOP
    {0x39, 0x02, 0x06, false},  // PAUSE
    {0x5E, 0x09, 0x04, true},   // OK/X
    {0x51, 0x02, 0x05, true},   // L3
    {0x52, 0x04, 0x07, true},   // R3
    {0x53, 0x0C, 0x07, true},   // START
    {0x58, 0x0B, 0x06, true},   // L2
    {0x59, 0x13, 0x06, true},   // R2
    {0x5A, 0x11, 0x04, true},   // L1
    {0x5B, 0x12, 0x05, true},   // R1
    {0x5C, 0x05, 0x00, true},   // OPTIONS/TRIANGLE
    {0x5D, 0x06, 0x01, true},   // BACK/CIRCLE
    {0x5F, 0x08, 0x03, true},   // VIEW/SQUARE
    {0x60, 0x01, 0x06, false},  // SLOWRWD
    {0x61, 0x04, 0x06, false},  // SLOWFWD
    {0x63, 0x02, 0x02, false},  // SUBTITLE
    {0x64, 0x04, 0x00, false},  // AUDIO
    {0x65, 0x03, 0x01, false},  // ANGLE
    {0x54, 0x00, 0x04, false},  // DISPLAY
    {0x79, 0x0D, 0x00, false},  // UP
    {0x7A, 0x10, 0x03, false},  // DOWN
    {0x7B, 0x0E, 0x01, false},  // LEFT
    {0x7C, 0x0F, 0x02, false},  // RIGHT
    {0x50, 0x03, 0x06, true},   // SELECT
    {0x6B, 0xFE, 0xC8, true},   // Poweroff macro
    {0x6C, 0xFE, 0xC9, true},   // Custom macro 1
    {0x6D, 0xFE, 0xCA, true},   // Custom macro 2
    {0x6E, 0xFE, 0xCB, true},   // Custom macro 3
    {0x6F, 0xFE, 0xCC, true},   // Custom macro 4
    {0x70, 0xFE, 0xCD, true},   // Custom macro 5
    {0x71, 0xFE, 0xCE, true},   // Custom macro 6
    {0x72, 0xFE, 0xCF, true},   // Custom macro 7
    {0x73, 0xFE, 0xD0, true},   // Custom macro 8
    {0x74, 0xFE, 0xD1, true},   // Custom macro 9
}};

// Commands of the default power-off macro.
inline constexpr std::uint8_t kPs3CodePs = 0x15;
inline constexpr std::uint8_t kPs3CodeUp = 0x79;
inline constexpr std::uint8_t kPs3CodeDown = 0x7A;
inline constexpr std::uint8_t kPs3CodeOkX = 0x5E;

// Fixed entries of the default key map that differ from "IR code c sends
// command c": IR code 23 sends EJECT's pair, IR code 47 runs the power-off macro.
inline constexpr std::uint8_t kIrCodeEjectAlias = 23;
inline constexpr std::uint8_t kPs3CodeEject = 0x16;
inline constexpr std::uint8_t kIrCodePowerOffMacro = 47;
inline constexpr std::uint8_t kPs3CodePowerOffMacro = 0x6B;

constexpr const Ps3CommandPair *findPs3Command(std::uint8_t code) {
    for (const Ps3CommandPair &entry : kPs3CommandPairs)
        if (entry.code == code) return &entry;
    return nullptr;
}

}  // namespace zelo::imagegen

#endif
