// Every error of the streaming XML reader, with its exact text.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "input/native_xml.h"
#include "input/xml_input.h"
#include "io/errors.h"
#include "test_support.h"
#include "xml_test_util.h"

namespace itn {
namespace {

using test::ErrorOf;
using test::TempDir;

// The parse error a text gives, through a file, for several page sizes (all must agree).
std::string ParseErrorOf(const std::string& Text) {
    TempDir dir;
    std::string first;
    bool have = false;
    for (size_t page : {size_t(0), size_t(64), size_t(100)}) {
        TNativeXml xml;
        if (page) xml.SetPageSize(page);
        std::string error = ErrorOf<EXmlParseError>([&] { test::LoadText(xml, dir, Text); });
        if (!have) {
            first = error;
            have = true;
        } else {
            EXPECT_EQ(error, first) << "page " << page << " for: " << Text;
        }
    }
    return first;
}

TEST(NativeXmlErrors, MissingElementName) {
    EXPECT_EQ(ParseErrorOf("<>"), "Missing element name");
    EXPECT_EQ(ParseErrorOf("< >"), "Missing element name");
    EXPECT_EQ(ParseErrorOf("<root><></root>"), "Missing element name");
    EXPECT_EQ(ParseErrorOf("<"), "Missing element name");
    EXPECT_EQ(ParseErrorOf("<?xml version='1.0'?>\n<   "), "Missing element name");
    EXPECT_EQ(ParseErrorOf("</>"), "Missing element name");
    EXPECT_EQ(ParseErrorOf("<!DOCTYPE r [ <"), "Missing element name");
}

TEST(NativeXmlErrors, MissingCloseTag) {
    EXPECT_EQ(ParseErrorOf("<root><a>1</a>"), "Missing close tag in element root");
    EXPECT_EQ(ParseErrorOf("<root><a>1"), "Missing close tag in element a");
    EXPECT_EQ(ParseErrorOf("<root>"), "Missing close tag in element root");
    EXPECT_EQ(ParseErrorOf("<?xml version='1.0'?><osgb:FC><osgb:m>text and more"), "Missing close tag in element osgb:m");
    // The file ends inside a start tag.
    EXPECT_EQ(ParseErrorOf("<root><a x=\"1\""), "Missing close tag in element a");
    EXPECT_EQ(ParseErrorOf("<root><a x=\"1>"), "Missing close tag in element a");
    EXPECT_EQ(ParseErrorOf("<root><a/"), "Missing close tag in element a");
    EXPECT_EQ(ParseErrorOf("<ro"), "Missing close tag in element ro");
    // A stray end tag at the top level is an element named "/x" that never closes.
    EXPECT_EQ(ParseErrorOf("</x>"), "Missing close tag in element /x");
    // Comments and instructions left open take the rest of the file; the element stays open.
    EXPECT_EQ(ParseErrorOf("<root><!-- never closed </root>"), "Missing close tag in element root");
    EXPECT_EQ(ParseErrorOf("<root><![CDATA[ x </root>"), "Missing close tag in element root");
}

TEST(NativeXmlErrors, MissingDataAfterLessThan) {
    EXPECT_EQ(ParseErrorOf("<root><"), "Missing data after \"<\" in element root");
    EXPECT_EQ(ParseErrorOf("<root><a>x<"), "Missing data after \"<\" in element a");
    EXPECT_EQ(ParseErrorOf("<root>text <  \r\n\t"), "Missing data after \"<\" in element root");
}

TEST(NativeXmlErrors, IncorrectCloseTag) {
    EXPECT_EQ(ParseErrorOf("<root><a></b></root>"), "Incorrect close tag in element a");
    EXPECT_EQ(ParseErrorOf("<root><a>1</a></roots>"), "Incorrect close tag in element root");
    EXPECT_EQ(ParseErrorOf("<osgb:a></gml:a>"), "Incorrect close tag in element osgb:a");
    EXPECT_EQ(ParseErrorOf("<a></>"), "Incorrect close tag in element a");
    EXPECT_EQ(ParseErrorOf("<root>< /></root>"), "Incorrect close tag in element root");
    // Letter case alone does not matter.
    EXPECT_EQ(ParseErrorOf("<Root><A></a></ROOT>"), "");
}

TEST(NativeXmlErrors, MissingGreaterThanInCloseTag) {
    EXPECT_EQ(ParseErrorOf("<root><a></a"), "Missing \">\" in close tag of element a");
    EXPECT_EQ(ParseErrorOf("<root></"), "Missing \">\" in close tag of element root");
    EXPECT_EQ(ParseErrorOf("<root><a>1</a></root"), "Missing \">\" in close tag of element root");
}

TEST(NativeXmlErrors, NoRootElement) {
    EXPECT_EQ(ParseErrorOf(""), "No root element found in xml");
    EXPECT_EQ(ParseErrorOf("   \r\n  "), "No root element found in xml");
    EXPECT_EQ(ParseErrorOf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), "No root element found in xml");
    EXPECT_EQ(ParseErrorOf("<!-- only a comment -->"), "No root element found in xml");
    EXPECT_EQ(ParseErrorOf("plain text, no markup"), "No root element found in xml");
    EXPECT_EQ(ParseErrorOf("<!DOCTYPE r>"), "No root element found in xml");
}

TEST(NativeXmlErrors, EveryTruncationEndsWithADocumentedMessage) {
    const std::string text =
        "<?xml version='1.0' encoding='UTF-8'?>\n<!-- ITN -->\n"
        "<osgb:FeatureCollection fid='GDS'>\n"
        "<osgb:networkMember><osgb:RoadLink fid='osgb4000000023456789'><osgb:version>3</osgb:version>"
        "<osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>1.5,2 3,4</gml:coordinates>"
        "</gml:LineString></osgb:polyline><osgb:startNode orientation='-' xlink:href='#osgb1'/>"
        "<![CDATA[x]]></osgb:RoadLink></osgb:networkMember>\n</osgb:FeatureCollection>\n";
    const size_t complete = text.find("</osgb:FeatureCollection>") + 25;
    const std::vector<std::string> prefixes = {"Missing element name", "Missing close tag in element ",
                                               "Missing data after \"<\" in element ",
                                               "Missing \">\" in close tag of element ",
                                               "No root element found in xml"};
    for (size_t n = 0; n <= text.size(); ++n) {
        TNativeXml xml;
        xml.SetPageSize(64);
        std::string error = ErrorOf<EXmlParseError>([&] { xml.LoadFromString(text.substr(0, n)); });
        if (n >= complete) {
            EXPECT_EQ(error, "") << n;
            continue;
        }
        bool documented = false;
        for (const auto& p : prefixes) documented |= error.rfind(p, 0) == 0;
        EXPECT_TRUE(documented) << "prefix of " << n << " bytes: '" << error << "'";
    }
}

TEST(NativeXmlErrors, DeclarationOnlyFailsAfterProgressReportedTheFileSize) {
    TempDir dir;
    TNativeXml xml;
    std::vector<int32_t> progress;
    xml.OnProgress = [&](TNativeXml&, int32_t size) { progress.push_back(size); };
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    EXPECT_EQ(ErrorOf<EXmlParseError>([&] { test::LoadText(xml, dir, text); }), "No root element found in xml");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), static_cast<int32_t>(text.size()));
    // The declaration stays in the document.
    ASSERT_EQ(xml.RootNodeCount(), 1);
    EXPECT_EQ(xml.RootNodes(0)->Name(), "xml");
}

