#include "program_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue.h"
#include "messages.h"

namespace zelo::runner {
namespace {

using i18n::Column;
using i18n::Msg;

const std::wstring kProduct = L"ZE\u00B7LO ";

TEST(RunnerTexts, ConnectedStatusInEveryLanguageAndModel) {
    for (std::size_t column = 0; column < i18n::kColumnCount; ++column) {
        const std::wstring connected = i18n::textIn(Msg::Connected, static_cast<Column>(column));
        EXPECT_TRUE(showsConnection(kProduct + connected + L" (v1.19)")) << "column " << column;
        EXPECT_TRUE(showsConnection(kProduct + L"X " + connected + L" (v2.06)")) << "column " << column;
    }
}

TEST(RunnerTexts, DisconnectedOrForeignTextsAreNotAConnection) {
    for (std::size_t column = 0; column < i18n::kColumnCount; ++column) {
        const std::wstring disconnected = i18n::textIn(Msg::Disconnected, static_cast<Column>(column));
        EXPECT_FALSE(showsConnection(disconnected)) << "column " << column;
        // No language's "disconnected" may read as another's "connected".
        EXPECT_FALSE(showsConnection(kProduct + disconnected)) << "column " << column;
    }
    EXPECT_FALSE(showsConnection(L""));
    EXPECT_FALSE(showsConnection(L"Connected (v1.19)"));
    EXPECT_FALSE(showsConnection(L"ZE\u00B7LO"));
}

TEST(RunnerTexts, DisconnectedStatusInEveryLanguageOnly) {
    for (std::size_t column = 0; column < i18n::kColumnCount; ++column) {
        const std::wstring disconnected = i18n::textIn(Msg::Disconnected, static_cast<Column>(column));
        EXPECT_TRUE(showsDisconnection(disconnected)) << "column " << column;
        const std::wstring connected = i18n::textIn(Msg::Connected, static_cast<Column>(column));
        EXPECT_FALSE(showsDisconnection(kProduct + connected + L" (v1.19)")) << "column " << column;
    }
    // Before the program first sets its status the bar is empty.
    EXPECT_FALSE(showsDisconnection(L""));
}

TEST(RunnerTexts, LanguageDialogTitle) {
    EXPECT_TRUE(isLanguageDialogTitle(L"Language"));
    EXPECT_TRUE(isLanguageDialogTitle(i18n::textIn(Msg::Language, Column::German)));
    EXPECT_FALSE(isLanguageDialogTitle(L"ZE\u00B7LO v1.29"));
    EXPECT_FALSE(isLanguageDialogTitle(L"Language "));
    EXPECT_FALSE(isLanguageDialogTitle(L""));
}

}  // namespace
}  // namespace zelo::runner
