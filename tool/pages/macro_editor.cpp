#include "macro_editor.h"

#include <algorithm>
#include <limits>

#include "catalogue.h"
#include "command_table.h"
#include "number_text.h"

namespace zelo::pages {
namespace {

using i18n::Msg;

constexpr std::size_t kNumberedMacros = device::kMacroCount - 1;
constexpr std::wstring_view kMillisecondsSuffix = L"(ms)";
constexpr long long kMaxMilliseconds = std::numeric_limits<std::uint16_t>::max();

struct DefaultStep {
    CommandCode code;
    std::uint16_t holdMs;
};

// The power-off macro the Default button restores: PS held long enough to
// open the console's power menu, then the keys that choose "turn off".
constexpr std::uint16_t kPowerOffPsHoldMs = 3750;
constexpr std::array<DefaultStep, 7> kPowerOffSteps{{
    {kCommandPs, kPowerOffPsHoldMs},
    {kCommandDown, kDefaultRowHoldMs},
    {kCommandDown, kDefaultRowHoldMs},
    {kCommandDown, kDefaultRowHoldMs},
    {kCommandUp, kDefaultRowHoldMs},
    {kCommandOkX, kDefaultRowHoldMs},
    {kCommandOkX, kDefaultRowHoldMs},
}};

MacroRow noneRow() {
    return MacroRow{kNonePosition, macroTimeText(kDefaultRowHoldMs), macroTimeText(kDefaultRowDelayMs)};
}

// The row list offers the keys and NONE only, so a macro reference or an
// unknown pair has no row position.
std::optional<std::size_t> rowPosition(std::uint8_t first, std::uint8_t second) {
    const std::optional<CommandCode> code = CommandTable::decodeCommand({first, second});
    if (!code || *code == kCommandNone) return std::nullopt;
    const std::uint8_t position = CommandTable::positionOf(*code);
    if (position >= commandList(CommandList::MacroStep).size()) return std::nullopt;
    return position;
}

std::wstring withMilliseconds(Msg label) { return i18n::text(label) + std::wstring(kMillisecondsSuffix); }

}  // namespace

MacroRows freshRows() {
    MacroRows rows;
    for (MacroRow &row : rows) row.position = kNonePosition;
    return rows;
}

MacroRows rowsOf(const MacroRecord &record) {
    MacroRows rows;
    rows.fill(noneRow());
    const std::size_t steps = std::min<std::size_t>(record.stepCount, kMacroRows);
    for (std::size_t j = 0; j < steps; ++j) {
        const std::optional<std::size_t> position = rowPosition(record.first[j], record.second[j]);
        if (!position) continue;
        rows[j] = MacroRow{position, macroTimeText(record.holdMs[j]), macroTimeText(record.pauseMs[j])};
    }
    return rows;
}

std::optional<std::uint16_t> parseMilliseconds(std::wstring_view text) {
    const std::optional<long long> value = leadingNumber(text);
    if (!value || *value < 0 || *value > kMaxMilliseconds) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

std::optional<MacroRecord> recordOf(const MacroRows &rows, InvalidTimes *invalid) {
    MacroRecord record;
    bool valid = true;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const CommandCode code = commandOfListIndex(CommandList::MacroStep, rows[r].position.value_or(0));
        if (code == kCommandNone) continue;
        const std::optional<std::uint16_t> hold = parseMilliseconds(rows[r].holdText);
        const std::optional<std::uint16_t> delay = parseMilliseconds(rows[r].delayText);
        if (!hold || !delay) {
            valid = false;
            if (invalid) invalid->rows.push_back(r);
            continue;
        }
        const std::size_t step = record.stepCount++;
        const CommandPair pair = CommandTable::encodeCommand(code);
        record.first[step] = pair.first;
        record.second[step] = pair.second;
        record.holdMs[step] = *hold;
        record.pauseMs[step] = *delay;
    }
    if (!valid) return std::nullopt;
    return record;
}

MacroRecord defaultMacro(std::size_t macro) {
    MacroRecord record;
    if (macro != kPowerOffMacro) return record;
    for (const DefaultStep &step : kPowerOffSteps) {
        const std::size_t j = record.stepCount++;
        const CommandPair pair = CommandTable::encodeCommand(step.code);
        record.first[j] = pair.first;
        record.second[j] = pair.second;
        record.holdMs[j] = step.holdMs;
        record.pauseMs[j] = kDefaultRowDelayMs;
    }
    return record;
}

std::wstring macroTimeText(std::uint16_t ms) { return std::to_wstring(ms); }

std::vector<std::wstring> macroListTexts() {
    std::vector<std::wstring> texts{i18n::text(Msg::PowerOff)};
    for (std::size_t n = 1; n <= kNumberedMacros; ++n) texts.push_back(i18n::text(Msg::Custom) + L' ' + std::to_wstring(n));
    return texts;
}

std::wstring durationLabel() { return withMilliseconds(Msg::Duration); }
std::wstring pauseLabel() { return withMilliseconds(Msg::Pause); }

void MacroEditor::load(std::span<const std::uint8_t> block) {
    for (std::size_t m = 0; m < macros_.size(); ++m) macros_[m] = device::loadMacro(block, m);
}

MacroRows MacroEditor::show(std::optional<std::size_t> selection) {
    const std::size_t index = selection.value_or(kPowerOffMacro);
    current_ = index < macros_.size() ? index : kPowerOffMacro;
    return rowsOf(macros_[current_]);
}

bool MacroEditor::gather(const MacroRows &rows, InvalidTimes *invalid) {
    const std::optional<MacroRecord> record = recordOf(rows, invalid);
    if (!record) return false;
    macros_[current_] = *record;
    return true;
}

std::optional<MacroRows> MacroEditor::select(const MacroRows &rows, std::optional<std::size_t> selection,
                                             InvalidTimes *invalid) {
    if (!gather(rows, invalid)) return std::nullopt;
    return show(selection);
}

bool MacroEditor::store(const MacroRows &rows, std::span<std::uint8_t> block, InvalidTimes *invalid) {
    const bool gathered = gather(rows, invalid);
    for (std::size_t m = 0; m < macros_.size(); ++m) {
        if (m == current_ && !gathered) continue;
        // A record loaded from erased memory may claim more steps than exist.
        MacroRecord record = macros_[m];
        record.stepCount = std::min<std::uint8_t>(record.stepCount, static_cast<std::uint8_t>(kMacroRows));
        device::storeMacro(block, m, record);
    }
    return gathered;
}

MacroRows MacroEditor::reset(std::optional<std::size_t> selection) {
    const std::size_t index = selection.value_or(kPowerOffMacro);
    if (index < macros_.size()) macros_[index] = defaultMacro(index);
    return show(selection);
}

}  // namespace zelo::pages
