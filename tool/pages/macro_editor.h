// The macro editor's model: the working array of the ten macros, the rows
// the page shows for one of them, and the rows gathered back into a record.
#ifndef ZELO_PAGES_MACRO_EDITOR_H
#define ZELO_PAGES_MACRO_EDITOR_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config_record.h"

namespace zelo::pages {

using device::MacroRecord;

inline constexpr std::size_t kMacroRows = device::kMacroSteps;  // rows 8 and 9 exist, never shown
inline constexpr std::size_t kVisibleMacroRows = 8;
inline constexpr std::size_t kPowerOffMacro = 0;
inline constexpr std::uint16_t kDefaultRowHoldMs = 150;
inline constexpr std::uint16_t kDefaultRowDelayMs = 450;

// One row of controls: the command list's position and the two edits.
struct MacroRow {
    std::optional<std::size_t> position;  // list position 0..51; nullopt: no selection
    std::wstring holdText;
    std::wstring delayText;
    friend bool operator==(const MacroRow &, const MacroRow &) = default;
};
using MacroRows = std::array<MacroRow, kMacroRows>;

// The rows of a page that has never shown a macro: NONE, empty edits.
MacroRows freshRows();
// The rows showing a record: its steps from the top, then NONE rows with
// the default times. A step that names no listed command shows as NONE.
MacroRows rowsOf(const MacroRecord &record);

// Rows whose hold or delay text is not a number in 0..65535.
struct InvalidTimes {
    std::vector<std::size_t> rows;
};

// The record the rows describe, with the commands packed from the top in
// row order so the accessory plays what the user sees; NONE rows and their
// times are dropped. Only rows with a command have their times checked.
std::optional<MacroRecord> recordOf(const MacroRows &rows, InvalidTimes *invalid = nullptr);
std::optional<std::uint16_t> parseMilliseconds(std::wstring_view text);

MacroRecord defaultMacro(std::size_t macro);
std::wstring macroTimeText(std::uint16_t ms);

// The macro list entries and the column labels in the current language.
std::vector<std::wstring> macroListTexts();
std::wstring durationLabel();
std::wstring pauseLabel();

class MacroEditor {
public:
    using Records = std::array<MacroRecord, device::kMacroCount>;

    // All ten records from the block; shows nothing by itself.
    void load(std::span<const std::uint8_t> block);
    // Makes the selected macro (none counts as the power-off macro) current
    // and answers its rows.
    MacroRows show(std::optional<std::size_t> selection);
    // Takes the shown rows into the current record. On invalid times the
    // record keeps its previous content and the rows are reported.
    bool gather(const MacroRows &rows, InvalidTimes *invalid = nullptr);
    // Switching macros: gathers the rows of the macro left behind, then
    // shows the new one. On invalid times nothing switches, so the user's
    // rows are not lost; the caller reselects the current macro.
    std::optional<MacroRows> select(const MacroRows &rows, std::optional<std::size_t> selection,
                                    InvalidTimes *invalid = nullptr);
    // Gathers, then writes the ten records. With invalid times the current
    // macro's bytes in the block stay as they were; the others are written.
    bool store(const MacroRows &rows, std::span<std::uint8_t> block, InvalidTimes *invalid = nullptr);
    // The selected macro back to its default; reaches the block on store.
    MacroRows reset(std::optional<std::size_t> selection);

    std::size_t currentMacro() const { return current_; }
    const Records &macros() const { return macros_; }

private:
    Records macros_{};
    std::size_t current_ = kPowerOffMacro;
};

}  // namespace zelo::pages

#endif
