#include "update_response.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zelo::app {
namespace {

// Exactly the received bytes with nothing after them, so that reading past
// the end is caught by the address sanitizer.
std::optional<UpdateOffer> parse(const std::string &text) {
    const std::vector<char> bytes(text.begin(), text.end());
    return parseUpdateResponse(bytes);
}

TEST(UpdateResponse, ReadsTheHeadersOfWhichVersionAndUpdateAreRequired) {
    const auto offer = parse("HTTP/1.1 200 OK\r\nX-QX-ver: 1.30\r\nX-QX-update: true\r\n"
                             "X-QX-text: Line one\xA7Line two\r\nContent-Length: 0\r\n\r\n");
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->version, "1.30");
    EXPECT_EQ(offer->update, "true");
    EXPECT_EQ(offer->text, "Line one\nLine two");
    EXPECT_FALSE(parse("X-QX-update: true\r\n"));
    EXPECT_FALSE(parse("X-QX-ver: 1.30\r\n"));
    EXPECT_EQ(parse("X-QX-ver: 1.30\r\nX-QX-update: false\r\n").value().text, "");
}

TEST(UpdateResponse, LineEndsBlanksAndEmptyValues) {
    const UpdateOffer bare = parse("X-QX-ver: 1.30\nX-QX-update:true\n").value();
    EXPECT_EQ(bare.version, "1.30");  // a bare line feed costs no character
    EXPECT_EQ(bare.update, "true");    // no blank to skip
    const UpdateOffer empty = parse("X-QX-ver:\r\nX-QX-update: \r\nX-QX-text:\n").value();
    EXPECT_EQ(empty.version + empty.update + empty.text, "");
}

TEST(UpdateResponse, OverlongValuesAreCutToTheirLimits) {
    const UpdateOffer offer = parse("X-QX-ver: 1234567890123\r\nX-QX-update: truetruetrue\r\nX-QX-text: " +
                                    std::string(2 * kTextValueLimit, 'x'))
                                  .value();
    EXPECT_EQ(offer.version, "123456789");
    EXPECT_EQ(offer.update, "truetruet");
    EXPECT_EQ(offer.text.size(), kTextValueLimit);
}

TEST(UpdateResponse, BufferEndsAndNulBytesEndTheText) {
    std::string full = "X-QX-update: TRUE\r\nX-QX-ver: 1.31";
    full.insert(0, kResponseBufferSize - full.size(), ' ');  // a whole receive buffer, no NUL in it
    EXPECT_EQ(parse(full).value().version, "1.31");
    EXPECT_EQ(parse("X-QX-ver: 1\r\nX-QX-update:").value().update, "");
    EXPECT_FALSE(parse("X-QX-ver: 1.31\r\nX-QX-upd"));
    EXPECT_FALSE(parse(std::string("X-QX-ver: 1.30\r\n\0X-QX-update: true\r\n", 37)));
    EXPECT_EQ(parse(std::string("X-QX-update: true\r\nX-QX-ver: 1.\0" "30\r\n", 33)).value().version, "1.");
}

TEST(UpdateResponse, SurvivesArbitraryBytes) {
    std::uint32_t state = 12345;
    std::string garbage(10 * 1024, ' ');
    for (char &c : garbage) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
        if (c == '\0') c = '\n';
    }
    garbage += "X-QX-ver:X-QX-update:X-QX-text:\r";
    const auto offer = parse(garbage);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->version, "X-QX-upda");
    EXPECT_EQ(offer->text, "");  // a carriage return cut off from its line feed is still a line end
}

TEST(UpdateResponse, UpdateIsTrueInAnyCaseOnly) {
    for (const char *yes : {"true", "TRUE", "tRuE"}) EXPECT_TRUE(offersUpdate({"1.30", yes, ""})) << yes;
    for (const char *no : {"", "tru", "truex", " true"}) EXPECT_FALSE(offersUpdate({"1.30", no, ""})) << no;
}

TEST(OfferPrompt, FillsCurrentAndLatestVersion) {
    EXPECT_EQ(fillOfferPrompt(L"Current software version is %.2f\r\nLatest version is %s", 1.29, L"1.30"),
              L"Current software version is 1.29\r\nLatest version is 1.30");
    EXPECT_EQ(fillOfferPrompt(L"100%% %s, %d %.2f%", 1.5, L"x"), L"100% x, %d 1.50%");
}

}  // namespace
}  // namespace zelo::app
