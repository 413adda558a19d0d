// The browser page's own texts: what only the page says (its status line,
// browser and Linux advice, unplug and module messages, buttons the
// program's catalogue has no text for), in the catalogue's seven columns.
// The page's text module is generated from this table at build time.
#ifndef ZELO_WEB_PAGE_TEXTS_H
#define ZELO_WEB_PAGE_TEXTS_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "messages.h"

namespace zelo::web {

enum class PageText : std::uint8_t {
    Title,
    Connect,
    NotConnected,
    Connected,
    ConnectedUnsaved,
    Connecting,
    Saving,
    Saved,
    Working,
    NoneChosen,
    Unplugged,
    UnpluggedKept,
    DiscardQuestion,
    Exported,
    FileTooLarge,
    TransmitFailed,
    PairingFailed,
    PairingDone,
    ModuleWorking,
    ErasingModule,
    ModuleFileRefused,
    AddStep,
    RemoveStep,
    NoWebHid,
    LinuxAccess,
    UnknownModel,
    OpenFailed,
    EditRefused,
    StepCommand,
    RemoveStepLabel,
    AddStepLabel,
    FirmwareTooNew,
    UpdateFailed,
    UpdateDeclined,
    NoAnswer,
    Accessory,
    Model,
    Firmware,
    Loader,
    Pairing,
    ShowIr,
    TransmitCommand,
    TransmitHint,
    Yes,
    No,
    OpenHeld,
    NotSecure,
    CoreFailed,
    NoRecords,
    OtherTab,
    ApplyKept,
    KeptApplied,
    Disconnect,
    Forget,
    Disconnected,
    Forgotten,
    HelpTitle,
    HelpCable,
    HelpHeld,
    HelpBrowsers,
    HelpLinux,
    HelpReplug,
    Count
};

inline constexpr std::size_t kPageTextCount = static_cast<std::size_t>(PageText::Count);

// The page fills these bracketed markers before showing a text.
inline constexpr std::string_view kMarkerName = "[NAME]";
inline constexpr std::string_view kMarkerMacro = "[MACRO]";
inline constexpr std::string_view kMarkerStep = "[STEP]";
inline constexpr std::string_view kMarkerCode = "[CODE]";

// The name the page looks the text up by.
std::string_view pageTextName(PageText id);
// The text in a catalogue column, UTF-8; empty outside the table.
std::u8string_view pageText(PageText id, i18n::Column column);
// The language tag of a column (the page's lang attribute).
std::string_view languageTag(i18n::Column column);

}  // namespace zelo::web

#endif
