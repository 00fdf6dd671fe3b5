#include "gis/gis_functions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace itn {
namespace {

TEST(FloatToStrInv, FifteenSignificantDigitsShortestForm) {
    const std::pair<double, const char*> cases[] = {
        {12.5, "12.5"},
        {-2, "-2"},
        {0.25, "0.25"},
        {0, "0"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {530123.45, "530123.45"},
        {180234.1, "180234.1"},
        {123456789012345.6, "123456789012346"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {0.00001, "1E-5"},
        {-1.5e-7, "-1.5E-7"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {9999999999999999.0, "1E16"},
        {100, "100"},
        {1e14, "100000000000000"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FloatToStrInv(value), text) << value;
}

TEST(FloatToStrInv, IgnoresTheProcessLocale) {
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!german) german = std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(FloatToStrInv(1234.5), "1234.5");
    std::setlocale(LC_ALL, "C");
}

TEST(CodepageToCharsetName, KnownAndUnknownPages) {
    const std::pair<int, const char*> cases[] = {
        {437, "CodePage437"}, {869, "CodePage869"}, {862, "Unknown CodePage"}, {932, "WindowsJapanese"},
        {936, "WindowsSimpChinese"}, {949, "WindowsKorean"}, {950, "WindowsTradChinese"},
        {1250, "WindowsLatin2"}, {1251, "WindowsCyrillic"}, {1252, "WindowsLatin1"}, {1253, "WindowsGreek"},
        {1254, "WindowsTurkish"}, {1255, "WindowsHebrew"}, {1256, "WindowsArabic"}, {1257, "Unknown CodePage"},
        {28591, "ISO8859_1"}, {28599, "ISO8859_9"}, {28600, "Unknown CodePage"}, {51932, "PackedEUCJapanese"},
        {65001, "UTF-8"}, {0, "Unknown CodePage"},
    };
    for (const auto& [cp, name] : cases) EXPECT_EQ(CodepageToCharsetName(cp), name) << cp;
}

TEST(TextHelpers, IsTrueTextXmlEscapeToAnsiRgb) {
    for (const char* t : {"1", "True", "Y", "t", "yes"}) EXPECT_TRUE(IsTrueText(t)) << t;
    for (const char* t : {"", "0", "F", "False", "N", " T"}) EXPECT_FALSE(IsTrueText(t)) << t;

    EXPECT_EQ(XmlEscape("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
    EXPECT_EQ(XmlEscape("St Mary\xE2\x80\x99s"), "St Mary\xE2\x80\x99s");

    EXPECT_EQ(ToAnsi("Caf\xC3\xA9 \xE2\x98\x83", 1252), "Caf\xE9 ?");
    EXPECT_EQ(RgbValue(0x000000FF), 16711680u);
    EXPECT_EQ(RgbValue(0x00123456), 0x563412u);
}

// Characters XML 1.0 does not allow are left out, and the caller learns of it; tab, line feed
// and carriage return, and other characters from 0xEF on, stay.
TEST(TextHelpers, XmlEscapeLeavesOutWhatXmlForbids) {
    const struct {
        std::string in, out;
        bool kept;
    } cases[] = {
        {"plain & <simple>", "plain &amp; &lt;simple&gt;", true},
        {"tab\tline\ncr\r", "tab\tline\ncr\r", true},
        {std::string("nul\0byte", 8), "nulbyte", false},
        {"B\x01 Road\x1b[2J\x1f", "B Road[2J", false},
        {"a\xEF\xBF\xBE" "b\xEF\xBF\xBF<", "ab&lt;", false},
        {"\xEF\xBF\xBD replacement, \xEF\xBC\x81 fullwidth", "\xEF\xBF\xBD replacement, \xEF\xBC\x81 fullwidth", true},
        {"cut \xEF\xBF", "cut \xEF\xBF", true},
        {"\x7F delete", "\x7F delete", true},
    };
    for (const auto& c : cases) {
        std::string out = "[";
        EXPECT_EQ(AppendXmlEscape(out, c.in), c.kept) << c.in;
        EXPECT_EQ(out, "[" + c.out) << c.in;
        EXPECT_EQ(XmlEscape(c.in), c.out);
    }
}

TEST(GreatCircleAngle, QuarterCircleAndIdentity) {
    EXPECT_NEAR(GreatCircleAngle({0, 0}, {90, 0}), M_PI / 2, 1e-12);
    EXPECT_NEAR(GreatCircleAngle({0, 0}, {0, 10}), 10 * M_PI / 180, 1e-12);
    EXPECT_EQ(GreatCircleAngle({5, 5}, {5, 5}), 0);
}

}  // namespace
}  // namespace itn
