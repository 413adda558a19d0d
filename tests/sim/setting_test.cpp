// The ZELO_SIMULATOR syntax, through World::configure.
#include "config_record.h"
#include "sim_test_support.h"

namespace zelo::sim::test {
namespace {

class SettingTest : public SimTest {};

TEST_F(SettingTest, GoodFormsPlugTheirAccessories) {
    std::string error;
    ASSERT_TRUE(world().configure("standard,x", &error)) << error;
    auto plugged = world().accessories();
    ASSERT_EQ(plugged.size(), 2u);
    EXPECT_EQ(plugged[0]->loaderVersion(), "1.00");
    EXPECT_EQ(plugged[0]->firmwareVersion(), "1.19");
    EXPECT_EQ(plugged[1]->loaderVersion(), "1.01");
    EXPECT_EQ(plugged[1]->firmwareVersion(), "2.06");

    ASSERT_TRUE(world().configure("x:fw=2.05:ld=1.01", &error)) << error;
    plugged = world().accessories();
    ASSERT_EQ(plugged.size(), 1u);
    EXPECT_EQ(plugged[0]->firmwareVersion(), "2.05");

    ASSERT_TRUE(world().configure(" standard:fw=1.20 , 1.02:pid=6:in=32:out=16:feature=12 ", &error)) << error;
    plugged = world().accessories();
    ASSERT_EQ(plugged.size(), 2u);
    EXPECT_EQ(plugged[0]->firmwareVersion(), "1.20");
    EXPECT_EQ(plugged[1]->loaderVersion(), "1.02");
    const AccessoryConfig config = plugged[1]->config();
    EXPECT_EQ(config.productId, 0x0006);
    EXPECT_EQ(config.inputReportLength, 32u);
    EXPECT_EQ(config.outputReportLength, 16u);
    EXPECT_EQ(config.featureReportLength, 12u);
    EXPECT_FALSE(config.ownProtectedBytes);

    // Its own protected bytes differ from the defaults there and only there.
    ASSERT_TRUE(world().configure("standard:protected=own,standard:protected=defaults", &error)) << error;
    plugged = world().accessories();
    ASSERT_EQ(plugged.size(), 2u);
    EXPECT_TRUE(plugged[0]->config().ownProtectedBytes);
    const auto own = plugged[0]->page(device::kConfigurationPages[0]);
    const auto usual = plugged[1]->page(device::kConfigurationPages[0]);
    const std::size_t protectedAt = device::kProtectedRanges.front().start;
    EXPECT_NE(own[protectedAt], usual[protectedAt]);
    EXPECT_EQ(own[device::kStatusLedOffOffset], usual[device::kStatusLedOffOffset]);
}

TEST_F(SettingTest, NoneAndEmptyMeanNoAccessories) {
    for (const char *description : {"none", "", "  "}) {
        plug();
        std::string error;
        EXPECT_TRUE(world().configure(description, &error)) << description;
        EXPECT_TRUE(world().accessories().empty()) << description;
    }
}

TEST_F(SettingTest, BadTokenIsNamedAndNothingIsPlugged) {
    const struct {
        const char *description;
        const char *token;
    } cases[] = {
        {"standard,deluxe", "'deluxe'"},  {"x:colour=red", "'colour=red'"}, {"standard:fw=1.2", "'fw=1.2'"},
        {"standard:pid=xyz", "'pid=xyz'"}, {"standard:in=2", "'in=2'"},      {"standard,,x", "''"},
        {"none,standard", "'none'"},       {"1.2", "'1.2'"},                   {"x:fw", "'fw'"},
        {"x:protected=yes", "'protected=yes'"},
    };
    for (const auto &c : cases) {
        plug();
        std::string error;
        EXPECT_FALSE(world().configure(c.description, &error)) << c.description;
        EXPECT_NE(error.find(c.token), std::string::npos) << error;
        EXPECT_NE(error.find("valid forms"), std::string::npos) << error;
        EXPECT_TRUE(world().accessories().empty()) << c.description;
    }
}

}  // namespace
}  // namespace zelo::sim::test
