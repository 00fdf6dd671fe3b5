#include "roadjob/job_options.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace itn {
namespace {

// The numbers are those the settings file stores: they must never move.
TEST(OutputFormatTest, NumberingNamesAndWriters) {
    struct Case {
        TOutputFormat format;
        int32_t number;
        std::string cliName, label;
        TGISFormat writer;
    };
    const Case cases[] = {
        {TOutputFormat::Mif, 0, "mif", "MIF", gfMIF},          {TOutputFormat::Shp, 1, "shp", "SHP", gfSHP},
        {TOutputFormat::Tab, 2, "tab", "TAB", gfMITAB},        {TOutputFormat::Gml2, 3, "gml2", "GML 2", gfGML2},
        {TOutputFormat::Kml, 4, "kml", "", gfKML2},            {TOutputFormat::GeoJson, 5, "geojson", "", gfGeoJSON},
        {TOutputFormat::Csv, 6, "csv", "", gfCSV},
    };
    ASSERT_EQ(OutputFormats().size(), std::size(cases));
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<int32_t>(c.format), c.number) << c.cliName;
        const TOutputFormatInfo& info = FormatInfo(c.format);
        EXPECT_EQ(info.Format, c.format) << c.cliName;
        EXPECT_EQ(info.CliName, c.cliName);
        EXPECT_EQ(info.Label, c.label) << c.cliName;
        EXPECT_EQ(info.Writer, c.writer) << c.cliName;
        EXPECT_FALSE(info.Extensions.empty()) << c.cliName;
    }
    // A stored number that names no format gives MIF rather than reading past the table.
    EXPECT_EQ(FormatInfo(static_cast<TOutputFormat>(7)).Format, TOutputFormat::Mif);
    EXPECT_EQ(FormatInfo(static_cast<TOutputFormat>(-1)).Format, TOutputFormat::Mif);
}

TEST(JobOptionTest, EachOptionOnceWithItsDefault) {
    std::set<std::string> flags, keys, widgets;
    for (size_t i = 0; i < JobOptions().size(); ++i) {
        const TJobOption& option = JobOptions()[i];
        EXPECT_EQ(static_cast<size_t>(option.Id), i) << option.CliFlag;
        EXPECT_TRUE(flags.insert(option.CliFlag).second) << option.CliFlag;
        EXPECT_TRUE(keys.insert(option.SettingsKey).second) << option.SettingsKey;
        EXPECT_TRUE(widgets.insert(option.WidgetName).second) << option.WidgetName;
        // Every value a setter takes comes back from the getter.
        for (int32_t value = 0; value < static_cast<int32_t>(option.CliValues.size()); ++value) {
            TJobChoices choices;
            option.Set(choices, value);
            EXPECT_EQ(option.Get(choices), value) << option.CliFlag;
        }
    }
    struct Case {
        TJobOptionId id;
        const char* key;
        int32_t byDefault;
    };
    // The keys and defaults stored settings are read with.
    const Case cases[] = {
        {TJobOptionId::OutputFormat, "outputformat", 2}, {TJobOptionId::MaxHeightUnit, "maxheight", 1},
        {TJobOptionId::TurnRestrictions, "turnrestriction", 0}, {TJobOptionId::SaveUnzipped, "phase1save", 0},
        {TJobOptionId::SplitLoopLinks, "splitlooplinks", 1}, {TJobOptionId::Attribute2, "attribute2", 0},
        {TJobOptionId::AttributeC, "attributec", 0}, {TJobOptionId::Attribute4, "attribute4", 1},
        {TJobOptionId::AvoidPattern, "attribute4p", 1},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(JobOption(c.id).SettingsKey, c.key);
        EXPECT_EQ(JobOption(c.id).Default(), c.byDefault) << c.key;
    }
}

}  // namespace
}  // namespace itn
