#include "gis/mfal_writer.h"

#include <gtest/gtest.h>

#include "gis/mif_writer.h"
#include "gis/tab_libraries.h"
#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::Section;

// An entry table standing in for the library, recording what the writer passes.
struct Recorder {
    std::vector<std::string> calls;
    std::vector<MI_ATTRDEF> fields;
    std::vector<std::vector<std::vector<DPNT>>> object_parts;
    int16_t init_answer = 1;
};
Recorder g_rec;

std::string Pen(const MI_CPEN& p) {
    return "pen(" + std::to_string(p.width) + "," + std::to_string(p.pat) + "," + std::to_string(p.style) + "," +
           std::to_string(p.color) + ")";
}
std::string Points(const DPNT* p, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? " " : "") + std::to_string(static_cast<int>(p[i].x)) + "," +
                                     std::to_string(static_cast<int>(p[i].y));
    return s;
}

TMfalEntries FakeEntries() {
    TMfalEntries e;
    e.initialise = [](int32_t version) -> int16_t {
        g_rec.calls.push_back("init " + std::to_string(version));
        return g_rec.init_answer;
    };
    e.coordsys = [](const char* coordsys, MI_PROJECTION*) { g_rec.calls.push_back(std::string("coordsys ") + coordsys); };
    e.create_table = [](const char* name, MI_ATTRDEF* fields, int32_t count, MI_PROJECTION*, int32_t mode) -> mfal_table {
        g_rec.fields.assign(fields, fields + count);
        g_rec.calls.push_back(std::string("create ") + name + " " + std::to_string(count) + " " + std::to_string(mode));
        return reinterpret_cast<mfal_table>(42);
    };
    e.write_object = [](mfal_table, const char* attrib, MI_OBJ* obj, int32_t*) {
        std::string c = "write " + std::to_string(obj->objtype) + " [" + attrib + "]";
        switch (obj->objtype) {
            case MI_LINE_OBJ: c += " " + Points(&obj->line.lbeg, 1) + " " + Points(&obj->line.lend, 1) + " " + Pen(obj->line.pen); break;
            case MI_PLINE_OBJ: c += " " + Points(obj->pline.data, obj->pline.points) + " " + Pen(obj->pline.pen); break;
            case MI_MULTIPLINE_OBJ:
                for (int i = 0; i < obj->multipline.plines; ++i)
                    c += " {" + Points(obj->multipline.data[i].pPnts, obj->multipline.data[i].points) + "}";
                c += " " + Pen(obj->multipline.pen);
                break;
            case MI_REGION_OBJ:
                for (int i = 0; i < obj->region.regions; ++i)
                    c += " {" + Points(obj->region.data[i].pPnts, obj->region.data[i].points) + "}";
                c += " brush(" + std::to_string(obj->region.brush.pat) + "," + std::to_string(obj->region.brush.forecolor) +
                     "," + std::to_string(obj->region.brush.backcolor) + "," + std::to_string(obj->region.brush.transparent) + ")";
                break;
            case MI_POINT_OBJ:
                c += " " + Points(&obj->point.pnt, 1) + " sym(" + std::to_string(obj->point.symbol.code) + "," +
                     std::to_string(obj->point.symbol.color) + "," + std::to_string(obj->point.symbol.pointsize) + ")";
                break;
            default: break;
        }
        g_rec.calls.push_back(c);
    };
    e.close_table = [](mfal_table) { g_rec.calls.push_back("close"); };
    return e;
}

TEST(MfalBinding, MissingLibraryAndRefusedStart) {
    EXPECT_EQ(LoadMfal(), -2);  // no libmimfal1500.so on this platform
    EXPECT_NE(dynamic_cast<TGISWriteMIF*>(TGISWrite::GetGISObject(gfMFAL).get()), nullptr);
    g_rec = Recorder{};
    g_rec.init_answer = 0;
    EXPECT_EQ(UseMfalEntries(FakeEntries()), -4);
    EXPECT_EQ(g_rec.calls, (std::vector<std::string>{"init 6510"}));
    EXPECT_FALSE(TGISWrite::MFAL_supported());
}

