// libFuzzer target for the record of a save under way, as the next connect
// reads it from the user's folder: whatever the file holds (cut short,
// damaged, another program's, a later version's), a decoded record is
// exactly what writing it gives, names the accessory its block names and a
// model the program writes; anything else is refused with the output
// untouched, and only a record of a later version is told apart as such.
// Any broken invariant traps.
#include "pending_save.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace zelo::device;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

PendingSave sentinel()
{
    PendingSave save;
    save.key.deviceValue = 0xA5A5A5A5;
    save.variant = DeviceVariant::Other;
    save.before.fill(0x5A);
    save.block.fill(0xA5);
    return save;
}

bool same(const PendingSave &a, const PendingSave &b)
{
    return a.key == b.key && a.variant == b.variant && a.before == b.before && a.block == b.block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    PendingSave save = sentinel();
    switch (decodePendingSave(bytes, save)) {
    case PendingDecode::Decoded:
        require(save.variant == DeviceVariant::Standard || save.variant == DeviceVariant::X);
        require(save.key == accessoryKeyOf(save.block));
        require(encodePendingSave(save) == bytes);
        break;
    case PendingDecode::Newer:
        require(bytes.size() > kPendingSaveMagic.size());
        require(bytes.compare(0, kPendingSaveMagic.size(), kPendingSaveMagic.data(), kPendingSaveMagic.size()) == 0);
        require(static_cast<std::uint8_t>(bytes[kPendingSaveMagic.size()]) > kPendingSaveFormatVersion);
        require(same(save, sentinel()));
        break;
    case PendingDecode::Damaged:
        require(same(save, sentinel()));
        break;
    }
    return 0;
}
