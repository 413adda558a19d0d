// The tab pages as the shell sees them: six pages in a fixed order, each of
// which may load its controls from the working copy of the configuration
// block and store them back. The shell decides when that happens and in
// which order (PageSet); what a page maps to which bytes is its own.
#ifndef ZELO_APP_PAGE_H
#define ZELO_APP_PAGE_H

#include <array>
#include <cstddef>

#include "config_record.h"

namespace zelo::app {

enum class PageIndex : std::size_t { Settings, Macros, DeviceCode, Buttons, TransmitReceive, InstallModule, Count };

inline constexpr std::size_t kPageCount = static_cast<std::size_t>(PageIndex::Count);

class Page {
public:
    virtual ~Page() = default;
    // Fills the controls from the working copy, in the variant's layout.
    virtual void load(device::ConfigRecord::Block &working, device::DeviceVariant variant);
    // Writes the controls into the working copy.
    virtual void store(device::ConfigRecord::Block &working, device::DeviceVariant variant);
};

// The six pages, not owned; a missing page is skipped.
class PageSet {
public:
    void set(PageIndex index, Page *page);
    Page *at(PageIndex index) const;
    void clear();

    // Standard and X model only: settings, macros, device code, in this
    // order. The key mapping page writes the working copy itself.
    void storeAll(device::ConfigRecord::Block &working, device::DeviceVariant variant) const;
    // Standard and X model only: settings, macros, device code, key mapping.
    void loadAll(device::ConfigRecord::Block &working, device::DeviceVariant variant) const;

private:
    std::array<Page *, kPageCount> pages_{};
};

}  // namespace zelo::app

#endif
