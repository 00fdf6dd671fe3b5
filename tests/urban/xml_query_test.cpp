// The XML record query layer: loading rules, null records, record sets and their cursor,
// text and integer conversions, and errors.
#include "urban/xml_query.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gzip_fixtures.h"
#include "input/gz_input.h"
#include "io/errors.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const char* const kFeatures =
    "<?xml version='1.0' encoding='UTF-8'?>\n"
    "<osgb:FeatureCollection xmlns:osgb='urn:a' xmlns:gml='urn:b' xmlns:xlink='urn:c'>\n"
    "  <osgb:networkMember>\n"
    "    <osgb:PathLink fid='osgb0000000000000001'>\n"
    "      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>\n"
    "      <osgb:directedNode orientation='-' gradeSeparation='1' xlink:href='#osgb0000000000000011'/>\n"
    "      <osgb:directedNode orientation='+' xlink:href='#osgb0000000000000012'/>\n"
    "    </osgb:PathLink>\n"
    "    <osgb:PathLink fid='osgb0000000000000002'/>\n"
    "  </osgb:networkMember>\n"
    "  <osgb:networkMember>\n"
    "    <osgb:PathLink><osgb:descriptiveTerm>Steps</osgb:descriptiveTerm></osgb:PathLink>\n"
    "  </osgb:networkMember>\n"
    "</osgb:FeatureCollection>\n";

std::vector<std::string> Values(IXmlRecordset& Set, const std::string& Path) {
    std::vector<std::string> values;
    for (int32_t i = 0, n = Set.Count(); i < n; ++i, Set.Next()) values.push_back(Set.GetXField(Path));
    return values;
}

TEST(XmlQueryTest, RecordSetWalksSelectedNodesInDocumentOrder) {
    const auto file = TXmlFile::FromText(kFeatures, "");
    const auto links = file->RecordSet("osgb:networkMember/osgb:PathLink");
    ASSERT_EQ(links->Count(), 3);
    EXPECT_FALSE(links->IsNull());
    EXPECT_EQ(links->GetXField("@fid"), "osgb0000000000000001");
    EXPECT_EQ(links->GetXField("osgb:descriptiveTerm"), "Path");

    // The current node answers paths of its own: its directed nodes, their attributes.
    const auto ends = links->RecordSet("osgb:directedNode");
    ASSERT_EQ(ends->Count(), 2);
    EXPECT_EQ(ends->GetXField("@orientation"), "-");
    EXPECT_EQ(ends->GetXInt("@gradeSeparation"), 1);
    EXPECT_EQ(ends->GetXField("@xlink:href"), "#osgb0000000000000011");
    ends->Next();
    EXPECT_EQ(ends->GetXField("@orientation"), "+");
    EXPECT_EQ(ends->GetXField("@gradeSeparation"), "");  // no such attribute
    EXPECT_EQ(ends->GetXInt("@gradeSeparation"), 0);
    ends->Next();
    EXPECT_TRUE(ends->IsNull());  // past the last node
    EXPECT_EQ(ends->GetValue(), "");
    EXPECT_EQ(ends->GetXField("@orientation"), "");
    ends->Next();
    EXPECT_TRUE(ends->IsNull());

    links->Next();
    EXPECT_EQ(links->GetXField("@fid"), "osgb0000000000000002");
    EXPECT_EQ(links->RecordSet("osgb:directedNode")->Count(), 0);
    links->Next();
    EXPECT_EQ(links->GetXField("@fid"), "");  // an element without fid
    EXPECT_EQ(links->GetValue(), "Steps");
}

