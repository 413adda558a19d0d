// Report descriptors as the Linux backend reads them, and which udev
// events concern the accessory.
#include <gtest/gtest.h>

#include "accessory_watch.h"
#include "fake_hid_api.h"
#include "report_descriptor.h"

namespace zelo::test {
namespace {

using hid::linux_backend::AccessoryWatch;
using hid::linux_backend::DeviceEvent;
using hid::linux_backend::isAccessoryHidId;
using hid::linux_backend::parseReportDescriptor;

TEST(ReportDescriptor, LongestReportOfEachTypePlusTheIdByte) {
    const auto accessory = parseReportDescriptor(accessoryDescriptor());
    ASSERT_TRUE(accessory);
    EXPECT_FALSE(accessory->numbered);
    EXPECT_EQ(kAccessoryReportLength, accessory->lengths.input);
    EXPECT_EQ(kAccessoryFeatureLength, accessory->lengths.feature);

    // Two numbered input reports of 12 bits (rounded up) and 4 bytes; one
    // output report whose size is pushed, changed and popped back.
    const Bytes numbered{0x85, 0x01, 0x75, 0x04, 0x95, 0x03, 0x81, 0x02,  // id 1: 3 x 4 bits
                         0x85, 0x02, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // id 2: 4 x 8 bits
                         0xA4, 0x75, 0x10, 0xB4,                          // push, size 16, pop
                         0x95, 0x02, 0x91, 0x02,                          // id 2: 2 x 8 bits out
                         0xFE, 0x02, 0x10, 0xAA, 0xBB};                   // a long item
    const auto layout = parseReportDescriptor(numbered);
    ASSERT_TRUE(layout);
    EXPECT_TRUE(layout->numbered);
    EXPECT_EQ(5u, layout->lengths.input);
    EXPECT_EQ(3u, layout->lengths.output);
    EXPECT_EQ(0u, layout->lengths.feature) << "no feature report";
}

TEST(ReportDescriptor, ACutOffDescriptorIsRefused) {
    EXPECT_FALSE(parseReportDescriptor({0x75, 0x08, 0x96, 0x3F}));
    EXPECT_FALSE(parseReportDescriptor({0x81, 0x02, 0xFE, 0x05, 0x10}));
    EXPECT_FALSE(parseReportDescriptor({0xFE}));
    const auto empty = parseReportDescriptor({});
    ASSERT_TRUE(empty);
    EXPECT_EQ(0u, empty->lengths.input);
}

// Lengths size the reader's buffers: a hostile descriptor must not make
// them huge, nor wrap a huge sum around to a plausible length.
TEST(ReportDescriptor, AReportLongerThanHidrawDeliversIsRefused) {
    const Bytes longest{0x75, 0x08, 0x96, 0x00, 0x40, 0x81, 0x02};  // 16384 x 8 bits
    const auto fits = parseReportDescriptor(longest);
    ASSERT_TRUE(fits);
    EXPECT_EQ(16385u, fits->lengths.input);

    EXPECT_FALSE(parseReportDescriptor({0x75, 0x08, 0x96, 0x01, 0x40, 0x81, 0x02})) << "one byte more";
    const Bytes huge{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xB1, 0x02};
    EXPECT_FALSE(parseReportDescriptor(huge)) << "2^64 bits";
    // Sixteen such items add up to a multiple of 2^64 plus a little.
    Bytes wrapping{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 16; ++i) wrapping.insert(wrapping.end(), {0x91, 0x02});
    EXPECT_FALSE(parseReportDescriptor(wrapping));
}

TEST(AccessoryWatch, HidIdNamesBusVendorAndProduct) {
    EXPECT_TRUE(isAccessoryHidId("0003:00003A71:00000009"));
    EXPECT_TRUE(isAccessoryHidId("0003:00003a71:00000009"));
    EXPECT_FALSE(isAccessoryHidId("0003:00003A71:00000006"));
    EXPECT_FALSE(isAccessoryHidId("0003:00001234:00000009"));
    EXPECT_FALSE(isAccessoryHidId(""));
    EXPECT_FALSE(isAccessoryHidId("0003:00003A71"));
    EXPECT_FALSE(isAccessoryHidId("0003:00003A71:00000009:1"));
    EXPECT_FALSE(isAccessoryHidId("0003:3A71x:9"));
    EXPECT_FALSE(isAccessoryHidId("0003::00000009"));
}

TEST(AccessoryWatch, ArrivalsOfTheAccessoryAndRemovalsOfNodesKnownAsIt) {
    constexpr const char *kAccessory = "0003:00003A71:00000009";
    AccessoryWatch watch;
    watch.seed("/dev/hidraw1", kAccessory);
    watch.seed("/dev/hidraw2", "0003:0000046D:0000C52B");

    const auto removed = watch.onEvent({"remove", "/dev/hidraw1", ""});
    ASSERT_TRUE(removed) << "present at start, gone now";
    EXPECT_FALSE(removed->arrived);
    EXPECT_EQ("/dev/hidraw1", removed->path);
    EXPECT_FALSE(watch.onEvent({"remove", "/dev/hidraw1", ""})) << "told once";
    EXPECT_FALSE(watch.onEvent({"remove", "/dev/hidraw2", ""})) << "another device";

    const auto arrived = watch.onEvent({"add", "/dev/hidraw2", kAccessory});
    ASSERT_TRUE(arrived) << "a node number is reused by the accessory";
    EXPECT_TRUE(arrived->arrived);
    EXPECT_FALSE(watch.onEvent({"add", "/dev/hidraw3", "0003:00003A71:00000006"}));
    EXPECT_FALSE(watch.onEvent({"add", "", kAccessory}));
    EXPECT_FALSE(watch.onEvent({"change", "/dev/hidraw2", kAccessory}));
    EXPECT_TRUE(watch.onEvent({"remove", "/dev/hidraw2", ""}));
}

}  // namespace
}  // namespace zelo::test