TEST(MfalWriter, CallsForEveryObjectKind) {
    g_rec = Recorder{};
    ASSERT_EQ(UseMfalEntries(FakeEntries()), 0);
    auto w = TGISWrite::GetGISObject(gfMFAL);
    ASSERT_NE(dynamic_cast<TGISWriteMFAL*>(w.get()), nullptr);
    w->FileName = "/tmp/x/net";
    w->Pen = {2, 3, 0x000000FF};
    w->StartHeader(3, otPline);
    w->AddField("ID", gfInteger, 0, 0);
    w->AddField("Name", gfChar, 20, 0);
    w->AddField("When", gfTime, 9, 0);
    EXPECT_EQ(g_rec.fields.size(), 3u);
    EXPECT_STREQ(g_rec.fields[1].name, "Name");
    EXPECT_EQ(g_rec.fields[0].fieldtype, 3);
    EXPECT_EQ(g_rec.fields[1].fieldtype, 1);
    EXPECT_EQ(g_rec.fields[1].width, 20);
    EXPECT_EQ(g_rec.fields[2].fieldtype, 0);

    w->AddObject(1, false, "1,\"High St\",x");
    auto two = Section({{1, 2}, {3, 4}});
    w->AddSection(1, two);
    w->AddObject(1, false, "2,B,");
    auto three = Section({{1, 1}, {2, 2}, {3, 3}});
    w->AddSection(1, three);
    w->AddObject(2, false, "3,\"say \"\"hi\"\"\",y");
    auto a = Section({{0, 0}, {1, 1}});
    auto b = Section({{5, 5}, {6, 6}});
    w->AddSection(1, a);
    w->AddSection(1, b);
    w->AddObject(0, false, "");
    w->Close();

    const std::vector<std::string> expected = {
        "init 6510",
        "coordsys CoordSys Earth Projection 1, 104",
        "create /tmp/x/net.tab 3 5",
        "write 202 [1\t\"High St\"\tx] 1,2 3,4 pen(2,3,2,16711680)",
        "write 204 [2\tB\t] 1,1 2,2 3,3 pen(2,3,2,16711680)",
        "write 210 [3\t\"say \"\"hi\"\"\"\ty] {0,0 1,1} {5,5 6,6} pen(2,3,2,16711680)",
        "write 200 []",
        "close",
    };
    EXPECT_EQ(g_rec.calls, expected);
}

TEST(MfalWriter, RegionsPointsAndLimits) {
    g_rec = Recorder{};
    ASSERT_EQ(UseMfalEntries(FakeEntries()), 0);
    TGISWriteMFAL r;
    r.FileName = "/tmp/x/zones";
    r.Brush = {5, 0x0000FF00, 0};
    r.StartHeader(1, otRegion);
    r.AddField("Name", gfChar, 10, 0);
    r.AddObject(1, false, "\"\"");
    auto ring = Section({{0, 0}, {4, 0}, {4, 4}, {0, 0}});
    r.AddSection(1, ring);
    r.Close();
    EXPECT_EQ(g_rec.calls.back(), "close");
    EXPECT_EQ(g_rec.calls[g_rec.calls.size() - 2], "write 205 [\"\"] {0,0 4,0 4,4 0,0} brush(5,65280,0,0)");

    TGISWriteMFAL p;
    p.FileName = "/tmp/x/pts";
    p.StartHeader(1, otPoint);
    p.AddField("ID", gfInteger, 0, 0);
    p.AddPoint(7, 8, "9");
    EXPECT_EQ(g_rec.calls.back(), "write 201 [9] 7,8 sym(33,0,12)");
    EXPECT_EQ(p.WrittenRecords(), 0);  // this route does not count records
    p.Close();

    TGISWriteMFAL n;
    n.StartHeader(1, otPline);
    EXPECT_THROW(n.AddField(std::string(32, 'N'), gfChar, 1, 0), EGISWriteError);
    EXPECT_NO_THROW(TGISWriteMFAL().AddField(std::string(31, 'N'), gfChar, 1, 0));
}

}  // namespace
}  // namespace itn
