#include "gis/mif_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::Section;

using test::ReadFile;
using test::TempDir;

TEST(MifWriter, PolylineFileByteForByte) {
    TempDir dir;
    TGISWriteMIF w;
    w.FileName = dir / "net";
    w.StartHeader(3, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddField("Name", gfChar, 255, 0);
    w.AddField("Len", gfDecimal, 10, 2);
    EXPECT_TRUE(std::filesystem::exists(dir / "net.mif"));  // created at the last field

    w.AddObject(1, false, "1,\"High St\",12.5");
    auto two = Section({{1, 2}, {3, 4}});
    w.AddSection(1, two);
    w.AddObject(1, false, "2,\"Mill Lane\",3");
    auto three = Section({{530000.5, 180000.25}, {530001, 180002}, {530003, -2}});
    w.AddSection(1, three);
    w.AddObject(2, false, "3,A,0.25");
    auto s1 = Section({{0, 0}, {1, 1}});
    auto s2 = Section({{5, 5}, {6, 6}, {7, 7}});
    w.AddSection(1, s1);
    w.AddSection(1, s2);
    w.AddObject(0, false, "4,,0");
    w.AddLine(10, 20, 30, 40, "5,B,1");
    EXPECT_EQ(w.WrittenRecords(), 5);
    w.Close();

    EXPECT_EQ(ReadFile(dir / "net.mif"),
              "Version 300\r\n"
              "CharSet \"WindowsLatin1\"\r\n"
              "Delimiter \",\"\r\n"
              "CoordSys Earth Projection 1, 104\r\n"
              "Columns 3\r\n"
              "  ID Integer\r\n"
              "  Name Char(254)\r\n"
              "  Len Decimal(10,2)\r\n"
              "Data\r\n"
              "Line 1 2 3 4\r\n"
              "Pline 3\r\n"
              "530000.5 180000.25\r\n"
              "530001 180002\r\n"
              "530003 -2\r\n"
              "Pline multiple 2\r\n"
              "2\r\n"
              "0 0\r\n"
              "1 1\r\n"
              "3\r\n"
              "5 5\r\n"
              "6 6\r\n"
              "7 7\r\n"
              "None\r\n"
              "Line 10 20 30 40\r\n");
    EXPECT_EQ(ReadFile(dir / "net.mid"),
              "1,\"High St\",12.5\r\n2,\"Mill Lane\",3\r\n3,A,0.25\r\n4,,0\r\n5,B,1\r\n");
}

TEST(MifWriter, VersionCharsetAndBom) {
    TempDir dir;
    struct Case {
        bool utf8;
        TGISField field;
        std::string head;
    };
    const Case cases[] = {
        {false, gfChar, "Version 300\r\nCharSet \"WindowsLatin1\"\r\n"},
        {false, gfTime, "Version 900\r\nCharSet \"WindowsLatin1\"\r\n"},
        {false, gfDateTime, "Version 900\r\nCharSet \"WindowsLatin1\"\r\n"},
        {true, gfTime, "\xEF\xBB\xBFVersion 1520\r\nCharSet \"UTF-8\"\r\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::unique_ptr<TGISWrite> w = c.utf8 ? std::make_unique<TGISWriteMIF8>() : std::make_unique<TGISWriteMIF>();
        w->FileName = dir / ("v" + std::to_string(n++));
        w->StartHeader(1, otPline);
        w->AddField("F", c.field, 10, 0);
        w->AddObject(0, false, "\xC3\xA9");
        w->Close();
        const std::string mif = ReadFile(w->FileName + ".mif");
        EXPECT_EQ(mif.substr(0, c.head.size()), c.head);
        EXPECT_EQ(ReadFile(w->FileName + ".mid"), c.utf8 ? "\xEF\xBB\xBF\xC3\xA9\r\n" : "\xE9\r\n");
    }
    TGISWriteMIF unknown;
    unknown.SetCodepage(862);
    unknown.FileName = dir / "unknown";
    unknown.StartHeader(1, otPline);
    unknown.AddField("F", gfChar, 1, 0);
    unknown.Close();
    EXPECT_NE(ReadFile(dir / "unknown.mif").find("CharSet \"Unknown CodePage\"\r\n"), std::string::npos);
}

TEST(MifWriter, AttributeOnlyFileHasNoCoordSysAndOnlyNone) {
    TempDir dir;
    TGISWriteMIF w;
    w.FileName = dir / "attr";
    w.StartHeader(1, otNone);
    w.AddField("Code", gfSmallInt, 0, 0);
    w.AddObject(0, false, "7");
    w.AddObject(0, false, "8");
    w.Close();
    EXPECT_EQ(ReadFile(dir / "attr.mif"),
              "Version 300\r\nCharSet \"WindowsLatin1\"\r\nDelimiter \",\"\r\nColumns 1\r\n  Code Smallint\r\n"
              "Data\r\nNone\r\nNone\r\n");
}

TEST(MifWriter, StyleLines) {
    TempDir dir;
    struct Case {
        std::string name;
        TObjectTypes type;
        TMIPen pen;
        TMIBrush brush;
        bool compact;
        std::string body;
    };
    const std::string ring = "5\r\n0 0\r\n1 0\r\n1 1\r\n0 1\r\n0 0\r\n";
    const Case cases[] = {
        {"default-pline", otPline, {}, {}, false, "Line 0 0 1 1\r\n"},
        {"red-pen", otPline, {2, 2, 0x000000FF}, {}, false, "Line 0 0 1 1\r\n    Pen(2,2,16711680)\r\n"},
        {"width9", otPline, {9, 5, 0x00FF0000}, {}, false, "Line 0 0 1 1\r\n"},
        {"compact", otPline, {2, 2, 0}, {}, true, "Line 0 0 1 1\r\n"},
        {"default-region", otRegion, {}, {}, false, "Region 1\r\n" + ring},
        {"styled-region", otRegion, {3, 2, 0}, {2, 0x0000FF00, 0x00FF0000}, false,
         "Region 1\r\n" + ring + "    Brush(2,65280,255)\r\n    Pen(3,2,0)\r\n"},
    };
    for (const Case& c : cases) {
        TGISWriteMIF w;
        w.FileName = dir / c.name;
        w.Pen = c.pen;
        w.Brush = c.brush;
        w.CompactMIF = c.compact;
        w.StartHeader(1, c.type);
        w.AddField("ID", gfInteger, 0, 0);
        w.AddObject(1, false, "1");
        auto s = c.type == otRegion ? Section({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}) : Section({{0, 0}, {1, 1}});
        w.AddSection(1, s);
        w.Close();
        const std::string mif = ReadFile(w.FileName + ".mif");
        EXPECT_EQ(mif.substr(mif.find("Data\r\n") + 6), c.body) << c.name;
    }

    for (bool compact : {false, true}) {
        TGISWriteMIF w;
        w.FileName = dir / (compact ? "pts-compact" : "pts");
        w.CompactMIF = compact;
        w.StartHeader(1, otPoint);
        w.AddField("ID", gfInteger, 0, 0);
        w.AddPoint(1.5, 2, "1");
        w.AddPoint2({3, 4}, "2");
        w.AddLine(0, 0, 1, 1, "ignored");  // not a polyline file
        w.Close();
        const std::string mif = ReadFile(w.FileName + ".mif");
        EXPECT_EQ(mif.substr(mif.find("Data\r\n") + 6),
                  compact ? "Point 1.5 2\r\nPoint 3 4\r\n"
                          : "Point 1.5 2\r\n    Symbol(33,0,12)\r\nPoint 3 4\r\n    Symbol(33,0,12)\r\n");
        EXPECT_EQ(ReadFile(w.FileName + ".mid"), "1\r\n2\r\n");
    }
}

TEST(MifWriter, PolylinesWithTooFewVerticesStayReadable) {
    TempDir dir;
    TGISWriteMIF w;
    w.FileName = dir / "short";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    TFloatPointArrayEx none;
    w.AddObject(1, false, "1");
    w.AddSection(1, none);
    auto one = Section({{5, 6}});
    w.AddObject(1, false, "2");
    w.AddSection(1, one);
    auto two = Section({{1, 2}, {3, 4}});
    w.AddObject(1, false, "3");
    w.AddSection(1, two);
    w.Close();
    const std::string mif = ReadFile(dir / "short.mif");
    EXPECT_EQ(mif.substr(mif.find("Data\r\n") + 6), "None\r\nLine 5 6 5 6\r\nLine 1 2 3 4\r\n");
    EXPECT_EQ(ReadFile(dir / "short.mid"), "1\r\n2\r\n3\r\n");
    const std::string out = test::RunCommand("ogrinfo -ro -al -q " + (dir / "short.mif") + " 2>&1");
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_NE(out.find("LINESTRING (5 6,5 6)"), std::string::npos) << out;
    EXPECT_NE(out.find("LINESTRING (1 2,3 4)"), std::string::npos) << out;
}

TEST(MifWriter, DropDeletesBothFiles) {
    TempDir dir;
    TGISWriteMIF w;
    w.FileName = dir / "gone";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddLine(0, 0, 1, 1, "1");
    w.Drop();
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.mif"));
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.mid"));
}

TEST(MifWriter, MissingFolderFailsAtTheLastField) {
    TempDir dir;
    TGISWriteMIF w;
    w.FileName = dir / "missing/net";
    w.StartHeader(2, otPline);
    w.AddField("A", gfInteger, 0, 0);
    EXPECT_THROW(w.AddField("B", gfInteger, 0, 0), std::runtime_error);
}

}  // namespace
}  // namespace itn