TEST(XmlQueryTest, FindGivesNullRecordOrFails) {
    const auto file = TXmlFile::FromText(kFeatures, "");
    const auto links = file->RecordSet("osgb:networkMember/osgb:PathLink");

    const auto term = links->Find("osgb:descriptiveTerm", foNull);
    EXPECT_FALSE(term->IsNull());
    EXPECT_EQ(term->GetValue(), "Path");

    const auto coords = links->Find("osgb:polyline/gml:LineString/gml:coordinates", foNull);
    EXPECT_TRUE(coords->IsNull());
    EXPECT_EQ(coords->GetValue(), "");
    EXPECT_EQ(coords->GetXField("@fid"), "");
    EXPECT_EQ(coords->RecordSet("gml:coordinates")->Count(), 0);

    const auto fid = links->Find("@fid", foNull);
    EXPECT_EQ(fid->GetValue(), "osgb0000000000000001");

    EXPECT_THROW(links->Find("osgb:polyline", foFail), EXML);
    EXPECT_EQ(links->Find("osgb:descriptiveTerm", foFail)->GetValue(), "Path");
}

TEST(XmlQueryTest, PathThatMatchesNothingGivesEmptySet) {
    const auto file = TXmlFile::FromText(kFeatures, "");
    for (const char* path : {"osgb:departedMember/osgb:DepartedFeature", "osgb:PathLink", "os:networkMember",
                             "networkMember", "osgb:networkMember/osgb:PathLink/@gml:id"}) {
        const auto set = file->RecordSet(path);
        EXPECT_EQ(set->Count(), 0) << path;
        EXPECT_TRUE(set->IsNull()) << path;
        EXPECT_EQ(file->GetXField(path), "") << path;
    }
}

TEST(XmlQueryTest, PrefixesMatchAsWrittenWithoutNamespaceResolution) {
    // The same namespace under another prefix is another name.
    const auto file = TXmlFile::FromText(
        "<r xmlns:osgb='urn:x' xmlns:os='urn:x'><os:PathLink/><osgb:PathLink/><PathLink/></r>", "");
    EXPECT_EQ(file->RecordSet("osgb:PathLink")->Count(), 1);
    EXPECT_EQ(file->RecordSet("os:PathLink")->Count(), 1);
    EXPECT_EQ(file->RecordSet("PathLink")->Count(), 1);
}

TEST(XmlQueryTest, SimplePathsAndTheXPathEngineAgree) {
    // "./a/b" goes to the XPath engine, "a/b" is walked directly: both must select the same.
    const char* const interleaved =
        "<r><a><x>1</x><y>2</y><!-- c --><x>3</x></a>text<b><x>4</x></b><?a "
        "x?><a/><a><x>5<x>6</x></x></a></r>";
    const struct {
        const char* Document;
        std::vector<std::string> Paths;
    } cases[] = {
        {kFeatures,
         {"osgb:networkMember/osgb:PathLink", "osgb:networkMember/osgb:PathLink/@fid",
          "osgb:networkMember/osgb:PathLink/osgb:directedNode/@xlink:href",
          "osgb:networkMember/osgb:PathLink/osgb:descriptiveTerm"}},
        {interleaved, {"a/x", "a/y", "b/x", "a/x/x", "a", "x"}},
    };
    for (const auto& c : cases) {
        const auto file = TXmlFile::FromText(c.Document, "");
        for (const std::string& path : c.Paths) {
            auto direct = file->RecordSet(path);
            auto engine = file->RecordSet("./" + path);
            std::vector<std::string> a, b;
            for (int32_t i = 0; i < direct->Count(); ++i, direct->Next()) a.push_back(direct->GetValue());
            for (int32_t i = 0; i < engine->Count(); ++i, engine->Next()) b.push_back(engine->GetValue());
            EXPECT_EQ(a, b) << path;
            EXPECT_EQ(file->GetXField(path), file->GetXField("./" + path)) << path;
        }
    }
    EXPECT_EQ(Values(*TXmlFile::FromText(interleaved, "")->RecordSet("a/x"), "."),
              (std::vector<std::string>{"1", "3", "56"}));
    const auto file = TXmlFile::FromText(kFeatures, "");
    // Paths beyond the simple form work through the engine.
    const auto plus = file->RecordSet("osgb:networkMember/osgb:PathLink/osgb:directedNode[@orientation='+']");
    EXPECT_EQ(Values(*plus, "@xlink:href"), std::vector<std::string>{"#osgb0000000000000012"});
    EXPECT_THROW(file->RecordSet("osgb:networkMember["), std::exception);
}

