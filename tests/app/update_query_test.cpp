#include "update_query.h"

#include <gtest/gtest.h>

#include <string>

#include "device_link.h"

namespace zelo::app {
namespace {

const std::string kPage = pageAddress("updates.example", kHelpPagePath);
const std::string kHead = kPage + "?SW_VER=1.29&SW_BUILD=1007&";
const std::string kZeroSys = "&SYS=" + std::string(40, '0');
constexpr i18n::LanguageKey kEnglish = 3;

TEST(UpdateQuery, BeforeAnyAccessoryFieldsAreEmptyOrZero) {
    EXPECT_EQ(kPage, "http://updates.example/help.asp");
    EXPECT_EQ(pageAddress("", kUpdatePagePath), "");
    EXPECT_EQ(buildUpdateQuery(kPage, querySubject(nullptr, kEnglish), QueryOrigin::User),
              kHead + "FW_VER=&LD_VER=&PRODUCT_TYPE=ZELO&LANG=3&DEBUG=" + kZeroSys);
    const device::CDeviceLink neverConnected;
    EXPECT_EQ(buildUpdateQuery(kPage, querySubject(&neverConnected, 1), QueryOrigin::User),
              kHead + "FW_VER=&LD_VER=&PRODUCT_TYPE=ZELO&LANG=1&DEBUG=" + std::string(28, '0') + kZeroSys);
}

class ConnectedQuery : public ::testing::Test {
protected:
    void SetUp() override {
        link.setFirmwareVersion("1.24");
        link.setLdVersion("1.00");
        auto &block = link.record.readCopy();
        const std::uint8_t address[] = {0x00, 0x1A, 0x7D, 0xDA, 0x71, 0x13};
        std::copy(std::begin(address), std::end(address), block.begin() + device::kDeviceAddressOffset);
        device::storeLittleEndian32(block, device::kDeviceValueOffset, 0x12345678);
        device::storeLittleEndian32(block, device::kTimeStampOffset, 0x4D2B6F00);
    }
    std::string query(QueryOrigin origin = QueryOrigin::User) {
        return buildUpdateQuery(kPage, querySubject(&link, kEnglish), origin);
    }
    device::CDeviceLink link;
};

TEST_F(ConnectedQuery, CarriesVersionsAddressDeviceValueAndStamp) {
    EXPECT_EQ(query(), kHead + "FW_VER=1.24&LD_VER=1.00&PRODUCT_TYPE=ZELO&LANG=3&DEBUG=001A7DDA7113001A7DDA71130000"
                               "&SYS=000000000000000012345678123456784D2B6F00");
    device::storeLittleEndian32(link.record.readCopy(), device::kTimeStampOffset, 0);
    link.record.setClock([] { return std::int64_t{1700000000}; });
    ASSERT_TRUE(link.record.stampTime());
    EXPECT_TRUE(query().ends_with("1234567812345678" "6553F100"));  // a fresh stamp is the time of the connect
}

TEST_F(ConnectedQuery, AutomaticCheckAddsOriginAndTurnsSpacesIntoPlus) {
    link.setFirmwareVersion("1 24");
    EXPECT_NE(query().find("FW_VER=1 24&"), std::string::npos);
    const std::string automatic = query(QueryOrigin::Automatic);
    EXPECT_TRUE(automatic.ends_with("4D2B6F00&origin=autoupdate")) << automatic;
    EXPECT_NE(automatic.find("FW_VER=1+24&"), std::string::npos);
}

TEST_F(ConnectedQuery, AccessoryBytesThatWouldBreakTheQueryAreEscaped) {
    link.setFirmwareVersion("1&\n\xFF");
    link.setLdVersion("=#%+");
    EXPECT_NE(query().find("&FW_VER=1%26%0A%FF&LD_VER=%3D%23%25%2B&"), std::string::npos) << query();
}

TEST(UpdateQuery, StaysWithinItsBufferWhateverTheAddress) {
    const std::string longPage = "http://" + std::string(2000, 'h') + "/help.asp";
    for (QueryOrigin origin : {QueryOrigin::User, QueryOrigin::Automatic}) {
        EXPECT_EQ(buildUpdateQuery(longPage, querySubject(nullptr, kEnglish), origin),
                  longPage.substr(0, kQueryBufferSize - 1));
    }
}

}  // namespace
}  // namespace zelo::app
