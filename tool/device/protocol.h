#ifndef ZELO_DEVICE_PROTOCOL_H
#define ZELO_DEVICE_PROTOCOL_H

// The accessory's own command protocol, carried frame by frame through the
// device link: version queries, flash pages with their CRC check, the
// configuration block as a whole, and boot mode for firmware updates. Each
// frame takes the link lock; a sequence as a whole does not, and callers keep
// sequences from overlapping.

#include <cstdint>
#include <span>

#include "device_link.h"
#include "progress.h"
#include "waits.h"

namespace zelo::device {

// Command codes the program sends itself (the module's reset line, 0x12, is
// module programming's).
namespace command {
inline constexpr std::uint8_t kFirmwareVersion = 0x01;
inline constexpr std::uint8_t kLoaderVersion = 0x05;
inline constexpr std::uint8_t kPairing = 0x14;
inline constexpr std::uint8_t kConfigurationWritten = 0x16;
inline constexpr std::uint8_t kIrTransmit = 0x20;
inline constexpr std::uint8_t kPageCrc = 0x57;
inline constexpr std::uint8_t kPageWrite = 0x58;
inline constexpr std::uint8_t kPageRead = 0x59;
inline constexpr std::uint8_t kBootStep = 0x5E;
inline constexpr std::uint8_t kBootControl = 0x60;
inline constexpr std::uint8_t kBootEnter = 0x70;
inline constexpr std::uint8_t kStartApplication = 0xF0;

inline constexpr std::uint8_t kBootControlEnter = 0x00;
inline constexpr std::uint8_t kBootControlLeave = 0x40;
inline constexpr std::uint8_t kStartApplicationValue = 0x00;
}  // namespace command

inline constexpr std::size_t kPageCrcSize = 2;
inline constexpr std::size_t kPageReplySize = kPageSize + kPageCrcSize;
// An accessory that will not enter boot mode answers 0x70 with this many
// bytes, the first being kBootRefusalMark.
inline constexpr std::size_t kBootRefusalLength = 8;
inline constexpr std::uint8_t kBootRefusalMark = 'E';
inline constexpr unsigned kBootSettleMs = 100;

// The program's own result beside the library's codes: a page whose CRC
// does not match, or an accessory that refuses boot mode.
inline constexpr int kCheckFailed = 1;

using PageData = std::span<const std::uint8_t, kPageSize>;

// Firmware version (0x01) and loader version (0x05) into the link; the
// first failing command's code.
int readVersions(CDeviceLink &link);

// CRC of a page as the accessory stores it (0x57).
int readPageCrc(CDeviceLink &link, std::uint8_t page, std::uint16_t &crc);

// Reads a page (0x59). out receives the bytes only when their CRC matches;
// a mismatch gives kCheckFailed. The library's transfer failure has the
// same code, so answered (when given) tells whether an answer arrived.
int readPage(CDeviceLink &link, std::uint8_t page, std::span<std::uint8_t, kPageSize> out,
             bool *answered = nullptr);

// Writes a page (0x58); kCheckFailed when the CRC the accessory answers is
// not that of data.
int writePage(CDeviceLink &link, std::uint8_t page, PageData data);

// Writes pages first..last from data, after storing the CRC of everything
// before the last two bytes in those two bytes. Stops at the first failing
// page. data must hold (last - first + 1) pages; otherwise nothing is sent
// and the result is ZELO_OUT_OF_RANGE.
int writePageRange(CDeviceLink &link, std::span<std::uint8_t> data, std::uint8_t first, std::uint8_t last,
                   ProgressSink &progress);

// Reads the configuration pages of the link's variant into the record's read
// copy. Pages read before a failure stay; the record counts the read as
// valid only when every page arrived intact.
int readConfiguration(CDeviceLink &link, ProgressSink &progress);

// Records the record's read copy, as it stands, and what the pages hold
// (link.writeBaseline, or read) in the link's store of writes under way
// (PendingSaveStore) before pages are written. recorded is false when there
// is no store, the model has no settings, or it could not be stored (then
// link.lastWriteUnprotected is set); a failed read of the pages is the
// result, and nothing is recorded.
int recordPendingSave(CDeviceLink &link, bool &recorded);

// Reads every configuration page of the link's variant back and compares it
// with block: kCheckFailed at the first page that differs. A write's CRC
// answer does not prove the page: on the standard model's sealed page it is
// the same whatever the page holds, and a firmware may answer the CRC of
// what it received rather than of what it stored.
int verifyConfigurationPages(CDeviceLink &link, std::span<const std::uint8_t> block);

// Restores the protected ranges, seals the firmware image (standard model)
// and writes the configuration pages, then tells the accessory (0x16)
// whatever the outcome; every page is read back (verifyConfigurationPages)
// before a record is removed. With a store on the link, the write is recorded
// first (the block and what the pages held: link.writeBaseline, or read
// when the link does not know); a failed read there writes nothing and is
// the result, a record that cannot be stored sets link.lastWriteUnprotected
// and the write goes on. Leaves the record's commit as it is: after a
// failure the caller reverts it (ConfigRecord::revertCommit) so the edits
// still count as unsaved, after success it confirms it.
int writeConfiguration(CDeviceLink &link, ProgressSink &progress);

// Boot mode around firmware page writes. enterBootMode gives kCheckFailed
// when the accessory refuses.
int enterBootMode(CDeviceLink &link, Waits &waits = realWaits());
int leaveBootMode(CDeviceLink &link, Waits &waits = realWaits());

}  // namespace zelo::device

#endif
