#include "page.h"


namespace zelo::app {

namespace {

bool editsConfiguration(device::DeviceVariant variant) {
    return variant == device::DeviceVariant::Standard || variant == device::DeviceVariant::X;
}

constexpr std::array<PageIndex, 3> kStoreOrder{PageIndex::Settings, PageIndex::Macros, PageIndex::DeviceCode};
constexpr std::array<PageIndex, 4> kLoadOrder{PageIndex::Settings, PageIndex::Macros, PageIndex::DeviceCode,
                                             PageIndex::Buttons};

}  // namespace

// Pages without configuration behaviour (the IR and module pages, and every
// page until its own code plugs in) keep these.
void Page::load(device::ConfigRecord::Block &, device::DeviceVariant) {}
void Page::store(device::ConfigRecord::Block &, device::DeviceVariant) {}

void PageSet::set(PageIndex index, Page *page) { pages_.at(static_cast<std::size_t>(index)) = page; }

Page *PageSet::at(PageIndex index) const { return pages_.at(static_cast<std::size_t>(index)); }

void PageSet::clear() { pages_.fill(nullptr); }

void PageSet::storeAll(device::ConfigRecord::Block &working, device::DeviceVariant variant) const {
    if (!editsConfiguration(variant)) return;
    for (PageIndex index : kStoreOrder) {
        if (Page *page = at(index)) page->store(working, variant);
    }
}

void PageSet::loadAll(device::ConfigRecord::Block &working, device::DeviceVariant variant) const {
    if (!editsConfiguration(variant)) return;
    for (PageIndex index : kLoadOrder) {
        if (Page *page = at(index)) page->load(working, variant);
    }
}

}  // namespace zelo::app
