#include "engine/ShiftJis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvorn {
namespace {

TEST(ShiftJis, NamesEachCharacterItCannotHoldOnce) {
    EXPECT_EQ(NotInShiftJis("5 µGy – é, cm² µ"), (std::vector<std::string>{"µ", "–", "é", "²"}));
    EXPECT_TRUE(NotInShiftJis("測定 1, 120 kV ①").empty());
    EXPECT_EQ(NotInShiftJis("a\xFFz"), std::vector<std::string>{"\xEF\xBF\xBD"})
        << "a byte that is not UTF-8";
}

// A cut never separates the two bytes of a double-byte character.
TEST(ShiftJis, PrefixEndsBetweenCharacters) {
    const std::string text = ToShiftJis("a測定");  // 1 + 2 + 2 bytes
    EXPECT_EQ(ShiftJisPrefix(text, 4), text.substr(0, 3));
    EXPECT_EQ(ShiftJisPrefix(text, 5), text);
    EXPECT_EQ(ShiftJisPrefix(text, 2), "a");
}

TEST(ShiftJis, UnreadableOrUtf8TextIsTold) {
    EXPECT_TRUE(ReadsAsShiftJis(ToShiftJis("測定 1, 120 kV")));
    EXPECT_TRUE(ReadsAsShiftJis("plain ASCII"));
    EXPECT_FALSE(ReadsAsShiftJis("測定 (UTF-8)"));
    EXPECT_FALSE(ReadsAsShiftJis("\x81"));  // a lead byte without its second byte
}

}  // namespace
}  // namespace halvorn
