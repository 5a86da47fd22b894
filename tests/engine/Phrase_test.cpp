#include "engine/Phrase.h"

#include <gtest/gtest.h>

namespace halvorn {
namespace {

// Each %N takes its value wherever the pattern puts it, as often as it stands there, in one pass: a value
// holding "%2" stays as it is, and a % without a value to take is copied.
TEST(FillPattern, PutsEachValueWhereItsNumberStands) {
    EXPECT_EQ(FillPattern("%2 と %1、%1 %3 100%", {"a%2", "b"}), "b と a%2、a%2 %3 100%");
    EXPECT_EQ(Filled({"c", "%1", {}}), "%1");
}

}  // namespace
}  // namespace halvorn
