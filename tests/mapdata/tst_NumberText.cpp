#include "NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace {

struct FloatText {
    float value;
    const char* text;
};

class ShortFloatForm : public testing::TestWithParam<FloatText> {};

TEST_P(ShortFloatForm, WritesSixSignificantDigitsInTheGamesForm)
{
    EXPECT_EQ(shortFloatText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ShortFloatForm,
    testing::Values(FloatText{100.0f, "100"}, FloatText{-0.5f, "-0.5"}, FloatText{0.0001f, "0.0001"},
                    FloatText{0.00001f, "1E-005"}, FloatText{4.37114e-8f, "4.37114E-008"},
                    FloatText{1234567.0f, "1.23457E006"}, FloatText{0.0f, "0"}, FloatText{10.5f, "10.5"},
                    FloatText{-3.0f, "-3"}, FloatText{123456.0f, "123456"}, FloatText{999999.0f, "999999"},
                    FloatText{999999.5f, "1E006"}, FloatText{0.1f, "0.1"}, FloatText{33.3f, "33.3"},
                    FloatText{-1557.48f, "-1557.48"}, FloatText{3.80387e-10f, "3.80387E-010"},
                    FloatText{0.99999994f, "1"}, FloatText{1.0e-30f, "1E-030"},
                    FloatText{3.4028235e38f, "3.40282E038"}, FloatText{0.00012345678f, "0.000123457"},
                    FloatText{1.4e-45f, "1.4013E-045"}, FloatText{-0.0f, "-0"}));

class LongFloatForm : public testing::TestWithParam<FloatText> {};

TEST_P(LongFloatForm, WritesTheWidenedValueWithFifteenDigits)
{
    EXPECT_EQ(longFloatText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, LongFloatForm,
                         testing::Values(FloatText{100.0f, "100"}, FloatText{33.3f, "33.2999992370605"},
                                         FloatText{0.0f, "0"}, FloatText{150.0f, "150"}, FloatText{0.5f, "0.5"},
                                         FloatText{1e15f, "999999986991104"}, FloatText{1e16f, "1.00000002725642E16"},
                                         FloatText{0.0001f, "9.99999974737875E-5"},
                                         FloatText{-299.9f, "-299.899993896484"}));

// The written forms are those of the C library's "%.6g" and "%.15g" in the C locale, with
// the exponent written "E", without "+", and padded to three or one digits.
std::string gamesForm(const char* format, double value, int exponentDigits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    std::string text = buffer;
    const size_t e = text.find('e');
    if (e == std::string::npos)
        return text;
    const bool negative = text[e + 1] == '-';
    std::string digits = text.substr(e + 2);
    while (digits.size() > 1 && digits.front() == '0')
        digits.erase(0, 1);
    while (static_cast<int>(digits.size()) < exponentDigits)
        digits.insert(0, "0");
    return text.substr(0, e) + "E" + (negative ? "-" : "") + digits;
}

TEST(FloatForms, AgreeWithTheCLibraryOverRandomFloats)
{
    std::setlocale(LC_ALL, "C");
    std::mt19937 engine(20261208);
    for (int i = 0; i < 200000; ++i) {
        const float value = std::bit_cast<float>(static_cast<uint32_t>(engine()));
        if (!std::isfinite(value))
            continue;
        ASSERT_EQ(shortFloatText(value), gamesForm("%.6g", value, 3)) << std::bit_cast<uint32_t>(value);
        ASSERT_EQ(longFloatText(value), gamesForm("%.15g", value, 1)) << std::bit_cast<uint32_t>(value);
    }
}

TEST(FloatForms, WrittenTextReadsBackToTheSameText)
{
    std::mt19937 engine(42);
    for (int i = 0; i < 200000; ++i) {
        const float value = std::bit_cast<float>(static_cast<uint32_t>(engine()));
        if (!std::isfinite(value))
            continue;
        const std::string text = shortFloatText(value);
        const auto back = strictFloat(text);
        ASSERT_TRUE(back) << text;
        ASSERT_EQ(shortFloatText(*back), text);
        const std::string longText = longFloatText(value);
        const auto longBack = strictFloat(longText);
        ASSERT_TRUE(longBack) << longText;
        ASSERT_EQ(std::bit_cast<uint32_t>(*longBack), std::bit_cast<uint32_t>(value)) << longText;
    }
}

TEST(FloatForms, ValuesNoLineCanHoldAreWrittenAsZero)
{
    EXPECT_EQ(shortFloatText(std::numeric_limits<float>::quiet_NaN()), "0");
    EXPECT_EQ(shortFloatText(std::numeric_limits<float>::infinity()), "0");
    EXPECT_EQ(longFloatText(-std::numeric_limits<float>::infinity()), "0");
}

TEST(IntegerText, IsPlainDecimal)
{
    std::string text;
    appendInt(text, -2147483648LL);
    text += ' ';
    appendInt(text, 65535);
    EXPECT_EQ(text, "-2147483648 65535");
}

TEST(FixedFloatText, RoundsToTheGivenDecimals)
{
    EXPECT_EQ(fixedFloatText(1.5f, 3), "1.500");
    EXPECT_EQ(fixedFloatText(-20.0004f, 3), "-20.000");
    EXPECT_EQ(fixedFloatText(2.0006f, 3), "2.001");
    EXPECT_EQ(fixedFloatText(1e30f, 3).size(), 35u);
    EXPECT_EQ(fixedFloatText(std::numeric_limits<float>::quiet_NaN(), 3), "0");
}

TEST(NumberReaders, AcceptDecimalTextOnly)
{
    EXPECT_EQ(strictInt("42"), 42);
    EXPECT_EQ(strictInt("-7"), -7);
    EXPECT_EQ(strictInt("+7"), 7);
    EXPECT_EQ(strictInt("007"), 7);
    for (const char* bad : {"", "-", "+", "1.0", "1e3", "abc", "12a", " 1", "+-1", "0x10", "2147483648"})
        EXPECT_FALSE(strictInt(bad)) << bad;

    EXPECT_EQ(strictFloat("1.5"), 1.5f);
    EXPECT_EQ(strictFloat("-.5"), -0.5f);
    EXPECT_EQ(strictFloat("5."), 5.0f);
    EXPECT_EQ(strictFloat("+2"), 2.0f);
    EXPECT_EQ(strictFloat("1E-005"), 1e-5f);
    EXPECT_EQ(strictFloat("3.80387E-010"), 3.80387e-10f);
    EXPECT_EQ(strictFloat("1.23457E006"), 1234570.0f);
    EXPECT_EQ(strictFloat("1e-50"), 0.0f);
    for (const char* bad : {"", ".", "-", "1,5", "abc", "inf", "nan", "-inf", "infinity", "0x1p3", "1e39", "1.5f",
                            "+-1", "e5"})
        EXPECT_FALSE(strictFloat(bad)) << bad;

    EXPECT_EQ(lenientInt("x", 1), 1);
    EXPECT_EQ(lenientInt("", -1), -1);
    EXPECT_EQ(lenientInt("12", -1), 12);
    EXPECT_EQ(lenientFloat("abc", 100.0f), 100.0f);
    EXPECT_EQ(lenientFloat("2.25", 100.0f), 2.25f);
}

// The GUI toolkit sets the user's locale at start-up; under a decimal-comma locale the
// C library's conversions change, the map file's numbers must not.
TEST(NumberText, IgnoresADecimalCommaLocale)
{
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen)
        GTEST_SKIP() << "no decimal-comma locale is installed";
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5) << "the locale " << chosen << " does not use a decimal comma";

    EXPECT_EQ(shortFloatText(-1557.48f), "-1557.48");
    EXPECT_EQ(shortFloatText(4.37114e-8f), "4.37114E-008");
    EXPECT_EQ(longFloatText(33.3f), "33.2999992370605");
    EXPECT_EQ(strictFloat("10.5"), 10.5f);
    EXPECT_FALSE(strictFloat("10,5"));
    std::setlocale(LC_ALL, "C");
}

} // namespace
