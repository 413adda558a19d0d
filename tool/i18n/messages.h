// Names of every text the program shows in more than one language, the
// catalogue's columns, and the markers that callers replace in some texts.
#ifndef ZELO_I18N_MESSAGES_H
#define ZELO_I18N_MESSAGES_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zelo::i18n {

// In catalogue order; the table rows follow this order exactly.
enum class Msg : std::uint8_t {
    Connected,
    Disconnected,
    InstallModule,
    Update,
    SelectModule,
    InstallingModule,
    ModuleInstalled,
    ModuleInstallError,
    About,
    Close,
    Language,
    MenuFile,
    MenuOptions,
    MenuHelp,
    Exit,
    CheckForUpdates,
    Default,
    Custom,
    DeviceCodeFormatError,
    Error,
    Internal,
    External,
    PowerOff,
    FirmwareTooNew,
    UnsavedChanges,
    SaveBeforeExit,
    SaveFailed,
    RestoreDefaultsWarning,
    ContinueQuestion,
    RestoreDefaults,
    TabSettings,
    TabMacros,
    TabDeviceCode,
    Save,
    EnableStatusLed,
    FlashLedBatteryLow,
    IrReceiver,
    SelectMacro,
    Command,
    Duration,
    Pause,
    DeviceCode,
    NewSoftwareAvailable,
    UpgradeSoftware,
    Information,
    FirmwareUpdateError,
    None,
    Pair,
    PairWithPs3,
    PairingIntro,
    PairingStep1,
    PairingStep2,
    PairingStep3,
    MenuTools,
    FirmwareUpdatedRestart,
    ExternalPowerNote,
    ReceiverHelpInternal,
    ReceiverHelpNetwork,
    ReceiverHelpIrEye,
    ReceiverHelpRepeater,
    ReceiverHelpAutosense,
    PairingMode,
    PairingAuto,
    PairingManual,
    ExternalDemodulated,
    ExternalModulated,
    ReceiverRepeater,
    ReceiverAutosense,
    Erase,
    RestoreFlash,
    TabButtons,
    AlternateButtonFunctions,
    FirmwareUpgradeRequired,
    EnableDiscretePowerOn,
    Cancel,
    TabTransmitReceive,
    Transmit,
    LastReceived,
    Receive,
    // The About dialog's notice; "%s" takes the build year.
    ProductUseNotice,
    // A macro step whose duration or pause is not a number from 0 to 65535.
    MacroTimeError,
    // File menu: settings files (.zelo).
    ExportSettings,
    ImportSettings,
    // The file dialogs' type description; " (*.zelo)" follows it.
    SettingsFiles,
    // "[REASON]" takes the checker's reason, "field: reason" in English.
    SettingsImportRefused,
    SettingsImported,
    // "[REASON]" takes what the accessory lacks, one line each.
    SettingsImportedPartly,
    // "[FILE]" takes the file's path.
    SettingsExportFailed,
    SettingsBackupFailed,
    // At connect: a save was cut short; Yes finishes it, No puts back the
    // settings from before it.
    UnfinishedSave,
    // The same for a record of an earlier version, which kept only the new
    // settings: Yes finishes, No keeps the settings as they are.
    UnfinishedSaveEarlier,
    UnfinishedSaveDamaged,
    // The record no longer fits the accessory (saved since); it is dropped.
    UnfinishedSaveStale,
    // The record cannot be read now, or is a newer program's; left alone.
    UnfinishedSaveUnreadable,
    // After a save whose record could not be written.
    SaveUnprotected,
    Count
};

inline constexpr std::size_t kMessageCount = static_cast<std::size_t>(Msg::Count);

// Catalogue columns, in table order.
enum class Column : std::uint8_t { Danish, German, French, Spanish, Italian, Icelandic, English, Count };

inline constexpr std::size_t kColumnCount = static_cast<std::size_t>(Column::Count);

// Bracketed markers that callers replace before showing a text.
inline constexpr std::wstring_view kMarkerVersion = L"[VERSION]";
inline constexpr std::wstring_view kMarkerVersion2 = L"[VERSION2]";
inline constexpr std::wstring_view kMarkerNewVersion = L"[1.00]";
inline constexpr std::wstring_view kMarkerFlash = L"[FLASH]";
inline constexpr std::wstring_view kMarkerReason = L"[REASON]";
inline constexpr std::wstring_view kMarkerFile = L"[FILE]";

}  // namespace zelo::i18n

#endif
