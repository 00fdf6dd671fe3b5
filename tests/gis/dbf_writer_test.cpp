#include "gis/dbf_writer.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "format_test_util.h"
#include "gis/gis_functions.h"
#include "test_support.h"

namespace itn {
namespace {

using test::Le16;
using test::Le32;
using test::ReadFile;
using test::TempDir;

// The three date bytes of a header written now: year - 1900, month, day.
std::string TodayBytes() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return std::string{static_cast<char>(t.tm_year & 0xFF), static_cast<char>(t.tm_mon + 1), static_cast<char>(t.tm_mday)};
}

std::string Descriptor(const std::string& name, char letter, uint8_t width, uint8_t decimals) {
    std::string d(32, '\0');
    d.replace(0, name.size(), name);
    d[11] = letter;
    d[16] = static_cast<char>(width);
    d[17] = static_cast<char>(decimals);
    return d;
}

TEST(DbfWriter, HeaderDescriptorsRecordsAndEndMarkerByteForByte) {
    TempDir dir;
    TGISWriteDBF w;
    w.FileName = dir / "net";
    w.StartHeader(2, otPline);
    w.AddField("RoadName", gfChar, 10, 0);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(1, false, "\"High St\",7");
    TFloatPointArrayEx ignored = test::Section({{1, 2}, {3, 4}});
    w.AddSection(1, ignored);
    w.AddObject(0, false, "\"A much longer name\",123456789012");
    w.AddPoint(5, 6, "\"\",-3");
    EXPECT_EQ(w.WrittenRecords(), 3);
    w.Close();

    const std::string dbf = ReadFile(dir / "net.dbf");
    std::string header(32, '\0');
    header[0] = 3;
    header.replace(1, 3, dbf.substr(1, 3));
    header[4] = 3;     // records
    header[8] = 97;    // header length 32 x 3 + 1
    header[10] = 22;   // record length 1 + 10 + 11
    header[29] = 0x03; // code page 1252
    const std::string expected = header + Descriptor("RoadName", 'C', 10, 0) + Descriptor("ID", 'N', 11, 0) + "\x0D" +
                                 " High St   " + std::string(10, ' ') + "7" + " A much lon12345678901" +
                                 " " + std::string(10 + 9, ' ') + "-3" + "\x1A";
    EXPECT_EQ(dbf.substr(1, 3), TodayBytes());
    EXPECT_EQ(dbf, expected);
}

TEST(DbfWriter, TypesWidthsAndValueCutting) {
    struct Case {
        std::string name;
        TGISField type;
        uint8_t width, decimals;
        std::string value;
        char letter;
        uint8_t stored_width, stored_decimals;
        std::string bytes;
    };
    const Case cases[] = {
        {"Short", gfChar, 5, 0, "abc", 'C', 5, 0, "abc  "},
        {"Cut", gfChar, 3, 0, "abcdef", 'C', 3, 0, "abc"},
        {"Latin", gfChar, 3, 0, "\xC3\xA9t\xC3\xA9", 'C', 3, 0, "\xE9t\xE9"},
        {"Wide", gfChar, 255, 0, "x", 'C', 254, 0, "x" + std::string(253, ' ')},
        {"Int", gfInteger, 3, 2, "42", 'N', 11, 0, "         42"},
        {"Small", gfSmallInt, 0, 0, "123456789", 'N', 6, 0, "123456"},
        {"Dec", gfDecimal, 8, 2, "3.14159", 'N', 8, 2, "    3.14"},
        {"DecCut", gfDecimal, 3, 0, "12345", 'N', 3, 0, "123"},
        {"DecEmpty", gfDecimal, 6, 2, "", 'N', 6, 2, "  0.00"},
        {"DecHalf", gfDecimal, 6, 2, "-0.125", 'N', 6, 2, " -0.13"},
        {"VU1", gfDecimal, 1, 0, "1", 'N', 1, 0, "1"},
        {"Float", gfFloat, 0, 0, "2.5", 'N', 20, 8, "          2.50000000"},
        {"Float2", gfFloat, 7, 1, "-1", 'N', 7, 1, "   -1.0"},
        {"LogT", gfLogical, 0, 0, "T", 'L', 1, 0, "T"},
        {"Logy", gfLogical, 0, 0, "y", 'L', 1, 0, "T"},
        {"LogTrue", gfLogical, 0, 0, "True", 'L', 1, 0, "T"},
        {"Log0", gfLogical, 0, 0, "0", 'L', 1, 0, "F"},
        {"LogEmpty", gfLogical, 0, 0, "", 'L', 1, 0, "F"},
        {"Date", gfDate, 0, 0, "20230415", 'D', 8, 0, "20230415"},
        {"DateHyph", gfDate, 0, 0, "2023-04-15", 'D', 8, 0, "        "},
        {"Time", gfTime, 0, 0, "123456789", 'C', 9, 0, "123456789"},
        {"TimeShort", gfTime, 0, 0, "1234", 'C', 9, 0, "         "},
        {"DateTime", gfDateTime, 0, 0, "20230415123456789", 'C', 17, 0, "20230415123456789"},
        {"DTEmpty", gfDateTime, 0, 0, "", 'C', 17, 0, std::string(17, ' ')},
    };
    const auto n = static_cast<int32_t>(std::size(cases));
    TempDir dir;
    TGISWriteDBF w;
    w.FileName = dir / "types";
    w.StartHeader(n, otNone);
    std::string attrib;
    for (const Case& c : cases) {
        w.AddField(c.name, c.type, c.width, c.decimals);
        attrib += (attrib.empty() ? "\"" : ",\"") + c.value + "\"";
    }
    for (int32_t i = 1; i <= n; ++i) {
        EXPECT_EQ(w.FieldInfo()[i].Width, cases[i - 1].stored_width) << cases[i - 1].name;
        EXPECT_EQ(w.FieldInfo()[i].decimals, cases[i - 1].stored_decimals) << cases[i - 1].name;
    }
    w.AddObject(0, false, attrib);
    w.Close();

    const std::string dbf = ReadFile(dir / "types.dbf");
    size_t at = Le16(dbf, 8) + 1;
    ASSERT_EQ(dbf[at - 1], ' ');
    for (int32_t i = 1; i <= n; ++i) {
        const Case& c = cases[i - 1];
        EXPECT_EQ(dbf.substr(32 * i, 32), Descriptor(c.name, c.letter, c.stored_width, c.stored_decimals)) << c.name;
        EXPECT_EQ(dbf.substr(at, c.bytes.size()), c.bytes) << c.name;
        at += c.stored_width;
    }
    EXPECT_EQ(at, dbf.size() - 1);
    EXPECT_EQ(Le16(dbf, 10), at - Le16(dbf, 8));
}

TEST(DbfWriter, LongFieldNameKeepsTenBytes) {
    TempDir dir;
    TGISWriteDBF w;
    w.FileName = dir / "names";
    w.StartHeader(1, otNone);
    w.AddField("descriptiveTerm", gfChar, 40, 0);
    w.Close();
    const std::string dbf = ReadFile(dir / "names.dbf");
    EXPECT_EQ(dbf.substr(32, 12), std::string("descriptiv\0C", 12));
    EXPECT_EQ(dbf.size(), 66u);  // 65-byte header and the end marker
    EXPECT_EQ(Le32(dbf, 4), 0u);
}

TEST(DbfWriter, LanguageDriverFollowsTheCodePage) {
    TempDir dir;
    const std::pair<uint16_t, uint8_t> cases[] = {{1252, 0x03}, {850, 0x02}, {1250, 0x9B}, {65001, 0x00}};
    for (const auto& [codepage, driver] : cases) {
        TGISWriteDBF w;
        w.SetCodepage(codepage);
        w.FileName = dir / ("cp" + std::to_string(codepage));
        w.StartHeader(1, otNone);
        w.AddField("A", gfChar, 1, 0);
        w.Close();
        EXPECT_EQ(static_cast<uint8_t>(ReadFile(w.FileName + ".dbf")[29]), driver) << codepage;
    }
}

TEST(DbfWriter, FailuresLeaveTheRecordFlagAndAClearMessage) {
    TempDir dir;
    TGISWriteDBF w;
    w.FileName = dir / "bad";
    w.StartHeader(2, otNone);
    w.AddField("A", gfInteger, 0, 0);
    w.AddField("B", gfDecimal, 5, 1);
    try {
        w.AddObject(0, false, "1,2,3");
        FAIL() << "a wrong value count must raise";
    } catch (const EGISWriteError& e) {
        EXPECT_STREQ(e.what(),
                     "Number of values must match number of fields. NumVal = 3, NumFields = 2, string = \"1,2,3\"");
    }
    try {
        w.AddObject(0, false, "1,abc");
        FAIL() << "a decimal that is not a number must raise";
    } catch (const EGISWriteError& e) {
        EXPECT_STREQ(e.what(), "\"abc\" is not a valid number for the field B");
    }
    w.Close();
    const std::string dbf = ReadFile(dir / "bad.dbf");
    EXPECT_EQ(dbf.substr(97), "  \x1A");  // two flag bytes, no values
    EXPECT_EQ(Le32(dbf, 4), 2u);
}

TEST(DbfWriter, RecordsBeforeTheLastFieldAreRefused) {
    TempDir dir;
    TGISWriteDBF w;
    w.FileName = dir / "early";
    w.StartHeader(2, otNone);
    w.AddField("A", gfInteger, 0, 0);
    EXPECT_THROW(w.AddObject(0, false, "1,2"), EGISWriteError);
}

TEST(DbfWriter, DropDeletesTheTable) {
    TempDir dir;
    TGISWriteDBF w;
    w.FileName = dir / "gone";
    w.StartHeader(1, otNone);
    w.AddField("A", gfInteger, 0, 0);
    w.AddObject(0, false, "1");
    w.Drop();
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.dbf"));
}

TEST(FormatFixedNumber, RightAlignedRoundedAndCut) {
    struct Case {
        int width, decimals;
        double value;
        std::string text;
    };
    const Case cases[] = {
        {8, 2, 3.14159, "    3.14"}, {3, 0, 12345, "123"},       {6, 2, 0, "  0.00"},
        {6, 2, -0.125, " -0.13"},    {6, 2, 0.125, "  0.13"},    {6, 2, 2.675, "  2.68"},
        {6, 2, -0.001, "  0.00"},    {4, 0, 9.5, "  10"},        {4, 0, 99.5, " 100"},
        {1, 0, 1, "1"},              {11, 0, -42, "        -42"}, {20, 8, 530000.25, "     530000.25000000"},
        {5, 1, 0.04, "  0.0"},       {5, 1, 0.05, "  0.1"},      {12, 3, 1e-20, "       0.000"},
        {5, 0, 1e20, "10000"},
    };
    for (const Case& c : cases) {
        std::string out(static_cast<size_t>(c.width), '#');
        FormatFixedNumber(c.width, c.decimals, out.data(), c.value);
        EXPECT_EQ(out, c.text) << c.value << " " << c.width << "." << c.decimals;
    }
}

TEST(FormatFixedNumber, DecimalTextGivesTheSameBytesAsTheNumber) {
    const char* const texts[] = {"0",     "-0",       "0.125",  "2.675",     "-999.995", "12345", "0.0001",
                                 "000123.4500", "+7", ".5",     "5.",        "-0.001",   "99.5",  "1",
                                 "123456789012345", "0.000000000000000000001234", "100000000000000000000000",
                                 "-42", "-12345", "7"};
    for (const char* text : texts) {
        double value = 0;
        ASSERT_TRUE(TryStrToFloatInv(text, value)) << text;
        for (int width : {1, 3, 6, 11, 20, 40}) {
            for (int decimals : {0, 1, 2, 8}) {
                std::string from_text(static_cast<size_t>(width), '#'), from_number(static_cast<size_t>(width), '#');
                EXPECT_TRUE(FormatFixedDecimalText(width, decimals, from_text.data(), text)) << text;
                FormatFixedNumber(width, decimals, from_number.data(), value);
                EXPECT_EQ(from_text, from_number) << text << " " << width << "." << decimals;
            }
        }
    }
    // Other notations are left to the number route.
    for (const char* text : {"", "-", ".", "1e3", "abc", "1.2.3", " 1", "1234567890123456", "0x1", "inf"}) {
        std::string out = "######";
        EXPECT_FALSE(FormatFixedDecimalText(6, 2, out.data(), text)) << text;
        EXPECT_EQ(out, "######") << text;
    }
}

TEST(CodepageToLanguageDriver, KnownAndUnknownCodePages) {
    const std::pair<int, uint8_t> cases[] = {{437, 0x01},  {1252, 0x03}, {10000, 0x04}, {932, 0x13}, {866, 0x26},
                                             {874, 0x50},  {1255, 0x7D}, {862, 0x85},   {10006, 0x98}, {1251, 0xC9},
                                             {1253, 0xCB}, {65001, 0},   {28591, 0},    {0, 0}};
    for (const auto& [codepage, driver] : cases) EXPECT_EQ(CodepageToLanguageDriver(codepage), driver) << codepage;
}

TEST(TryStrToFloatInv, AcceptsDecimalNotationOnly) {
    const std::pair<const char*, double> good[] = {{"3.5", 3.5}, {"-2", -2}, {"+4", 4}, {".5", 0.5},
                                                   {"5.", 5},    {"1e3", 1000}, {" 7 ", 7}};
    for (const auto& [text, value] : good) {
        double v = 0;
        EXPECT_TRUE(TryStrToFloatInv(text, v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    for (const char* text : {"", "abc", "1,5", "inf", "nan", "0x10", "1 2", "--1", "1e999"}) {
        double v = 0;
        EXPECT_FALSE(TryStrToFloatInv(text, v)) << text;
    }
}

}  // namespace
}  // namespace itn
