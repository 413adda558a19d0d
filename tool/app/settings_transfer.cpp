#include "settings_transfer.h"

#include <cstdio>

#include "utc_time.h"
#include "version.h"

namespace zelo::app {
namespace {

using device::DeviceVariant;

std::string narrow(const std::wstring &text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::string fileText(const device::CDeviceLink &link, std::span<const std::uint8_t> block) {
    return settings::writeSettingsFile(
        settings::documentOf(block, link.variant(), ZELO_TOOL_FILE_VERSION_TEXT, narrow(link.firmwareText())));
}

}  // namespace

bool settingsTransferPossible(const device::CDeviceLink *link) {
    if (link == nullptr || !link->isConnected() || !link->record.readValid()) return false;
    return link->variant() == DeviceVariant::Standard || link->variant() == DeviceVariant::X;
}

std::string exportedSettings(device::CDeviceLink &link, const PageSet &pages) {
    pages.storeAll(link.record.workingCopy(), link.variant());
    return fileText(link, link.record.workingCopy());
}

std::string readSettings(const device::CDeviceLink &link) { return fileText(link, link.record.readCopy()); }

settings::ImportResult importIntoPages(device::CDeviceLink &link, const PageSet &pages, std::string_view text) {
    device::ConfigRecord::Block &working = link.record.workingCopy();
    pages.storeAll(working, link.variant());
    settings::ImportResult result = settings::importSettings(text, link.variant(), working);
    if (!result.applied) return result;
    // As after a connect: the pages show the copy and store it straight
    // back, so the working copy is exactly what they show.
    pages.loadAll(working, link.variant());
    pages.storeAll(working, link.variant());
    return result;
}

std::wstring backupFileName(const device::CDeviceLink &link, std::int64_t unixSeconds) {
    const std::string address = link.record.updateCheckData("", "").address;
    const std::string stamp = utcTimeText(unixSeconds, "%Y%m%d-%H%M%S");
    std::wstring name(address.begin(), address.end());
    name += L'-';
    name.append(stamp.begin(), stamp.end());
    name.append(settings::kFileExtension.begin(), settings::kFileExtension.end());
    return name;
}

}  // namespace zelo::app
