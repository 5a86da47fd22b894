#include "engine/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace halvorn {
namespace {

// Whatever a text holds, a message quoting it stays one line of printable text, and an excerpt is cut at
// a character, never inside one.
TEST(MessageText, OneLineAndShort) {
    EXPECT_EQ(OneLine("a\nb\r\tc\x1b[31m\x7f"), "a\\nb\\r\\tc\\x1B[31m\\x7F");
    EXPECT_EQ(OneLine("\xC2\x85 \xE2\x80\xA8 \xFF \xC3"), "\\u0085 \\u2028 \\xFF \\xC3");
    EXPECT_EQ(OneLine("半価層 µGy"), "半価層 µGy");
    EXPECT_EQ(Excerpt(std::string(300'000, 'x')), std::string(60, 'x') + "...");
    EXPECT_EQ(Excerpt("半価層です", 3), "半価層...");
    EXPECT_EQ(Excerpt("short"), "short");
}

}  // namespace
}  // namespace halvorn