TEST(XmlQueryTest, TextOfElementJoinsDescendantsWithCrLfLineBreaks) {
    const auto file = TXmlFile::FromText(
        "<r>\r\n"
        "  <c>1,2\n3,4\r\n5,6</c>\n"
        "  <m>a<b>b</b>  <i/>\n  <![CDATA[c\nd]]></m>\n"
        "  <w>   </w>\n"
        "  <t> x </t>\n"
        "</r>",
        "");
    EXPECT_EQ(file->GetXField("c"), "1,2\r\n3,4\r\n5,6");
    EXPECT_EQ(file->GetXField("m"), "abc\r\nd");  // white-space-only text is dropped
    EXPECT_EQ(file->GetXField("w"), "");
    EXPECT_EQ(file->GetXField("t"), " x ");
    EXPECT_EQ(file->GetValue(), "1,2\r\n3,4\r\n5,6abc\r\nd x ");
}

TEST(XmlQueryTest, GetXIntReadsDecimalIntegersOnly) {
    const struct {
        const char* Text;
        int32_t Value;
    } cases[] = {{"1", 1},
                 {"-3", -3},
                 {"+7", 7},
                 {" 12 ", 12},
                 {"2147483647", 2147483647},
                 {"2147483648", 0},
                 {"-2147483648", INT32_MIN},
                 {"abc", 0},
                 {"1.5", 0},
                 {"0x10", 0},
                 {"", 0},
                 {"1 2", 0},
                 {"+-1", 0}};
    for (const auto& c : cases) {
        const auto file =
            TXmlFile::FromText(std::string("<r g='") + c.Text + "'><v>" + c.Text + "</v></r>", "");
        EXPECT_EQ(file->GetXInt("@g"), c.Value) << c.Text;
        EXPECT_EQ(file->GetXInt("v"), c.Value) << c.Text;
    }
}

TEST(XmlQueryTest, MissingOrEmptyFileIsAnEmptyXmlDatabase) {
    TempDir dir;
    WriteFile(dir / "empty.gml", "");
    for (const std::string& name : {dir / "missing.gml", dir / "missing-folder/x.gml", dir / "empty.gml"}) {
        const auto file = TXmlFile::Create(name);
        EXPECT_EQ(file->FileName(), name);
        EXPECT_EQ(file->RecordSet("osgb:networkMember/osgb:PathLink")->Count(), 0);
        EXPECT_EQ(file->RecordSet("../XmlDatabase")->Count(), 1) << name;  // the root element
        EXPECT_FALSE(file->IsNull());
        EXPECT_EQ(file->GetValue(), "");
    }
}

TEST(XmlQueryTest, FileIsReadAsUtf8WhateverItsDeclarationSays) {
    TempDir dir;
    // "é" in UTF-8 under a Latin-1 declaration, a byte order mark, and a stray byte that is not UTF-8.
    WriteFile(dir / "a.gml",
              "\xEF\xBB\xBF<?xml version='1.0' encoding='ISO-8859-1'?>\n"
              "<r><t>Caf\xC3\xA9</t><u>x\xE9y</u></r>");
    const auto file = TXmlFile::Create(dir / "a.gml");
    EXPECT_EQ(file->GetXField("t"), "Caf\xC3\xA9");
    EXPECT_EQ(file->GetXField("u"), "x\xEF\xBF\xBDy");
}

TEST(XmlQueryTest, RecordsOutliveTheFileObject) {
    std::shared_ptr<IXmlRecordset> links;
    std::shared_ptr<IXmlRecord> term;
    {
        auto file = TXmlFile::FromText(kFeatures, "");
        links = file->RecordSet("osgb:networkMember/osgb:PathLink");
        term = links->Find("osgb:descriptiveTerm", foNull);
    }
    EXPECT_EQ(term->GetValue(), "Path");
    links->Next();
    EXPECT_EQ(links->GetXField("@fid"), "osgb0000000000000002");
    EXPECT_EQ(links->RecordSet("../osgb:PathLink")->Count(), 2);
}

