// The record of a configuration write under way, kept per user and per
// accessory so that a write cut short by an unplug or a crash can be
// finished, or undone, at the next connect instead of leaving the accessory
// with some pages old and some new.
#ifndef ZELO_DEVICE_PENDING_SAVE_H
#define ZELO_DEVICE_PENDING_SAVE_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "config_record.h"

namespace zelo::device {

using DeviceAddress = std::array<std::uint8_t, kDeviceAddressSize>;

// What tells accessories apart: the device address and, for accessories
// whose addresses are blank or equal, the device value (a production
// serial). Both are read-only fields of the second configuration page.
struct AccessoryKey {
    DeviceAddress address{};
    std::uint32_t deviceValue = 0;
    friend bool operator==(const AccessoryKey &, const AccessoryKey &) = default;
};

AccessoryKey accessoryKeyOf(std::span<const std::uint8_t, kBlockSize> block);

// A write about to change the accessory's pages: what they held before and
// the whole block as written (protected ranges restored, image sealed).
// Bytes past the variant's block length are zero.
struct PendingSave {
    AccessoryKey key;
    DeviceVariant variant = DeviceVariant::Other;
    ConfigRecord::Block before{};
    ConfigRecord::Block block{};
    // False for a record of the program before durable saves, which kept
    // only the block written: such a save can be finished, not undone, and
    // whether the accessory was saved since cannot be told.
    bool knowsBefore = true;
};

enum class PendingLookup {
    None,        // no record for the key
    Found,
    Damaged,     // not a record (checksum, length, another accessory's): useless for good
    Unreadable,  // cannot be read now, or written by a newer program: left alone
};

// One file per accessory in a folder of the user's. Writes replace the file
// whole and last through a power cut (see file_replace.h).
class PendingSaveStore {
public:
    // Makes the folder's latest change last where the file system alone
    // does not (the browser's, kept in its own storage); false when it
    // could not.
    using Persist = std::function<bool()>;

    explicit PendingSaveStore(std::filesystem::path folder, Persist persist = {});

    // The user's folder: ZELO_STATE_DIR when set; otherwise %APPDATA%\ZE-LO
    // on Windows, $XDG_STATE_HOME/zelo (an absolute one only) or
    // ~/.local/state/zelo elsewhere.
    static std::filesystem::path userFolder();

    const std::filesystem::path &folder() const { return folder_; }
    std::filesystem::path fileOf(const AccessoryKey &key) const;
    // Where the program before durable saves kept an accessory's record:
    // named by the address alone.
    std::filesystem::path firstFormatFileOf(const DeviceAddress &address) const;

    // False with a reason when the record could not be stored; an older
    // record for the same accessory is then removed, so it can never be
    // taken for this save's.
    bool write(const PendingSave &save, std::string &error);
    PendingLookup read(const AccessoryKey &key, PendingSave &out) const;
    // Every readable record in the folder, for an accessory whose identity
    // page was itself cut short.
    std::vector<PendingSave> readAll() const;
    void remove(const AccessoryKey &key);

private:
    bool writeFile(const PendingSave &save, std::string &error);
    PendingLookup readFile(const std::filesystem::path &file, PendingSave &out) const;
    PendingLookup readFirstFormat(const AccessoryKey &key, PendingSave &out) const;
    void removeFirstFormat(const AccessoryKey &key);

    std::filesystem::path folder_;
    Persist persist_;
    mutable std::mutex lock_;
};

// The record's file format, exposed for the tests that damage it and for
// the fuzzer.
inline constexpr std::array<char, 8> kPendingSaveMagic{'Z', 'E', 'L', 'O', 'S', 'A', 'V', 'E'};
inline constexpr std::uint8_t kPendingSaveFormatVersion = 2;
// The format before durable saves: magic, version, variant, block length
// (2 bytes), address, the block written, CRC; no old block, no device value.
inline constexpr std::uint8_t kPendingSaveFirstFormatVersion = 1;
inline constexpr std::string_view kPendingSaveFileSuffix = ".pending";

enum class PendingDecode { Decoded, Damaged, Newer };

// Encodes the current format; decodes it and the first (knowsBefore false).
std::string encodePendingSave(const PendingSave &save);
PendingDecode decodePendingSave(const std::string &bytes, PendingSave &out);

}  // namespace zelo::device

#endif
