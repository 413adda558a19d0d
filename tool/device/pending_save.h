// The record of a configuration write under way, kept per user and per
// accessory (by the device address in its configuration) so that a write
// cut short by an unplug can be finished at the next connect instead of
// leaving the accessory with some pages old and some new.
#ifndef ZELO_DEVICE_PENDING_SAVE_H
#define ZELO_DEVICE_PENDING_SAVE_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <span>
#include <string>

#include "config_record.h"

namespace zelo::device {

using DeviceAddress = std::array<std::uint8_t, kDeviceAddressSize>;

DeviceAddress deviceAddressOf(std::span<const std::uint8_t, kBlockSize> block);

// What a write is about to put on the accessory: the whole block as
// written (protected ranges restored, image sealed); bytes past the
// variant's block length are zero.
struct PendingSave {
    DeviceAddress address{};
    DeviceVariant variant = DeviceVariant::Other;
    ConfigRecord::Block block{};
};

enum class PendingLookup {
    None,     // no record for the address
    Found,
    Damaged,  // unreadable, wrong version or checksum, or another accessory's
};

// One file per accessory in a folder of the user's. Writes are atomic (a
// temporary file renamed over the record), so a crash or a full disk leaves
// the old record or the new one, never a mix.
class PendingSaveStore {
public:
    // Makes the folder's latest change last where the file system alone
    // does not (the browser's, kept in its own storage); false when it
    // could not.
    using Persist = std::function<bool()>;

    explicit PendingSaveStore(std::filesystem::path folder, Persist persist = {});

    // The user's folder: ZELO_STATE_DIR when set; otherwise %APPDATA%\ZE-LO
    // on Windows, $XDG_STATE_HOME/zelo or ~/.local/state/zelo elsewhere.
    static std::filesystem::path userFolder();

    const std::filesystem::path &folder() const { return folder_; }
    std::filesystem::path fileOf(const DeviceAddress &address) const;

    // False with a reason when the record could not be stored.
    bool write(const PendingSave &save, std::string &error);
    PendingLookup read(const DeviceAddress &address, PendingSave &out) const;
    void remove(const DeviceAddress &address);

private:
    bool writeFile(const PendingSave &save, std::string &error);

    std::filesystem::path folder_;
    Persist persist_;
    mutable std::mutex lock_;
};

// The record's file format, exposed for the tests that damage it.
inline constexpr std::array<char, 8> kPendingSaveMagic{'Z', 'E', 'L', 'O', 'S', 'A', 'V', 'E'};
inline constexpr std::uint8_t kPendingSaveFormatVersion = 1;
std::string encodePendingSave(const PendingSave &save);
bool decodePendingSave(const std::string &bytes, PendingSave &out);

}  // namespace zelo::device

#endif
