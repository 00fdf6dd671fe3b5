#include "gis/array_writer.h"

#include <gtest/gtest.h>

#include "format_test_util.h"

namespace itn {
namespace {

using namespace std::chrono;
using test::Section;

TEST(ArrayWriter, TypedValuesSectionsAndBoundingRectangle) {
    auto w = std::make_unique<TGISWriteArray>();
    ASSERT_NE(w->GISarray, nullptr);
    w->StartHeader(9, otPline);
    w->AddField("Name", gfChar, 20, 0);
    w->AddField("ID", gfInteger, 0, 0);
    w->AddField("H", gfSmallInt, 0, 0);
    w->AddField("Len", gfDecimal, 8, 2);
    w->AddField("F", gfFloat, 0, 0);
    w->AddField("Open", gfLogical, 0, 0);
    w->AddField("Since", gfDate, 0, 0);
    w->AddField("At", gfTime, 0, 0);
    w->AddField("Stamp", gfDateTime, 0, 0);
    w->AddObject(2, false, "\"High St\",7,-3,2.5,1e3,y,20240229,235958999,20230415123456789");
    auto a = Section({{1, 2}, {3, -4}});
    auto b = Section({{-5, 6}, {7, 8}, {9, 10}});
    w->AddSection(1, a);
    w->AddSection(1, b);
    w->AddObject(0, false, ",0,0,0,0,F,,12:34,");
    w->Close();

    const TGISArray& arr = *w->GISarray;
    EXPECT_EQ(arr.OT, otPline);
    ASSERT_EQ(arr.Field.size(), 9u);
    EXPECT_EQ(arr.Field[0].Name, "Name");
    EXPECT_EQ(arr.Field[8].FieldType, gfDateTime);
    ASSERT_EQ(arr.RecCount, 2);
    const TRec& r = arr.Rec[0];
    ASSERT_EQ(r.Attr.size(), 9u);
    EXPECT_EQ(std::get<std::string>(r.Attr[0]), "High St");
    EXPECT_EQ(std::get<int32_t>(r.Attr[1]), 7);
    EXPECT_EQ(std::get<int32_t>(r.Attr[2]), -3);
    EXPECT_EQ(std::get<double>(r.Attr[3]), 2.5);
    EXPECT_EQ(std::get<double>(r.Attr[4]), 1000);
    EXPECT_EQ(std::get<bool>(r.Attr[5]), true);
    EXPECT_EQ(std::get<year_month_day>(r.Attr[6]), 2024y / February / 29d);
    EXPECT_EQ(std::get<TGISTime>(r.Attr[7]), 23h + 59min + 58s + 999ms);
    EXPECT_EQ(std::get<TGISDateTime>(r.Attr[8]), local_days{2023y / April / 15d} + 12h + 34min + 56s + 789ms);
    ASSERT_EQ(r.Coord.size(), 2u);
    EXPECT_EQ(r.Coord[0], (TFloatPointArray{{1, 2}, {3, -4}}));
    EXPECT_EQ(r.Coord[1], (TFloatPointArray{{-5, 6}, {7, 8}, {9, 10}}));
    EXPECT_EQ(arr.MBR.xmin, -5);
    EXPECT_EQ(arr.MBR.ymin, -4);
    EXPECT_EQ(arr.MBR.xmax, 9);
    EXPECT_EQ(arr.MBR.ymax, 10);

    // Dates and times of the wrong length are stored as no value, never as a date.
    const TRec& e = arr.Rec[1];
    EXPECT_TRUE(e.Coord.empty());
    EXPECT_EQ(std::get<std::string>(e.Attr[0]), "");
    EXPECT_EQ(std::get<bool>(e.Attr[5]), false);
    for (int i : {6, 7, 8}) EXPECT_TRUE(std::holds_alternative<std::monostate>(e.Attr[i])) << i;

    w->Drop();
    EXPECT_EQ(w->GISarray->RecCount, 0);
    EXPECT_TRUE(w->GISarray->Rec.empty());
    EXPECT_TRUE(w->GISarray->Field.empty());
}

TEST(ArrayWriter, ValuesThatDoNotConvertRaise) {
    struct Case {
        TGISField type;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {gfInteger, "abc", "\"abc\" is not a valid integer for the field V"},
        {gfSmallInt, "", "\"\" is not a valid integer for the field V"},
        {gfInteger, "99999999999", "\"99999999999\" is not a valid integer for the field V"},
        {gfDecimal, "1,5", "\"1,5\" is not a valid number for the field V"},
        {gfDate, "20230230", "\"20230230\" is not a valid date for the field V"},
        {gfDate, "2023041x", "\"2023041x\" is not a valid date for the field V"},
        {gfTime, "246000000", "\"246000000\" is not a valid time for the field V"},
        {gfDateTime, "20231301000000000", "\"20231301000000000\" is not a valid date and time for the field V"},
    };
    for (const Case& c : cases) {
        TGISWriteArray w;
        w.StartHeader(1, otNone);
        w.AddField("V", c.type, 10, 0);
        try {
            w.AddObject(0, false, std::string("\"") + c.value + "\"");
            ADD_FAILURE() << c.value << " must raise";
        } catch (const EGISWriteError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(ArrayWriter, RecordArrayGrowsInSteps) {
    TGISWriteArray w;
    w.StartHeader(1, otPoint);
    w.AddField("ID", gfInteger, 0, 0);
    const TGISArray& arr = *w.GISarray;
    // Record count -> slots after it: the first allocation holds 49, then +50 until 30 % is more.
    const std::pair<int, size_t> steps[] = {{1, 49},   {47, 49},  {48, 98},  {96, 98},  {97, 147},
                                            {146, 196}, {195, 253}, {252, 327}, {326, 423}};
    int written = 0;
    for (const auto& [records, slots] : steps) {
        for (; written < records; ++written) w.AddPoint(written, -written, std::to_string(written + 1));
        EXPECT_EQ(arr.Rec.size(), slots) << records;
    }
    EXPECT_EQ(arr.RecCount, 326);
    EXPECT_EQ(std::get<int32_t>(arr.Rec[325].Attr[0]), 326);
    EXPECT_EQ(arr.Rec[325].Coord, (std::vector<TFloatPointArray>{{{325, -325}}}));
    EXPECT_EQ(arr.MBR.xmax, 325);
    EXPECT_EQ(arr.MBR.ymin, -325);
    w.AddLine(0, 0, 1, 1, "1");  // not a point: ignored by a point file
    EXPECT_EQ(arr.RecCount, 326);
}

}  // namespace
}  // namespace itn
