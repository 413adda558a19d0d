// The key mapping page's model: which PS3 command the working copy maps an
// IR command to, the edit that is pending until OK or Cancel, and Default.
// Entries are written into the block as soon as they are confirmed.
#ifndef ZELO_PAGES_KEY_MAPPING_H
#define ZELO_PAGES_KEY_MAPPING_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "command_table.h"

namespace zelo::pages {

CommandPair readKeyEntry(std::span<const std::uint8_t> block, CommandCode code);
void writeKeyEntry(std::span<std::uint8_t> block, CommandCode code, CommandPair pair);

class KeyMapping {
public:
    // Selects an IR list index and shows its mapping, settled. An entry
    // that decodes to no listed command shows as NONE.
    void showMapping(std::span<const std::uint8_t> block, std::size_t irIndex);
    // The user picked another PS3 list position: pending unless it is the
    // committed one.
    void selectPs3(std::size_t position) { selectedPosition_ = position; }
    // Writes the selected command into the entry of the IR command; settled.
    void ok(std::span<std::uint8_t> block);
    // Back to the committed position; settled.
    void cancel() { selectedPosition_ = committedPosition_; }
    // Every listed command mapped to itself; unlisted codes (46 among them)
    // keep their entries. Then IR index 0 is shown.
    void restoreDefault(std::span<std::uint8_t> block);

    bool settled() const { return selectedPosition_ == committedPosition_; }
    bool irListEnabled() const { return settled(); }
    bool okCancelEnabled() const { return !settled(); }

    std::size_t irIndex() const { return irIndex_; }
    CommandCode irCode() const;
    std::size_t selectedPosition() const { return selectedPosition_; }
    std::size_t committedPosition() const { return committedPosition_; }

private:
    std::size_t irIndex_ = 0;
    std::size_t selectedPosition_ = 0;
    std::size_t committedPosition_ = 0;
};

}  // namespace zelo::pages

#endif
