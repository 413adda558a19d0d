#include "presence.h"

namespace zelo::cli {

std::string inUseText(const PresentAccessory &accessory) {
    if (accessory.holders.empty()) return "in use by another program";
    std::string text = "in use by ";
    for (std::size_t i = 0; i < accessory.holders.size(); ++i) text += (i > 0 ? ", " : "") + accessory.holders[i];
    return text;
}

#if !defined(ZELO_HAVE_LINUX_ACCESS)
std::optional<std::vector<PresentAccessory>> presentAccessories() { return std::nullopt; }
#endif

}  // namespace zelo::cli
