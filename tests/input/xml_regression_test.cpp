// Regression cases of the streaming XML reader, most of them found by the fuzz target
// (tests/input/fuzz): each input of tests/input/fuzz/corpus is loaded with several page sizes,
// in both node modes, and whatever the load leaves is read in full.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "input/native_xml.h"
#include "test_support.h"

namespace itn {
namespace {

// From the data folder, not __FILE__: a compiler cache may make __FILE__ relative.
const std::filesystem::path kCorpus = std::filesystem::path(ITN_TEST_DATA_DIR).parent_path() / "input" / "fuzz" / "corpus";

size_t ReadAll(const TXmlNode& N) {
    size_t sum = N.Name().size() + N.ValueDirect().size() + N.ValueAsString().size();
    for (int i = 0; i < N.AttributeCount(); ++i) {
        const std::string name = N.AttributeName(i);
        EXPECT_TRUE(N.HasAttribute(name));
        sum += name.size() + N.AttributeValue(i).size() + N.AttributeByName(name).size();
    }
    try {
        sum += static_cast<size_t>(N.ValueAsInteger());
    } catch (const EXmlConvertError&) {
    }
    try {
        sum += N.ValueAsFloat() != 0.0;
    } catch (const EXmlConvertError&) {
    }
    return sum;
}

size_t WalkTree(const TNativeXml& Xml) {
    size_t sum = 0;
    std::vector<const TXmlNode*> work;
    for (int i = 0; i < Xml.RootNodeCount(); ++i) work.push_back(Xml.RootNodes(i));
    while (!work.empty()) {
        const TXmlNode* n = work.back();
        work.pop_back();
        sum += ReadAll(*n);
        for (int i = 0; i < n->NodeCount(); ++i) {
            EXPECT_EQ(n->Nodes(i)->Parent(), n);
            work.push_back(n->Nodes(i));
        }
    }
    return sum;
}

TEST(NativeXmlRegression, EndOfFileInsideAStartTagLeavesNoHalfAttributes) {
    for (bool keep : {false, true}) {
        for (size_t page : {size_t(64), size_t(4096)}) {
            TNativeXml xml;
            xml.KeepUndeletedNodes = keep;
            xml.SetPageSize(page);
            std::string error;
            try {
                xml.LoadFromString("<r><e  a = \"1\" b='2' c=3 d" + std::string(100, '^'));
            } catch (const EXmlParseError& e) {
                error = e.what();
            }
            EXPECT_EQ(error, "Missing close tag in element e");
            ASSERT_NE(xml.Root(), nullptr);
            ASSERT_EQ(xml.Root()->NodeCount(), 1);
            const TXmlNode* e = xml.Root()->Nodes(0);
            EXPECT_EQ(e->AttributeCount(), 0);
            EXPECT_EQ(e->AttributeName(0), "");
            WalkTree(xml);
        }
    }
}

TEST(NativeXmlRegression, CorpusInputsLoadOrFailCleanly) {
    ASSERT_TRUE(std::filesystem::is_directory(kCorpus)) << kCorpus;
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
        const std::string bytes = test::ReadFile(entry.path().string());
        ++files;
        for (bool keep : {false, true}) {
            for (size_t page : {size_t(64), size_t(65), size_t(97), size_t(256), size_t(0)}) {
                TNativeXml xml;
                xml.KeepUndeletedNodes = keep;
                if (page) xml.SetPageSize(page);
                int depth = 0;
                xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
                    EXPECT_EQ(n.TreeDepth(), depth) << entry.path();
                    ++depth;
                    ReadAll(n);
                };
                xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
                    --depth;
                    EXPECT_EQ(n.TreeDepth(), depth) << entry.path();
                    ReadAll(n);
                    if (n.TreeDepth() >= 1 && (n.Name().size() & 1)) n.Delete();
                };
                try {
                    xml.LoadFromString(bytes);
                    EXPECT_NE(xml.Root(), nullptr);
                } catch (const EXmlParseError&) {
                }
                WalkTree(xml);
            }
        }
    }
    EXPECT_GT(files, 10u);
}

}  // namespace
}  // namespace itn