TEST(XmlQueryTest, TextThatIsNotWellFormedRaisesWithTheParsersReason) {
    TempDir dir;
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"<r>\n  <a>\n  </b>\n</r>", "Start-end tags mismatch (bad.gml, line 3, column "},
        {"<r>\n<a x='1></r>", "(bad.gml, line 2, column "},
        {"<r><a></a>", "(bad.gml, line 1, column "},
        {"   \n ", "No document element found (bad.gml, line "},
        {"<r/>\n<s/>", "More than one root element (bad.gml, line 2, column "},
        {"<r/> tail", "Text outside the root element (bad.gml, line 1, column "},
        {"<r/>x", "Text outside the root element (bad.gml, line 1, column "},
        {"junk\n<r/>", "Text outside the root element (bad.gml, line 1, column 1)"},
    };
    for (const auto& c : cases) {
        WriteFile(dir / "bad.gml", c.Text);
        try {
            TXmlFile::Create(dir / "bad.gml");
            ADD_FAILURE() << c.Text;
        } catch (const EXML& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.Message), std::string::npos) << message;
            EXPECT_EQ(message.back(), ')') << message;
        }
    }
}

TEST(XmlQueryTest, FileThatExistsButCannotBeReadRaisesCannotOpen) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.gml");
    try {
        TXmlFile::Create(dir / "folder.gml");
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + (dir / "folder.gml") + "\". Is a directory");
    }
}

// A .gz file is inflated in memory and reads as the plain document would; bad gzip data fails
// naming the file and the compressed byte, and nothing is written beside the input.
TEST(XmlQueryGzTest, TableOfInputsThroughTheDocumentReader) {
    TempDir dir;
    const std::string gz = dir / "paths.gz";
    for (const test::TGzCase& c : test::GzCases(1500000)) {
        SCOPED_TRACE(c.What);
        WriteFile(gz, c.Bytes);
        try {
            const auto file = TXmlFile::Create(gz);
            EXPECT_TRUE(c.Good()) << "no error";
            const auto plain = TXmlFile::FromText(c.Plain, "plain");
            auto fromGz = file->RecordSet("osgb:version");
            auto fromPlain = plain->RecordSet("osgb:version");
            ASSERT_EQ(fromGz->Count(), fromPlain->Count());
            EXPECT_GT(fromGz->Count(), 1000);
            EXPECT_TRUE(Values(*fromGz, "@n") == Values(*fromPlain, "@n"));
            EXPECT_EQ(file->GetValue(), plain->GetValue());
        } catch (const EGzError& e) {
            const std::string message = e.what();
            EXPECT_FALSE(c.Good()) << message;
            EXPECT_NE(message.find("\"" + gz + "\""), std::string::npos) << message;
            EXPECT_NE(message.find(c.Expected), std::string::npos) << message;
            if (c.Offset >= 0) {
                EXPECT_NE(message.find("byte " + std::to_string(c.Offset)), std::string::npos) << message;
            }
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
        EXPECT_EQ(ReadFile(gz), c.Bytes);
    }
}

TEST(XmlQueryGzTest, XmlErrorInsideGzipGivesLineAndColumnOfThePlainText) {
    TempDir dir;
    WriteFile(dir / "bad.gz", test::GzipMember("<r>\n  <a>\n  </b>\n</r>"));
    try {
        TXmlFile::Create(dir / "bad.gz");
        ADD_FAILURE();
    } catch (const EXML& e) {
        // Where in the inflated text, as for a plain file.
        EXPECT_EQ(std::string(e.what()), "Start-end tags mismatch (bad.gz, line 3, column 5)");
    }
}

// A missing plain file reads as an empty document; a missing .gz fails, as its expansion did.
TEST(XmlQueryGzTest, MissingGzFails) {
    TempDir dir;
    EXPECT_THROW(TXmlFile::Create(dir / "missing.gz"), EFOpenError);
    WriteFile(dir / "empty.gz", "");
    EXPECT_THROW(TXmlFile::Create(dir / "empty.gz"), EGzError);
}

}  // namespace
}  // namespace itn
