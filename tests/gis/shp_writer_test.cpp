#include "gis/shp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::Be32;
using test::Le32;
using test::LeDouble;
using test::ReadFile;
using test::Section;
using test::TempDir;

const double kEmptyMin = static_cast<double>(1.0e38f);

// Builds expected file bytes.
struct Bytes {
    std::string b;
    Bytes& be(uint32_t v) { return le(__builtin_bswap32(v)); }
    Bytes& le(uint32_t v) {
        b.append(reinterpret_cast<const char*>(&v), 4);
        return *this;
    }
    Bytes& d(double v) {
        b.append(reinterpret_cast<const char*>(&v), 8);
        return *this;
    }
    Bytes& box(double x0, double y0, double x1, double y1) { return d(x0).d(y0).d(x1).d(y1); }
    Bytes& zeros(size_t n) {
        b.append(n, '\0');
        return *this;
    }
};

std::string MainHeader(uint32_t words, uint32_t type, double x0, double y0, double x1, double y1) {
    return Bytes().be(9994).zeros(20).be(words).le(1000).le(type).box(x0, y0, x1, y1).zeros(32).b;
}

TEST(ShpWriter, PolylineRecordsNullShapeAndIndexByteForByte) {
    TempDir dir;
    TGISWriteSHP w;
    w.FileName = dir / "net";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(2, false, "1");
    auto a = Section({{10, 20}, {11, 25}, {12, 21}});
    auto b = Section({{5, 30}, {6, 31}});
    w.AddSection(1, a);
    w.AddSection(1, b);
    w.AddObject(0, false, "2");
    w.AddLine(-1, 2, 3, 4, "3");
    w.Close();

    // Record 1: 44 + 2 x 4 + 5 x 16 = 132 bytes of content (66 words), 140 bytes in all.
    Bytes r1;
    r1.be(1).be(66).le(3).box(5, 20, 12, 31).le(2).le(5).le(0).le(3);
    r1.d(10).d(20).d(11).d(25).d(12).d(21).d(5).d(30).d(6).d(31);
    const std::string r2 = Bytes().be(2).be(2).le(0).b;  // null shape: 4 bytes of content
    Bytes r3;
    r3.be(3).be(40).le(3).box(-1, 2, 3, 4).le(1).le(2).le(0).d(-1).d(2).d(3).d(4);
    ASSERT_EQ(r1.b.size(), 140u);
    const size_t length = 100 + 140 + 12 + 88;
    EXPECT_EQ(ReadFile(dir / "net.shp"), MainHeader(length / 2, 3, -1, 2, 12, 31) + r1.b + r2 + r3.b);
    const std::string index = Bytes().be(50).be(66).be(120).be(2).be(126).be(40).b;
    EXPECT_EQ(ReadFile(dir / "net.shx"), MainHeader((100 + 24) / 2, 3, -1, 2, 12, 31) + index);

    const std::string dbf = ReadFile(dir / "net.dbf");
    EXPECT_EQ(Le32(dbf, 4), 3u);
    EXPECT_EQ(dbf.substr(65), std::string(" ") + std::string(10, ' ') + "1" + " " + std::string(10, ' ') + "2" + " " +
                                  std::string(10, ' ') + "3" + "\x1A");
}

TEST(ShpWriter, PointFileLengthsAndBoundingBox) {
    TempDir dir;
    TGISWriteSHP w;
    w.FileName = dir / "pts";
    w.StartHeader(1, otPoint);
    w.AddField("ID", gfSmallInt, 0, 0);
    w.AddPoint(1.5, -2, "1");
    w.AddPoint2({-3, 4}, "2");
    w.AddPoint(0, 0.25, "3");
    w.AddLine(0, 0, 1, 1, "4");  // not a polyline file: ignored
    w.Close();

    Bytes recs;
    recs.be(1).be(10).le(1).d(1.5).d(-2);
    recs.be(2).be(10).le(1).d(-3).d(4);
    recs.be(3).be(10).le(1).d(0).d(0.25);
    EXPECT_EQ(ReadFile(dir / "pts.shp"), MainHeader(92, 1, -3, -2, 1.5, 4) + recs.b);
    EXPECT_EQ(ReadFile(dir / "pts.shx"),
              MainHeader(62, 1, -3, -2, 1.5, 4) + Bytes().be(50).be(10).be(64).be(10).be(78).be(10).b);
    EXPECT_EQ(Le32(ReadFile(dir / "pts.dbf"), 4), 3u);
}

