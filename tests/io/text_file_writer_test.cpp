#include "io/text_file_writer.h"

#include <gtest/gtest.h>

#include "io/errors.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(TextFileWriter, LineEndsBomAndCodepages) {
    TempDir dir;
    struct Case {
        int codepage;
        bool bom;
        std::vector<std::string> writes;  // "\n" marks a writeln of what precedes it
        std::string expected;
    };
    const std::string euro_e_snowman = "\xE2\x82\xAC \xC3\xA9 \xE2\x98\x83";  // U+20AC, U+00E9, U+2603
    const Case cases[] = {
        {1252, false, {}, ""},
        {1252, true, {}, ""},                                    // BOM only for UTF-8
        {65001, true, {}, "\xEF\xBB\xBF"},
        {65001, false, {"a\n"}, "a\r\n"},
        {1252, false, {"\n"}, "\r\n"},                           // writeln("") is CR LF
        {1252, false, {"", "x", ""}, "x"},                       // write("") writes nothing
        {1252, false, {euro_e_snowman + "\n"}, "\x80 \xE9 ?\r\n"},  // unmappable becomes "?"
        {65001, true, {euro_e_snowman}, "\xEF\xBB\xBF" + euro_e_snowman},
        {1251, false, {"\xD0\x96"}, "\xC6"},                     // Cyrillic Zhe
        {0x10000 + 1252, false, {"\xC3\xA9"}, "\xE9"},           // only the low 16 bits count
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = dir / ("t" + std::to_string(n++) + ".txt");
        {
            TTextFileWriter w(name, c.codepage, c.bom);
            for (const std::string& s : c.writes) {
                if (!s.empty() && s.back() == '\n')
                    w.writeln(s.substr(0, s.size() - 1));
                else
                    w.write(s);
            }
            w.Close();
        }
        EXPECT_EQ(ReadFile(name), c.expected) << "case " << n - 1;
    }
}

TEST(TextFileWriter, NothingReachesTheDiskBeforeOneMiBOrClose) {
    TempDir dir;
    const std::string name = dir / "lazy.txt";
    TTextFileWriter w(name, 1252, false);
    w.writeln("header");
    EXPECT_EQ(ReadFile(name), "");
    std::string line(1000, 'z');
    for (int i = 0; i < 1100; ++i) w.writeln(line);
    EXPECT_EQ(ReadFile(name).size(), 1048576u);
    w.Close();
    EXPECT_EQ(ReadFile(name).size(), 8u + 1100u * 1002u);
}

TEST(TextFileWriter, SecondWriterOnAnOpenFileFails) {
    TempDir dir;
    const std::string name = dir / "busy.mif";
    TTextFileWriter first(name, 1252, false);
    EXPECT_THROW(TTextFileWriter(name, 1252, false), EFCreateError);
}

TEST(TextFileWriter, DestroyWithoutCloseStillWritesBack) {
    TempDir dir;
    const std::string name = dir / "d.txt";
    { TTextFileWriter(name, 1252, false).writeln("kept"); }
    EXPECT_EQ(ReadFile(name), "kept\r\n");
}

}  // namespace
}  // namespace itn
