// The INI file: reading values, integer forms, writing in place, keeping unknown lines, CR LF.
#include "io/ini_file.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(IniFileTest, ReadsValuesBySectionAndKeyIgnoringLetterCase) {
    TempDir dir;
    WriteFile(dir / "a.ini",
              "top=1\n"
              "; comment=no\n"
              "[Main]\r\n"
              "  OutputFormat = 3  \r\n"
              "quoted=\" a b \"\n"
              "single='x'\n"
              "empty=\n"
              "dup=first\n"
              "dup=second\n"
              "[other]\n"
              "outputformat=7\n");
    const TIniFile ini(dir / "a.ini");
    EXPECT_EQ(ini.ReadString("main", "outputformat", "d"), "3");
    EXPECT_EQ(ini.ReadString("MAIN", "Quoted", "d"), " a b ");
    EXPECT_EQ(ini.ReadString("main", "single", "d"), "x");
    EXPECT_EQ(ini.ReadString("main", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("main", "dup", "d"), "first");
    EXPECT_EQ(ini.ReadString("main", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("other", "outputformat", "d"), "7");
    EXPECT_EQ(ini.ReadString("", "top", "d"), "1");
    EXPECT_EQ(ini.ReadString("", "comment", "d"), "d");
    EXPECT_EQ(ini.ReadString("", "outputformat", "d"), "d");
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_FALSE(ini.SectionExists("none"));
    EXPECT_TRUE(ini.ValueExists("main", "empty"));
    EXPECT_FALSE(ini.ValueExists("none", "empty"));
}

TEST(IniFileTest, IntegersInDecimalOrHexadecimal) {
    const struct {
        const char* Value;
        int32_t Expected;
    } cases[] = {{"7", 7},     {"-5", -5},         {"0x10", 16},       {"0X1f", 31}, {"$10", 16},
                 {"abc", 99},  {"", 99},           {"0x", 99},         {"1.5", 99},  {"2147483648", 99},
                 {" 12 ", 12}, {"0xFFFFFFFF", -1}, {"0x100000000", 99}};
    TempDir dir;
    for (const auto& c : cases) {
        WriteFile(dir / "a.ini", std::string("[main]\nv=") + c.Value + "\n");
        const TIniFile ini(dir / "a.ini");
        EXPECT_EQ(ini.ReadInteger("main", "v", 99), c.Expected) << c.Value;
    }
    WriteFile(dir / "a.ini", "[main]\nzero=0\nhex=0x10\nbad=abc\nempty=\n");
    const TIniFile ini(dir / "a.ini");
    EXPECT_FALSE(ini.ReadBool("main", "zero", true));
    EXPECT_TRUE(ini.ReadBool("main", "hex", false));
    EXPECT_TRUE(ini.ReadBool("main", "bad", true));
    EXPECT_FALSE(ini.ReadBool("main", "empty", false));
    EXPECT_TRUE(ini.ReadBool("main", "missing", true));
}

TEST(IniFileTest, WritesInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    WriteFile(dir / "a.ini", "; made by hand\n[main]\nturnrestriction=1\nunknown=kept\n\n[other]\nx=1\n");
    TIniFile ini(dir / "a.ini");
    ini.WriteInteger("main", "TurnRestriction", 0);  // replaced in place
    ini.WriteBool("main", "phase1save", true);       // added after the section's last entry
    ini.WriteString("new", "k", "v");                // a new section at the end
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(dir / "a.ini"),
              "; made by hand\r\n[main]\r\nTurnRestriction=0\r\nunknown=kept\r\nphase1save=1\r\n\r\n"
              "[other]\r\nx=1\r\n[new]\r\nk=v\r\n");

    TIniFile fresh(dir / "b.ini");
    fresh.WriteInteger("main", "outputformat", 2);
    fresh.WriteInteger("main", "maxheight", 1);
    fresh.UpdateFile();
    EXPECT_EQ(ReadFile(dir / "b.ini"), "[main]\r\noutputformat=2\r\nmaxheight=1\r\n");
    EXPECT_EQ(TIniFile(dir / "b.ini").ReadInteger("main", "maxheight", 0), 1);
}

TEST(IniFileTest, FileThatCannotBeWrittenRaisesUnableToWrite) {
    TempDir dir;
    TIniFile ini(dir / "missing-folder/a.ini");
    ini.WriteString("main", "k", "v");
    try {
        ini.UpdateFile();
        ADD_FAILURE();
    } catch (const EIniFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir / "missing-folder/a.ini"));
    }
}

TEST(IniFileTest, UnreadableFileReadsAsEmptyAndAFailedWriteKeepsTheOldFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.ini");
    TIniFile folder(dir / "folder.ini");
    EXPECT_TRUE(folder.Lines().empty());
    // Writing over a folder fails and leaves it (and no temporary file) behind.
    folder.WriteString("main", "k", "v");
    EXPECT_THROW(folder.UpdateFile(), EIniFileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir / "folder.ini.tmp"));

    WriteFile(dir / "a.ini", "[main]\r\nk=old\r\n");
    TIniFile ini(dir / "a.ini");
    ini.WriteString("main", "k", "new");
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(dir / "a.ini"), "[main]\r\nk=new\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "a.ini.tmp"));
}

}  // namespace
}  // namespace itn
