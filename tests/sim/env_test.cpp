// The world configures itself from ZELO_SIMULATOR when first used; ctest
// runs this program once with a good and once with a bad setting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "zelo_sim/sim.h"

namespace zelo::sim::test {
namespace {

TEST(Environment, GoodSettingPlugsItsAccessories) {
    ASSERT_STREQ(std::getenv("ZELO_SIMULATOR"), "standard:fw=1.20,x");
    const auto plugged = World::instance().accessories();
    ASSERT_EQ(plugged.size(), 2u);
    EXPECT_EQ(plugged[0]->firmwareVersion(), "1.20");
    EXPECT_EQ(plugged[1]->loaderVersion(), "1.01");
}

TEST(Environment, BadSettingPlugsNothing) {
    ASSERT_STREQ(std::getenv("ZELO_SIMULATOR"), "standard,deluxe");
    EXPECT_TRUE(World::instance().accessories().empty());
}

}  // namespace
}  // namespace zelo::sim::test