TEST(NativeXmlErrors, UnsupportedEncodings) {
    auto bytes = [](std::initializer_list<int> b) {
        std::string s;
        for (int c : b) s.push_back(static_cast<char>(c));
        return s + std::string("\0<\0r\0/\0>", 8);
    };
    EXPECT_EQ(ParseErrorOf(bytes({0x00, 0x00, 0xFE, 0xFF})), "Unsupported string encoding");  // UCS-4 BE mark
    EXPECT_EQ(ParseErrorOf(bytes({0xFF, 0xFE, 0x00, 0x00})), "Unsupported string encoding");  // UCS-4 LE mark
    EXPECT_EQ(ParseErrorOf(bytes({0x00, 0x00, 0xFF, 0xFE})), "Unsupported string encoding");
    EXPECT_EQ(ParseErrorOf(bytes({0xFE, 0xFF, 0x00, 0x00})), "Unsupported string encoding");
    EXPECT_EQ(ParseErrorOf(bytes({0x00, 0x00, 0x00, 0x3C})), "Unsupported string encoding");  // "<" in UCS-4 BE
    EXPECT_EQ(ParseErrorOf(bytes({0x3C, 0x00, 0x00, 0x00})), "Unsupported string encoding");  // "<" in UCS-4 LE
    EXPECT_EQ(ParseErrorOf(bytes({0x00, 0x00, 0x3C, 0x00})), "Unsupported string encoding");
    EXPECT_EQ(ParseErrorOf(bytes({0x00, 0x3C, 0x00, 0x00})), "Unsupported string encoding");
    EXPECT_EQ(ParseErrorOf(bytes({0x4C, 0x6F, 0xA7, 0x94})), "Unsupported string encoding");  // "<?xm" in EBCDIC
}

TEST(NativeXmlErrors, UnsupportedEncodingComesAfterProgressZero) {
    TNativeXml xml;
    std::vector<int32_t> progress;
    xml.OnProgress = [&](TNativeXml&, int32_t size) { progress.push_back(size); };
    EXPECT_EQ(ErrorOf<EXmlParseError>([&] { xml.LoadFromString(std::string("\x4C\x6F\xA7\x94", 4)); }),
              "Unsupported string encoding");
    EXPECT_EQ(progress, std::vector<int32_t>{0});
}

