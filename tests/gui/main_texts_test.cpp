#include <gtest/gtest.h>

#include "main_texts.h"

namespace zelo::app {
namespace {

using device::DeviceVariant;

TEST(MainTexts, TitleCarriesTheSoftwareVersion) { EXPECT_EQ(L"ZE\u00B7LO v1.29", mainWindowTitle()); }

TEST(MainTexts, ConnectionTextFollowsTheVariant) {
    EXPECT_EQ(L"ZE\u00B7LO Connected (v1.24)", connectionText(DeviceVariant::Standard, L"Connected", L"1.24"));
    EXPECT_EQ(L"ZE\u00B7LO X Verbunden (v2.06)", connectionText(DeviceVariant::X, L"Verbunden", L"2.06"));
    EXPECT_FALSE(connectionText(DeviceVariant::Other, L"Connected", L"1.24"));
    // Catalogue texts are never taken as formats.
    EXPECT_EQ(L"ZE\u00B7LO %s%d (v1.24)", connectionText(DeviceVariant::Standard, L"%s%d", L"1.24"));
}

TEST(MainTexts, PercentText) {
    EXPECT_EQ(L"0 %", percentText(0));
    EXPECT_EQ(L"42 %", percentText(42));
    EXPECT_EQ(L"100 %", percentText(100));
}

}  // namespace
}  // namespace zelo::app
