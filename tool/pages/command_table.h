// The PS3 commands the accessory can send: one-byte codes, display names,
// the order of every command list and the two-byte form (CommandPair) that
// macros and the key map store. Pure data with lookups; nothing here fails.
#ifndef ZELO_PAGES_COMMAND_TABLE_H
#define ZELO_PAGES_COMMAND_TABLE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelo::pages {

using CommandCode = std::uint8_t;

inline constexpr CommandCode kCommandNone = 0xFF;
inline constexpr CommandCode kCommandDiscretePowerOn = 46;
inline constexpr CommandCode kCommandPs = 21;
inline constexpr CommandCode kCommandOkX = 0x5E;
inline constexpr CommandCode kCommandUp = 0x79;
inline constexpr CommandCode kCommandDown = 0x7A;
inline constexpr CommandCode kCommandPowerOffMacro = 107;
inline constexpr std::uint8_t kNoPosition = 0xFF;     // positionOf for unlisted codes
inline constexpr std::size_t kPairedCodeCount = 128;  // codes 0..127 may have a pair

struct CommandPair {
    std::uint8_t first = 0xFF;
    std::uint8_t second = 0xFF;
    friend bool operator==(const CommandPair &, const CommandPair &) = default;
};

inline constexpr CommandPair kNoCommandPair{0xFF, 0xFF};

// One row of the table; a row's index is its list position.
struct CommandInfo {
    CommandCode code;
    std::string_view name;
    CommandPair pair;
    bool controllerKey;
};

// An entry of one of the program's command lists.
struct CommandListEntry {
    CommandCode code;
    std::string_view name;
};

enum class CommandList : std::uint8_t {
    MacroStep,  // the keys and NONE, no macro references
    KeyMapIr,   // everything but NONE
    KeyMapPs3,  // every position
    IrTransmit  // every position, NONE's slot standing for "Discrete power on"
};

class CommandTable {
public:
    static std::size_t commandCount();
    // Position 0..commandCount()-1; a position beyond answers NONE.
    static CommandCode commandAt(std::size_t position);
    static std::uint8_t positionOf(CommandCode code);
    static std::string_view commandName(CommandCode code);
    static std::wstring commandNameText(CommandCode code);  // the name widened for the controls
    static CommandPair encodeCommand(CommandCode code);
    static std::optional<CommandCode> decodeCommand(CommandPair pair);
    static bool isControllerKey(CommandCode code);
    static std::span<const CommandInfo> rows();
};

inline constexpr std::size_t kCommandListLength = 62;
inline constexpr std::uint8_t kNonePosition = 51;

// The entries of a list, in order.
std::span<const CommandListEntry> commandList(CommandList list);
// Key mapping, IR side: the list position an index stands for (NONE is
// skipped), and back; nullopt for indexes or positions outside the list.
std::optional<std::size_t> keyMapIrPosition(std::size_t index);
std::optional<std::size_t> keyMapIrIndex(std::size_t position);
// The code a list index stands for; NONE for an index outside the list.
CommandCode commandOfListIndex(CommandList list, std::size_t index);

}  // namespace zelo::pages

#endif
