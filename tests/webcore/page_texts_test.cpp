// The page's own texts: every one in all seven languages, each translation
// keeping the markers the page fills, and names the page can look up.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "page_texts.h"

namespace zelo::web {
namespace {

using i18n::Column;

std::string textOf(PageText id, Column column) {
    const std::u8string_view cell = pageText(id, column);
    return std::string(cell.begin(), cell.end());
}

std::multiset<std::string> markersOf(const std::string &text) {
    static const std::regex marker(R"(\[[A-Z0-9]+\])");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), marker); it != std::sregex_iterator(); ++it) {
        found.insert(it->str());
    }
    return found;
}

TEST(PageTexts, EveryTextIsInEveryLanguageWithTheMarkersOfTheEnglishOne) {
    for (std::size_t id = 0; id < kPageTextCount; ++id) {
        const auto text = static_cast<PageText>(id);
        const auto english = markersOf(textOf(text, Column::English));
        for (std::size_t column = 0; column < i18n::kColumnCount; ++column) {
            const std::string cell = textOf(text, static_cast<Column>(column));
            EXPECT_FALSE(cell.empty()) << pageTextName(text) << " in column " << column;
            EXPECT_EQ(english, markersOf(cell)) << pageTextName(text) << " in column " << column << ": " << cell;
        }
    }
}

TEST(PageTexts, NamesAndLanguageTagsAreUniqueAndUsableByThePage) {
    std::set<std::string_view> names;
    const std::regex identifier("[a-z][A-Za-z0-9]*");
    for (std::size_t id = 0; id < kPageTextCount; ++id) {
        const std::string_view name = pageTextName(static_cast<PageText>(id));
        EXPECT_TRUE(std::regex_match(std::string(name), identifier)) << name;
        EXPECT_TRUE(names.insert(name).second) << name << " twice";
    }
    std::set<std::string_view> tags;
    for (std::size_t column = 0; column < i18n::kColumnCount; ++column) {
        const std::string_view tag = languageTag(static_cast<Column>(column));
        EXPECT_EQ(2u, tag.size()) << column;
        EXPECT_TRUE(tags.insert(tag).second) << tag << " twice";
    }
    EXPECT_EQ("en", languageTag(Column::English));
    EXPECT_TRUE(pageText(PageText::Count, Column::English).empty());
}

}  // namespace
}  // namespace zelo::web
