#include "key_mapping.h"

#include <optional>

#include "config_record.h"

namespace zelo::pages {

CommandPair readKeyEntry(std::span<const std::uint8_t> block, CommandCode code) {
    return CommandPair{block[device::kKeyMapFirstOffset + code], block[device::kKeyMapSecondOffset + code]};
}

void writeKeyEntry(std::span<std::uint8_t> block, CommandCode code, CommandPair pair) {
    block[device::kKeyMapFirstOffset + code] = pair.first;
    block[device::kKeyMapSecondOffset + code] = pair.second;
}

CommandCode KeyMapping::irCode() const { return commandOfListIndex(CommandList::KeyMapIr, irIndex_); }

void KeyMapping::showMapping(std::span<const std::uint8_t> block, std::size_t irIndex) {
    irIndex_ = irIndex < commandList(CommandList::KeyMapIr).size() ? irIndex : 0;
    const std::optional<CommandCode> target = CommandTable::decodeCommand(readKeyEntry(block, irCode()));
    const std::uint8_t position = target ? CommandTable::positionOf(*target) : kNoPosition;
    // Data the page cannot name shows as NONE rather than leaving the page
    // stuck with an edit the user never made.
    committedPosition_ = position == kNoPosition ? kNonePosition : position;
    selectedPosition_ = committedPosition_;
}

void KeyMapping::ok(std::span<std::uint8_t> block) {
    committedPosition_ = selectedPosition_;
    writeKeyEntry(block, irCode(), CommandTable::encodeCommand(CommandTable::commandAt(committedPosition_)));
}

void KeyMapping::restoreDefault(std::span<std::uint8_t> block) {
    for (std::size_t position = 0; position < CommandTable::commandCount(); ++position) {
        const CommandCode code = CommandTable::commandAt(position);
        if (code != kCommandNone) writeKeyEntry(block, code, CommandTable::encodeCommand(code));
    }
    showMapping(block, 0);
}

}  // namespace zelo::pages
