#include "command_table.h"

namespace zelo::pages {
namespace {

constexpr std::uint8_t kMacroPairFirst = 0xFE;
constexpr std::uint8_t kMacroPairBase = 0xC8;

constexpr CommandPair macroPair(std::uint8_t macro) {
    return CommandPair{kMacroPairFirst, static_cast<std::uint8_t>(kMacroPairBase + macro)};
}

// The one table: list position, code, name, pair, controller key.
constexpr std::array<CommandInfo, kCommandListLength> kCommands{{
    {0x00, "NUM1", {0x01, 0x00}, false},
    {0x01, "NUM2", {0x02, 0x00}, false},
    {0x02, "NUM3", {0x03, 0x00}, false},
    {0x03, "NUM4", {0x00, 0x01}, false},
    {0x04, "NUM5", {0x01, 0x01}, false},
    {0x05, "NUM6", {0x02, 0x01}, false},
    {0x06, "NUM7", {0x04, 0x01}, false},
    {0x07, "NUM8", {0x00, 0x02}, false},
    {0x08, "NUM9", {0x01, 0x02}, false},
    {0x09, "NUM0", {0x04, 0x02}, false},
    {0x0B, "ENTER", {0x07, 0x02}, false},
    {0x0E, "RETURN", {0x03, 0x04}, false},
    {0x0F, "CLEAR", {0x03, 0x02}, false},
    {0x15, "PS", {0x0A, 0x05}, true},
    {0x16, "EJECT", {0x00, 0x00}, true},
    {0x1A, "TOPMENU", {0x01, 0x04}, false},
    {0x1B, "MENU", {0x02, 0x04}, false},
    {0x1F, "GREEN", {0x03, 0x03}, false},
    {0x28, "TIME", {0x00, 0x03}, false},
    {0x2A, "YELLOW", {0x04, 0x03}, false},
    {0x2C, "BLUE", {0x01, 0x03}, false},
    {0x30, "PREV", {0x03, 0x05}, false},
    {0x31, "NEXT", {0x00, 0x06}, false},
    {0x32, "PLAY", {0x00, 0x05}, false},
    {0x33, "FASTRWD", {0x04, 0x04}, false},
    {0x34, "FASTFWD", {0x01, 0x05}, false},
    {0x35, "RED", {0x02, 0x03}, false},
    {0x38, "STOP", {0x04, 0x05}, false},
    {0x39, "PAUSE", {0x02, 0x06}, false},
    {0x5E, "OK/X", {0x09, 0x04}, true},
    {0x51, "L3", {0x02, 0x05}, true},
    {0x52, "R3", {0x04, 0x07}, true},
    {0x53, "START", {0x0C, 0x07}, true},
    {0x58, "L2", {0x0B, 0x06}, true},
    {0x59, "R2", {0x13, 0x06}, true},
    {0x5A, "L1", {0x11, 0x04}, true},
    {0x5B, "R1", {0x12, 0x05}, true},
    {0x5C, "OPTIONS/TRIANGLE", {0x05, 0x00}, true},
    {0x5D, "BACK/CIRCLE", {0x06, 0x01}, true},
    {0x5F, "VIEW/SQUARE", {0x08, 0x03}, true},
    {0x60, "SLOWRWD", {0x01, 0x06}, false},
    {0x61, "SLOWFWD", {0x04, 0x06}, false},
    {0x63, "SUBTITLE", {0x02, 0x02}, false},
    {0x64, "AUDIO", {0x04, 0x00}, false},
    {0x65, "ANGLE", {0x03, 0x01}, false},
    {0x54, "DISPLAY", {0x00, 0x04}, false},
    {0x79, "UP", {0x0D, 0x00}, false},
    {0x7A, "DOWN", {0x10, 0x03}, false},
    {0x7B, "LEFT", {0x0E, 0x01}, false},
    {0x7C, "RIGHT", {0x0F, 0x02}, false},
    {0x50, "SELECT", {0x03, 0x06}, true},
    {kCommandNone, "NONE", kNoCommandPair, false},
    {0x6B, "Poweroff macro", macroPair(0), true},
    {0x6C, "Custom macro 1", macroPair(1), true},
    {0x6D, "Custom macro 2", macroPair(2), true},
    {0x6E, "Custom macro 3", macroPair(3), true},
    {0x6F, "Custom macro 4", macroPair(4), true},
    {0x70, "Custom macro 5", macroPair(5), true},
    {0x71, "Custom macro 6", macroPair(6), true},
    {0x72, "Custom macro 7", macroPair(7), true},
    {0x73, "Custom macro 8", macroPair(8), true},
    {0x74, "Custom macro 9", macroPair(9), true},
}};

// Named but outside every list except the IR transmit list.
constexpr CommandInfo kDiscretePowerOn{kCommandDiscretePowerOn, "Discrete power on", kNoCommandPair, false};
constexpr std::string_view kUnknownName = "Unknown";

static_assert(kCommands[kNonePosition].code == kCommandNone);

constexpr bool listed(CommandCode code) {
    for (const CommandInfo &row : kCommands)
        if (row.code == code) return true;
    return false;
}
static_assert(listed(kCommandPs) && listed(kCommandOkX) && listed(kCommandUp) && listed(kCommandDown) &&
              listed(kCommandPowerOffMacro) && !listed(kCommandDiscretePowerOn));

constexpr const CommandInfo *findRow(CommandCode code) {
    for (const CommandInfo &row : kCommands)
        if (row.code == code) return &row;
    return code == kCommandDiscretePowerOn ? &kDiscretePowerOn : nullptr;
}

constexpr CommandListEntry entryOf(const CommandInfo &row) { return CommandListEntry{row.code, row.name}; }

constexpr std::size_t kMacroStepLength = kNonePosition + 1;
constexpr std::size_t kKeyMapIrLength = kCommandListLength - 1;

constexpr auto buildMacroStepList() {
    std::array<CommandListEntry, kMacroStepLength> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = entryOf(kCommands[i]);
    return list;
}

constexpr auto buildKeyMapIrList() {
    std::array<CommandListEntry, kKeyMapIrLength> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = entryOf(kCommands[i < kNonePosition ? i : i + 1]);
    return list;
}

constexpr auto buildKeyMapPs3List() {
    std::array<CommandListEntry, kCommandListLength> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = entryOf(kCommands[i]);
    return list;
}

constexpr auto buildIrTransmitList() {
    auto list = buildKeyMapPs3List();
    list[kNonePosition] = entryOf(kDiscretePowerOn);
    return list;
}

constexpr auto kMacroStepList = buildMacroStepList();
constexpr auto kKeyMapIrList = buildKeyMapIrList();
constexpr auto kKeyMapPs3List = buildKeyMapPs3List();
constexpr auto kIrTransmitList = buildIrTransmitList();

}  // namespace

std::size_t CommandTable::commandCount() { return kCommands.size(); }

CommandCode CommandTable::commandAt(std::size_t position) {
    return position < kCommands.size() ? kCommands[position].code : kCommandNone;
}

std::uint8_t CommandTable::positionOf(CommandCode code) {
    for (std::size_t i = 0; i < kCommands.size(); ++i)
        if (kCommands[i].code == code) return static_cast<std::uint8_t>(i);
    return kNoPosition;
}

std::string_view CommandTable::commandName(CommandCode code) {
    const CommandInfo *row = findRow(code);
    return row ? row->name : kUnknownName;
}

std::wstring CommandTable::commandNameText(CommandCode code) {
    const std::string_view name = commandName(code);
    return std::wstring(name.begin(), name.end());  // the names are ASCII
}

CommandPair CommandTable::encodeCommand(CommandCode code) {
    const CommandInfo *row = code < kPairedCodeCount ? findRow(code) : nullptr;
    return row ? row->pair : kNoCommandPair;
}

std::optional<CommandCode> CommandTable::decodeCommand(CommandPair pair) {
    if (pair == kNoCommandPair) return kCommandNone;
    // Ascending code order decides between pairs that are used twice.
    for (std::size_t code = 0; code < kPairedCodeCount; ++code)
        if (encodeCommand(static_cast<CommandCode>(code)) == pair) return static_cast<CommandCode>(code);
    return std::nullopt;
}

bool CommandTable::isControllerKey(CommandCode code) {
    const CommandInfo *row = findRow(code);
    return row && row->controllerKey;
}

std::span<const CommandInfo> CommandTable::rows() { return kCommands; }

std::span<const CommandListEntry> commandList(CommandList list) {
    switch (list) {
    case CommandList::MacroStep: return kMacroStepList;
    case CommandList::KeyMapIr: return kKeyMapIrList;
    case CommandList::KeyMapPs3: return kKeyMapPs3List;
    case CommandList::IrTransmit: return kIrTransmitList;
    }
    return {};
}

std::optional<std::size_t> keyMapIrPosition(std::size_t index) {
    if (index >= kKeyMapIrLength) return std::nullopt;
    return index < kNonePosition ? index : index + 1;
}

std::optional<std::size_t> keyMapIrIndex(std::size_t position) {
    if (position >= kCommandListLength || position == kNonePosition) return std::nullopt;
    return position < kNonePosition ? position : position - 1;
}

CommandCode commandOfListIndex(CommandList list, std::size_t index) {
    const auto entries = commandList(list);
    return index < entries.size() ? entries[index].code : kCommandNone;
}

}  // namespace zelo::pages
