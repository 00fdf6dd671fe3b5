#include "roadjob/async_feature_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace itn {
namespace {

// Keeps what reaches the writer; fails at one record when asked to.
class TRecordingWriter : public TGISWrite {
public:
    int32_t FailAt = -1;
    std::vector<std::string> Texts;
    std::vector<std::vector<TFloatPoint>> Sections;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override {
        if (static_cast<int32_t>(Texts.size()) == FailAt) throw std::runtime_error("Stream write error");
        TGISWrite::StartObject(NumParts, Attrib);
        Texts.push_back(Attrib);
    }
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override {
        TGISWrite::WriteSection(Index, SegList);
        Sections.emplace_back(SegList.Pnt.begin(), SegList.Pnt.begin() + SegList.Count);
    }
};

void AddFeatures(TAsyncFeatureWriter& Output, int32_t Count) {
    for (int32_t i = 0; i < Count; ++i) {
        const TFloatPoint points[] = {{double(i), 0}, {double(i), 1}, {double(i), 2}};
        Output.Add(std::to_string(i), points, 2 + i % 2);
    }
}

TEST(AsyncFeatureWriterTest, WritesEveryFeatureInOrder) {
    TRecordingWriter writer;
    writer.StartHeader(1, otPline);
    writer.AddField("ID", gfInteger, 0, 0);
    TAsyncFeatureWriter output(writer);
    AddFeatures(output, 10000);
    output.Finish();
    ASSERT_EQ(writer.Texts.size(), 10000u);
    ASSERT_EQ(writer.Sections.size(), 10000u);
    for (int32_t i = 0; i < 10000; i += 777) {
        EXPECT_EQ(writer.Texts[i], std::to_string(i));
        ASSERT_EQ(writer.Sections[i].size(), static_cast<size_t>(2 + i % 2));
        EXPECT_EQ(writer.Sections[i].back(), (TFloatPoint{double(i), double(1 + i % 2)}));
    }
}

TEST(AsyncFeatureWriterTest, ErrorOfTheWriterReachesTheCaller) {
    TRecordingWriter writer;
    writer.FailAt = 3000;
    writer.StartHeader(1, otPline);
    writer.AddField("ID", gfInteger, 0, 0);
    TAsyncFeatureWriter output(writer);
    try {
        AddFeatures(output, 50000);
        output.Finish();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
    }
    EXPECT_EQ(writer.Texts.size(), 3000u);
}

}  // namespace
}  // namespace itn