TEST(ShpWriter, RegionRecordAndEmptyFileBox) {
    TempDir dir;
    {
        TGISWriteSHP w;
        w.FileName = dir / "area";
        w.StartHeader(1, otRegion);
        w.AddField("ID", gfInteger, 0, 0);
        w.AddObject(1, false, "1");
        auto ring = Section({{0, 0}, {0, 10}, {10, 10}, {0, 0}});
        w.AddSection(1, ring);
        w.Close();
        const std::string shp = ReadFile(dir / "area.shp");
        EXPECT_EQ(Le32(shp, 32), 5u);
        EXPECT_EQ(shp.substr(100), Bytes()
                                       .be(1)
                                       .be(56)
                                       .le(5)
                                       .box(0, 0, 10, 10)
                                       .le(1)
                                       .le(4)
                                       .le(0)
                                       .d(0).d(0).d(0).d(10).d(10).d(10).d(0).d(0)
                                       .b);
    }
    TGISWriteSHP w;
    w.FileName = dir / "empty";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.Close();
    for (const char* ext : {".shp", ".shx"}) {
        const std::string f = ReadFile(dir / (std::string("empty") + ext));
        EXPECT_EQ(f, MainHeader(50, 3, kEmptyMin, kEmptyMin, -kEmptyMin, -kEmptyMin)) << ext;
        EXPECT_EQ(LeDouble(f, 36), 9.999999680285692e37) << ext;
    }
}

TEST(ShpWriter, ProjectionAndCodePageFiles) {
    TempDir dir;
    const std::string bng =
        "PROJCS[\"British_National_Grid\",GEOGCS[\"GCS_OSGB_1936\",DATUM[\"D_OSGB_1936\",SPHEROID[\"Airy_1830\","
        "6377563.396,299.3249646]],PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.0174532925199433]]]";
    TGISWriteSHP w;
    w.FileName = dir / "net";
    w.PRJ = bng;
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.Close();
    EXPECT_EQ(ReadFile(dir / "net.prj"), bng);
    EXPECT_EQ(ReadFile(dir / "net.cpg"), "1252");

    TGISWriteSHP bare;
    bare.FileName = dir / "bare";
    bare.PRJ.clear();
    bare.SetCodepage(0);
    bare.StartHeader(1, otPline);
    bare.AddField("ID", gfInteger, 0, 0);
    bare.Close();
    EXPECT_FALSE(std::filesystem::exists(dir / "bare.prj"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bare.cpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "bare.shp"));
}

TEST(ShpWriter, AttributeOnlyFileWritesOnlyTheTable) {
    TempDir dir;
    TGISWriteSHP w;
    w.FileName = dir / "attr";
    w.StartHeader(1, otNone);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(0, false, "1");
    w.AddObject(0, false, "2");
    w.Close();
    for (const char* ext : {".shp", ".shx", ".prj", ".cpg"})
        EXPECT_FALSE(std::filesystem::exists(dir / (std::string("attr") + ext))) << ext;
    EXPECT_EQ(Le32(ReadFile(dir / "attr.dbf"), 4), 2u);
}

TEST(ShpWriter, DropDeletesGeometryAndTableButKeepsSideFiles) {
    TempDir dir;
    TGISWriteSHP w;
    w.FileName = dir / "gone";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddLine(0, 0, 1, 1, "1");
    w.Drop();
    for (const char* ext : {".shp", ".shx", ".dbf"})
        EXPECT_FALSE(std::filesystem::exists(dir / (std::string("gone") + ext))) << ext;
    EXPECT_TRUE(std::filesystem::exists(dir / "gone.prj"));
    EXPECT_TRUE(std::filesystem::exists(dir / "gone.cpg"));
}

// A writer whose size limit is small enough to reach in a test.
class SmallShpWriter : public TGISWriteSHP {
public:
    explicit SmallShpWriter(uint64_t limit) { FMaxFileLength = limit; }
};

TEST(ShpWriter, RefusesToGrowPastTheAddressableSize) {
    TempDir dir;
    // Records of one two-point line take 8 + 44 + 4 + 32 = 88 bytes: 188, 276, then 364 > 300.
    {
        SmallShpWriter w(300);
        w.FileName = dir / "full";
        w.StartHeader(1, otPline);
        w.AddField("ID", gfInteger, 0, 0);
        w.AddLine(0, 0, 1, 1, "1");
        w.AddLine(0, 0, 1, 1, "2");
        try {
            w.AddLine(0, 0, 1, 1, "3");
            FAIL() << "a record past the limit must raise";
        } catch (const EGISWriteError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write \"" + (dir / "full") +
                                                 ".shp\": a shapefile cannot be larger than 4 GB (the limit was "
                                                 "reached at record 3)");
        }
        w.Close();
        const std::string shp = ReadFile(dir / "full.shp");
        EXPECT_EQ(shp.size(), 276u);
        EXPECT_EQ(Be32(shp, 24), 276u / 2);
    }
    // A long polyline reaches the limit while its points arrive.
    SmallShpWriter w(300);
    w.FileName = dir / "long";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(2, false, "1");
    auto s = Section({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
    w.AddSection(1, s);
    EXPECT_THROW(w.AddSection(1, s), EGISWriteError);
    w.Close();
}

}  // namespace
}  // namespace itn