TEST(NativeXmlErrors, ConversionErrors) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> errors;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "i") errors.push_back(ErrorOf<EXmlConvertError>([&] { n.ValueAsInteger(); }));
        if (n.Name() == "f") errors.push_back(ErrorOf<EXmlConvertError>([&] { n.ValueAsFloat(); }));
    };
    test::LoadText(xml, dir,
                   "<r><i>x1</i><i>12 </i><i></i><i>2147483648</i><i>-2147483649</i><i>0x10</i><i>1.5</i><i>&#49;</i>"
                   "<f>abc</f><f></f><f>1,000.5</f><f>.</f><f>1e</f><f>1e999</f><f>nan</f><f>inf</f><f>1.5 </f></r>");
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "'x1' is not a valid integer value", "'12 ' is not a valid integer value",
                          "'' is not a valid integer value", "'2147483648' is not a valid integer value",
                          "'-2147483649' is not a valid integer value", "'0x10' is not a valid integer value",
                          "'1.5' is not a valid integer value", "'&#49;' is not a valid integer value",
                          "Cannot convert value to float", "Cannot convert value to float",
                          "Cannot convert value to float", "Cannot convert value to float",
                          "Cannot convert value to float", "Cannot convert value to float",
                          "Cannot convert value to float", "Cannot convert value to float",
                          "Cannot convert value to float"}));
}

TEST(NativeXmlErrors, ErrorFamilies) {
    TNativeXml xml;
    try {
        xml.LoadFromString("<r>");
        FAIL() << "no error";
    } catch (const EXmlConvertError&) {
        FAIL() << "a parse error is not a conversion error";
    } catch (const EXmlParseError& e) {
        EXPECT_STREQ(e.what(), "Missing close tag in element r");
    }
    xml.OnNodeLoaded = [](TNativeXml&, TXmlNode& n) { n.ValueAsFloat(); };
    try {
        xml.LoadFromString("<r>x</r>");
        FAIL() << "no error";
    } catch (const EXmlParseError& e) {  // conversion errors belong to the parse error family
        EXPECT_NE(dynamic_cast<const EXmlConvertError*>(&e), nullptr);
        EXPECT_STREQ(e.what(), "Cannot convert value to float");
    }
    const std::runtime_error& base = EXmlParseError("x");
    EXPECT_STREQ(base.what(), "x");
}

TEST(NativeXmlErrors, FileThatCannotBeOpened) {
    TempDir dir;
    TNativeXml xml;
    test::LoadText(xml, dir, "<kept/>", "kept.xml");
    bool events = false;
    xml.OnProgress = [&](TNativeXml&, int32_t) { events = true; };

    const std::string missing = dir / "missing.gml";
    EXPECT_EQ(ErrorOf<EFOpenError>([&] { xml.LoadFromFile(missing); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_FALSE(events);
    ASSERT_NE(xml.Root(), nullptr);  // the document is unchanged
    EXPECT_EQ(xml.Root()->Name(), "kept");

    EXPECT_EQ(ErrorOf<EFOpenError>([&] { xml.LoadFromFile(dir.path().string()); }),
              "Cannot open file \"" + dir.path().string() + "\". Is a directory");

    // A relative name is reported with its full path.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::string relative_error = ErrorOf<EFOpenError>([&] { xml.LoadFromFile("sub/../nothere.xml"); });
    std::filesystem::current_path(old);
    EXPECT_EQ(relative_error, "Cannot open file \"" + (dir / "nothere.xml") + "\". No such file or directory");

    if (geteuid() != 0) {  // root reads whatever the permissions say
        const std::string locked = dir / "locked.xml";
        test::WriteFile(locked, "<r/>");
        chmod(locked.c_str(), 0);
        EXPECT_EQ(ErrorOf<EFOpenError>([&] { xml.LoadFromFile(locked); }),
                  "Cannot open file \"" + locked + "\". Permission denied");
    }
}

// Where a load stopped, as line and column counted again through the reader's input, with a
// page size that puts the error past the first window; the handle of the opened file is
// offered before anything is read.
TEST(XmlErrorPlaces, LineAndColumnOfTheStop) {
    TempDir dir;
    const std::string padding(300, ' ');
    const struct {
        const char* name;
        std::string text;
        int64_t line, column;
    } cases[] = {
        {"close tag", "<?xml version=\"1.0\"?>\n<a><b></c></a>\n", 2, 8},
        {"after long lines", "<a>" + padding + "\n" + padding + "\n  <b></x>\n</a>", 3, 7},
        {"no root", "<?xml version=\"1.0\"?>\n", 2, 1},
        {"value in a handler", "<a>\n <v>x1</v>\n</a>\n", 2, 11},
        {"crlf lines", "<a>\r\n\r\n<b></c>", 3, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir / "doc.xml";
        test::WriteFile(file, c.text);
        TNativeXml xml;
        xml.SetPageSize(64);
        int opened = -1;
        xml.OnFileOpened = [&opened](int Handle) { opened = Handle; };
        xml.OnNodeLoaded = [](TNativeXml&, TXmlNode& Node) {
            if (Node.Name() == "v") Node.ValueAsInteger();
        };
        EXPECT_THROW(xml.LoadFromFile(file), EXmlParseError);
        EXPECT_GE(opened, 0);
        int64_t line = 0, column = 0;
        xml::LineAndColumn(file, xml.ErrorPosition(), line, column);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(column, c.column);
    }
}

}  // namespace
}  // namespace itn
