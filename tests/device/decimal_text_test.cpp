// Version texts must read the same in the browser build, whose standard
// library has no floating-point from_chars, as with from_chars natively.
#include "decimal_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

using zelo::device::leadingDecimal;

// What the device side read before: blanks, tabs and plus signs skipped,
// then from_chars; 0 on failure.
double byFromChars(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '+')) text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0.0;
}

TEST(DecimalText, ReadsEveryVersionFormLikeFromChars) {
    const std::vector<std::string> texts = {
        "1.19", "2.06", "1.01", "1.0", "1.00", "0.99", "9.99", " 1.2", "\t+1.5", "+-1", "-1.5", "1.", ".5", ".",
        "", "abc", "1.2x", "1e2", "1.19e2", "1.2E+3", "1.2e-2", "1e", "1e+", "1.0e2x", "12345", "0007",
        "inf", "INF", "-inf", "Infinity", "nan", "NaN", "1e400", "1e-400", "1..2", "1.2.3", "v1.2",
        "2.06e2", "1.01e2", "0.1e2", "3.14159265358979323846e2"};
    for (const std::string &text : texts) {
        const double expected = byFromChars(text);
        const double read = leadingDecimal(text);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(read)) << text;
        } else {
            EXPECT_EQ(read, expected) << '"' << text << '"';
        }
    }
}

TEST(DecimalText, EveryFourCharacterVersionReadsExactly) {
    for (int major = 0; major <= 9; ++major) {
        for (int minor = 0; minor <= 99; ++minor) {
            const std::string text = std::to_string(major) + "." + (minor < 10 ? "0" : "") + std::to_string(minor);
            EXPECT_EQ(leadingDecimal(text + "e2"), byFromChars(text + "e2")) << text;
        }
    }
}

}  // namespace
