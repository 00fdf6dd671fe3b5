#include "gis/csv_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::Section;
using test::TempDir;

TEST(CsvWriter, HeaderRowAndAttributeTextsAsTheyStand) {
    TempDir dir;
    TGISWriteCSV w;
    w.FileName = dir / "table";
    w.StartHeader(2, otPline);
    w.AddField("A", gfInteger, 0, 0);
    w.AddField("B", gfChar, 10, 0);
    w.AddObject(2, false, "1,\"x, \"\"y\"\"\"");
    auto s = Section({{0, 0}, {1, 1}});
    w.AddSection(1, s);  // geometry is dropped
    w.AddSection(1, s);
    w.AddLine(0, 0, 1, 1, "2,\"caf\xC3\xA9\"");
    w.AddPoint(5, 5, "3,\"no count check\",extra");
    w.AddObject(0, false, "");
    w.Close();
    EXPECT_EQ(ReadFile(dir / "table.csv"),
              "\"A\",\"B\"\r\n1,\"x, \"\"y\"\"\"\r\n2,\"caf\xE9\"\r\n3,\"no count check\",extra\r\n\r\n");
}

TEST(CsvWriter, DropDeletesTheFile) {
    TempDir dir;
    TGISWriteCSV w;
    w.FileName = dir / "gone";
    w.StartHeader(1, otNone);
    w.AddField("A", gfInteger, 0, 0);
    w.AddObject(0, false, "1");
    w.Drop();
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.csv"));
}

}  // namespace
}  // namespace itn
