// Writes the page's text module: for each of the program's languages (in
// its language dialog's order) its key, label and tag, every catalogue text
// in catalogue order and every page text by name. Run at build time:
//   zelo-web-texts <output.js>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "catalogue_table.h"
#include "language.h"
#include "page_texts.h"
#include "utf8.h"

namespace {

using nlohmann::json;

std::string text(std::u8string_view cell) { return std::string(cell.begin(), cell.end()); }

json languageJson(const zelo::i18n::Language &language) {
    json catalogue = json::array();
    for (std::size_t id = 0; id < zelo::i18n::kMessageCount; ++id) {
        catalogue.push_back(text(zelo::i18n::catalogueCell(static_cast<zelo::i18n::Msg>(id), language.column)));
    }
    json page = json::object();
    for (std::size_t id = 0; id < zelo::web::kPageTextCount; ++id) {
        const auto pageText = static_cast<zelo::web::PageText>(id);
        page[std::string(zelo::web::pageTextName(pageText))] = text(zelo::web::pageText(pageText, language.column));
    }
    return {{"key", language.key},
            {"label", zelo::i18n::narrowToUtf8(language.label)},
            {"tag", zelo::web::languageTag(language.column)},
            {"catalogue", catalogue},
            {"page", page}};
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelo-web-texts <output.js>\n");
        return 2;
    }
    json languages = json::array();
    for (const zelo::i18n::Language &language : zelo::i18n::languages()) languages.push_back(languageJson(language));
    std::ofstream out(argv[1], std::ios::trunc);
    out << "// Generated from tool/i18n's catalogue and web/texts/page_texts.cpp by zelo-web-texts; do not edit.\n"
        << "export const englishKey = " << zelo::i18n::kEnglishKey << ";\n"
        << "export const languages = " << languages.dump(1) << ";\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "zelo-web-texts: %s could not be written\n", argv[1]);
        return 1;
    }
    return 0;
}
