#include "format_test_util.h"
#include "gis/gis_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "gis/geojson_writer.h"
#include "gis/mif_writer.h"
#include "io/errors.h"

namespace itn {
namespace {

using test::Section;

// Records what the core hands to a format.
class RecordingWriter : public TGISWrite {
public:
    struct Object {
        int32_t parts;
        std::string attrib;
        std::vector<std::vector<TFloatPoint>> sections;
    };
    std::vector<Object> objects;
    using TGISWrite::FSL;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override {
        TGISWrite::StartObject(NumParts, Attrib);
        objects.push_back({NumParts, Attrib, {}});
    }
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override {
        TGISWrite::WriteSection(Index, SegList);
        objects.back().sections.emplace_back(SegList.Pnt.begin(), SegList.Pnt.begin() + SegList.Count);
    }
};

TEST(SplitAttributes, CommaTextRules) {
    struct Case {
        std::string text;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"1,\"A, B\",,\"x\"\"y\"", {"1", "A, B", "", "x\"y"}},
        {"1,A B", {"1", "A", "B"}},
        {"1,2,", {"1", "2", ""}},
        {"", {}},
        {"  a , b", {"a", "b"}},
        {",x", {"", "x"}},
        {"\"unterminated, text", {"unterminated, text"}},
        {"\"St Mary\xE2\x80\x99s Road\",B1234", {"St Mary\xE2\x80\x99s Road", "B1234"}},
    };
    for (const Case& c : cases) {
        RecordingWriter w;
        w.StartHeader(static_cast<int32_t>(c.values.size()), otPline);
        w.SplitAttributes(c.text);
        EXPECT_EQ(w.FSL, c.values) << c.text;
    }
}

TEST(SplitAttributes, CountMismatchNamesBothCountsAndTheText) {
    RecordingWriter w;
    w.StartHeader(2, otPline);
    try {
        w.SplitAttributes("1,A B");
        FAIL();
    } catch (const EGISWriteError& e) {
        EXPECT_STREQ(e.what(), "Number of values must match number of fields. NumVal = 3, NumFields = 2, string = \"1,A B\"");
    }
}

TEST(Sections, RegionRingsAreChecked) {
    RecordingWriter w;
    w.StartHeader(1, otRegion);
    w.AddObject(1, false, "1");
    auto open_ring = Section({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    auto triangle = Section({{0, 0}, {1, 0}, {0, 0}});
    auto square = Section({{0, 0}, {1, 0}, {1, 1}, {0, 0}});
    try {
        w.AddSection(1, triangle);
        FAIL();
    } catch (const EGISWriteError& e) {
        EXPECT_STREQ(e.what(), "Region objects must have >=4 points");
    }
    try {
        w.AddSection(1, open_ring);
        FAIL();
    } catch (const EGISWriteError& e) {
        EXPECT_STREQ(e.what(), "Region objects must be closed");
    }
    EXPECT_TRUE(w.objects.back().sections.empty());
    w.AddSection(1, square);
    EXPECT_EQ(w.objects.back().sections.size(), 1u);
}

TEST(Sections, MergingJoinsOnlyTheDirectlyPrecedingSection) {
    RecordingWriter w;
    w.StartHeader(1, otPline);
    w.SetOptimizePLinesSections(true);
    const TFloatPoint p{0, 0}, q{1, 0}, r{2, 0}, s{5, 5}, t{6, 6};

    w.AddObject(3, false, "first");
    auto a = Section({p, q}), b = Section({q, r}), c = Section({s, t});
    w.AddSection(1, a);
    w.AddSection(1, b);
    EXPECT_TRUE(w.objects.empty());  // the header waits for the last section
    w.AddSection(1, c);
    ASSERT_EQ(w.objects.size(), 1u);
    EXPECT_EQ(w.objects[0].parts, 2);
    EXPECT_EQ(w.objects[0].attrib, "first");
    EXPECT_EQ(w.objects[0].sections, (std::vector<std::vector<TFloatPoint>>{{p, q, r}, {s, t}}));

    // A reversed section is not joined; the buffer is reused for a larger object.
    w.AddObject(4, false, "second");
    auto a2 = Section({p, q}), rev = Section({r, q}), d = Section({q, p}), e = Section({p, s, t});
    w.AddSection(1, a2);
    w.AddSection(1, rev);
    w.AddSection(1, d);
    w.AddSection(1, e);
    ASSERT_EQ(w.objects.size(), 2u);
    EXPECT_EQ(w.objects[1].parts, 2);
    EXPECT_EQ(w.objects[1].sections[0], (std::vector<TFloatPoint>{p, q}));
    EXPECT_EQ(w.objects[1].sections[1], (std::vector<TFloatPoint>{r, q, p, s, t}));

    // One-section objects go straight through.
    w.AddObject(1, false, "third");
    auto single = Section({p, q, r});
    w.AddSection(1, single);
    EXPECT_EQ(w.objects.size(), 3u);
    EXPECT_EQ(w.objects[2].sections.size(), 1u);
}

// Moves x by 1000 and doubles y; refuses x = 99.
class TShiftTransform : public TCoordinateTransform {
public:
    int32_t TargetEpsg() const override { return 4326; }
    void Transform(TFloatPoint* Points, size_t Count) override {
        for (size_t i = 0; i < Count; ++i) {
            if (Points[i].x == 99) throw EGISWriteError("cannot transform");
            Points[i] = {Points[i].x + 1000, Points[i].y * 2};
        }
    }
};

TEST(Transform, EverySectionIsWrittenTransformedAndTheCallersPointsStay) {
    const TFloatPoint p{0, 1}, q{1, 2}, r{2, 3}, s{5, 5};
    const TFloatPoint P{1000, 2}, Q{1001, 4}, R{1002, 6}, S{1005, 10};
    for (const bool optimize : {false, true}) {
        SCOPED_TRACE(optimize ? "merged sections" : "sections as given");
        RecordingWriter w;
        w.Transform = std::make_shared<TShiftTransform>();
        w.StartHeader(1, otPline);
        w.SetOptimizePLinesSections(optimize);
        w.AddObject(3, false, "x");
        auto a = Section({p, q}), b = Section({q, r}), c = Section({s, p});
        w.AddSection(1, a);
        w.AddSection(1, b);
        w.AddSection(1, c);
        w.AddLine(0, 1, 5, 5, "y");
        ASSERT_EQ(w.objects.size(), 2u);
        const std::vector<std::vector<TFloatPoint>> expected =
            optimize ? std::vector<std::vector<TFloatPoint>>{{P, Q, R}, {S, P}}
                     : std::vector<std::vector<TFloatPoint>>{{P, Q}, {Q, R}, {S, P}};
        EXPECT_EQ(w.objects[0].sections, expected);
        EXPECT_EQ(w.objects[1].sections, (std::vector<std::vector<TFloatPoint>>{{P, S}}));
        EXPECT_EQ(a.Pnt, (std::vector<TFloatPoint>{p, q}));
        EXPECT_EQ(c.Pnt, (std::vector<TFloatPoint>{s, p}));
    }
}

TEST(Transform, PointsAreTransformedAndAFailureStopsTheFeature) {
    TGISWriteGeoJSON w;
    w.Transform = std::make_shared<TShiftTransform>();
    w.epsg = w.Transform->TargetEpsg();
    w.StartHeader(0, otPoint);
    w.AddPoint(1, 2, "");
    EXPECT_THROW(w.AddPoint(99, 2, ""), EGISWriteError);
    w.Close();
    EXPECT_EQ(w.GeoJSON,
              "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{},"
              "\"geometry\":{\"type\":\"Point\",\"coordinates\":[1001,4]}}]}");

    RecordingWriter lines;
    lines.Transform = std::make_shared<TShiftTransform>();
    lines.StartHeader(0, otPline);
    lines.AddObject(1, false, "");
    auto bad = Section({{0, 0}, {99, 0}});
    EXPECT_THROW(lines.AddSection(1, bad), EGISWriteError);
    EXPECT_TRUE(lines.objects.back().sections.empty());
}

TEST(Sections, ManyObjectsReuseTheBufferWithoutCarryingPointsOver) {
    RecordingWriter w;
    w.StartHeader(1, otPline);
    w.SetOptimizePLinesSections(true);
    for (int n = 0; n < 50; ++n) {
        // Odd sections continue the one before; even ones start elsewhere.
        const int parts = 2 + n % 4;
        const int points = 2 + (n * 7) % 5;
        w.AddObject(parts, false, std::to_string(n));
        std::vector<std::vector<TFloatPoint>> expected;
        TFloatPoint end{};
        for (int i = 0; i < parts; ++i) {
            TFloatPointArrayEx s;
            s.Pnt.resize(static_cast<size_t>(points) + 3);  // longer than Count on purpose
            s.Count = points;
            s.Pnt[0] = i % 2 == 1 ? end : TFloatPoint{n * 1000.0 + i, -1.0 * i};
            for (int j = 1; j < points; ++j) s.Pnt[j] = {s.Pnt[0].x + j, s.Pnt[0].y + n};
            end = s.Pnt[points - 1];
            if (i % 2 == 1)
                expected.back().insert(expected.back().end(), s.Pnt.begin() + 1, s.Pnt.begin() + points);
            else
                expected.emplace_back(s.Pnt.begin(), s.Pnt.begin() + points);
            w.AddSection(1, s);
        }
        ASSERT_EQ(w.objects.size(), static_cast<size_t>(n + 1));
        EXPECT_EQ(w.objects.back().attrib, std::to_string(n));
        EXPECT_EQ(w.objects.back().parts, static_cast<int>(expected.size()));
        EXPECT_EQ(w.objects.back().sections, expected) << "object " << n;
    }
}

TEST(Sections, OptimizeSwitchCannotChangeMidObject) {
    RecordingWriter w;
    w.StartHeader(1, otPline);
    w.AddObject(2, false, "x");
    EXPECT_NO_THROW(w.SetOptimizePLinesSections(false));  // same value: allowed
    try {
        w.SetOptimizePLinesSections(true);
        FAIL();
    } catch (const EGISWriteError& e) {
        EXPECT_STREQ(e.what(), "Can not change the OptimizePLinesSections property during processing sections.");
    }
    auto a = Section({{0, 0}, {1, 1}}), b = Section({{1, 1}, {2, 2}});
    w.AddSection(1, a);
    w.AddSection(1, b);
    EXPECT_NO_THROW(w.SetOptimizePLinesSections(true));
}

TEST(Densify, InsertsPointsAlongTheGreatCircle) {
    RecordingWriter w;
    w.StartHeader(1, otPline);
    w.GreatCircleDist = 100;
    w.AddObject(1, false, "x");
    auto s = Section({{0, 0}, {0, 10}});
    w.AddSection(1, s);
    ASSERT_EQ(s.Count, 13);  // the caller's section grows in place
    const auto& pts = w.objects[0].sections[0];
    ASSERT_EQ(pts.size(), 13u);
    for (int m = 0; m <= 12; ++m) {
        EXPECT_NEAR(pts[m].y, m * 10.0 / 12, 1e-9) << m;
        EXPECT_NEAR(pts[m].x, 0, 1e-9) << m;
    }

    RecordingWriter off;
    off.StartHeader(1, otPline);
    off.AddObject(1, false, "x");
    auto t = Section({{0, 0}, {0, 10}});
    off.AddSection(1, t);
    EXPECT_EQ(t.Count, 2);
}

TEST(Densify, SeveralSegmentsKeepTheirEndpointsInOrder) {
    RecordingWriter w;
    w.StartHeader(1, otPline);
    w.GreatCircleDist = 500;
    auto s = Section({{0, 0}, {10, 0}, {10, 0.5}, {10, 10}});
    w.DensifyGreatCircle(s);
    // 10 degrees is ~1113 km: 2 points; 0.5 degree: none.
    ASSERT_EQ(s.Count, 4 + 2 + 0 + 2);
    EXPECT_EQ(s.Pnt[0], (TFloatPoint{0, 0}));
    EXPECT_EQ(s.Pnt[3], (TFloatPoint{10, 0}));
    EXPECT_EQ(s.Pnt[4], (TFloatPoint{10, 0.5}));
    EXPECT_EQ(s.Pnt[7], (TFloatPoint{10, 10}));
    EXPECT_NEAR(s.Pnt[1].x, 10.0 / 3, 1e-9);
    EXPECT_NEAR(s.Pnt[2].x, 20.0 / 3, 1e-9);
}

TEST(Densify, DegenerateSegmentsGiveFinitePoints) {
    RecordingWriter w;
    w.GreatCircleDist = 1000;
    const std::vector<std::vector<TFloatPoint>> cases = {
        {{0, 0}, {180, 0}},      // antipodal on the equator
        {{10, 20}, {-170, -20}}, // antipodal elsewhere
        {{0, 90}, {30, 0}},      // leaving the north pole
        {{3, 4}, {3, 4}},        // identical points
    };
    for (const auto& pts : cases) {
        TFloatPointArrayEx s;
        s.Pnt = pts;
        s.Count = 2;
        w.DensifyGreatCircle(s);
        for (int i = 0; i < s.Count; ++i) {
            EXPECT_TRUE(std::isfinite(s.Pnt[i].x) && std::isfinite(s.Pnt[i].y))
                << pts[0].x << "," << pts[0].y << " point " << i;
        }
        EXPECT_EQ(s.Pnt[s.Count - 1], pts[1]);
    }
}

TEST(Factory, MifByDefaultAndUtf8Mif) {
    auto mif = TGISWrite::GetGISObject(gfMIF);
    EXPECT_NE(dynamic_cast<TGISWriteMIF*>(mif.get()), nullptr);
    EXPECT_EQ(mif->Codepage(), 1252);
    EXPECT_FALSE(TGISWrite::MFAL_supported());
    auto mfal = TGISWrite::GetGISObject(gfMFAL);
    EXPECT_NE(dynamic_cast<TGISWriteMIF*>(mfal.get()), nullptr);
    auto mif8 = TGISWrite::GetGISObject(gfMIF8);
    EXPECT_NE(dynamic_cast<TGISWriteMIF8*>(mif8.get()), nullptr);
    EXPECT_EQ(mif8->Codepage(), 65001);
}

TEST(Defaults, StylesProjectionAndAbstractPoint) {
    RecordingWriter w;
    EXPECT_EQ(w.CoordSys, "CoordSys Earth Projection 1, 104");
    EXPECT_EQ(w.epsg, 4326);
    EXPECT_EQ(w.PRJ,
              "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137,298.257223563]],"
              "PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.017453292519943295]]");
    EXPECT_EQ(w.Symbol.Shape, 33);
    EXPECT_EQ(w.Symbol.Size, 12);
    EXPECT_EQ(w.Brush.fg_color, 0xFFFFFFu);
    w.StartHeader(1, otPoint);
    EXPECT_THROW(w.AddPoint(1, 2, "x"), EAbstractError);
}

}  // namespace
}  // namespace itn
