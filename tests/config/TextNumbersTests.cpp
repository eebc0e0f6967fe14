#include "config/TextNumbers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct TextCase {
    const char* text;
    std::int32_t expected;
};

class TextToIntTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextToIntTest, ReadsTheLeadingInteger) {
    EXPECT_EQ(TextToInt(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(IniValues, TextToIntTest,
                         testing::Values(TextCase{"80", 80}, TextCase{"８０", 80}, TextCase{"－１５", -15},
                                         TextCase{"＋7", 7}, TextCase{"　 42", 42}, TextCase{"  \t-3", -3},
                                         TextCase{"+0", 0}, TextCase{"12abc", 12}, TextCase{"1２3", 123},
                                         TextCase{"770.5", 770}, TextCase{"", 0}, TextCase{"abc", 0},
                                         TextCase{"-", 0}, TextCase{"- 5", 0}, TextCase{"真", 0},
                                         TextCase{"007", 7}, TextCase{"2147483647", INT_MAX},
                                         TextCase{"-2147483648", INT_MIN}, TextCase{"99999999999", INT_MAX},
                                         TextCase{"-99999999999", INT_MIN}, TextCase{"2147483648", INT_MAX},
                                         TextCase{"-2147483649", INT_MIN},
                                         TextCase{"000000000000000000000012", 12}));

TEST(IntToText, WritesSignedDecimal) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-1), "-1");
    EXPECT_EQ(IntToText(16777215), "16777215");
    EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
}

TEST(IntToText, RoundTripsThroughTextToInt) {
    for (std::int32_t value : {INT_MIN, -50, -1, 0, 1, 80, 255, 9492264, INT_MAX})
        EXPECT_EQ(TextToInt(IntToText(value)), value);
}

TEST(RealToText, KeepsThirteenDigitsWithoutTrailingZeros) {
    EXPECT_EQ(RealToText(770.0), "770");
    EXPECT_EQ(RealToText(492.5), "492.5");
    EXPECT_EQ(RealToText(-190.0), "-190");
}

} // namespace
