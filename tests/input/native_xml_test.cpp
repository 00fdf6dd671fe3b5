// The streaming XML reader: event order and timing, depth, names, values, attributes,
// deletion and the tree left after a load.
#include "input/native_xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"
#include "xml_test_util.h"

namespace itn {
namespace {

using test::LoadText;
using test::TempDir;
using test::TEventLog;
using ::testing::ElementsAre;

TEST(NativeXmlEvents, NestedElementsInDocumentOrder) {
    TempDir dir;
    TNativeXml xml;
    TEventLog log;
    log.Attach(xml);
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n <b>1</b>\n <c x=\"2\"/>\n</a>\n";
    LoadText(xml, dir, text);
    // Positions: the byte after each node's end.
    const size_t decl_end = text.find("?>") + 2;
    const size_t b_end = text.find("</b>") + 4;
    const size_t c_end = text.find("/>") + 2;
    const size_t a_end = text.find("</a>") + 4;
    EXPECT_THAT(log.Lines,
                ElementsAre("progress 0", "new xml 0", "progress " + std::to_string(decl_end), "loaded xml 0 []",
                            "new a 0", "new b 1", "progress " + std::to_string(b_end), "loaded b 1 [1]", "new c 1",
                            "progress " + std::to_string(c_end), "loaded c 1 []",
                            "progress " + std::to_string(a_end), "loaded a 0 []",
                            "progress " + std::to_string(text.size())));
    EXPECT_EQ(xml.Position(), static_cast<int64_t>(text.size()));
    EXPECT_EQ(xml.FileSize(), static_cast<int64_t>(text.size()));
}

TEST(NativeXmlEvents, EmptyElementGivesNewProgressLoadedInARow) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> seen;
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
        seen.push_back("new " + n.Name() + " fid=" + n.AttributeByName("fid") + " value=" + n.ValueAsString());
    };
    xml.OnProgress = [&](TNativeXml&, int32_t) { seen.push_back("progress"); };
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        seen.push_back("loaded " + n.Name() + " fid=" + n.AttributeByName("fid") + " value=" + n.ValueAsString());
    };
    LoadText(xml, dir, "<r><e fid='osgb1'/></r>");
    EXPECT_THAT(seen, ElementsAre("progress", "new r fid= value=", "new e fid=osgb1 value=", "progress",
                                  "loaded e fid=osgb1 value=", "progress", "loaded r fid= value=", "progress"));
}

TEST(NativeXmlEvents, ValueIsEmptyInNodeNewAndSetInNodeLoaded) {
    TempDir dir;
    TNativeXml xml;
    std::string at_new = "unset";
    int32_t at_loaded = 0;
    std::string loaded_text;
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "osgb:version") at_new = n.ValueDirect();
    };
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "osgb:version") {
            at_loaded = n.ValueAsInteger();
            loaded_text = n.ValueAsString();
        }
    };
    LoadText(xml, dir, "<osgb:FC><osgb:version>3</osgb:version></osgb:FC>");
    EXPECT_EQ(at_new, "");
    EXPECT_EQ(at_loaded, 3);
    EXPECT_EQ(loaded_text, "3");
}

TEST(NativeXmlEvents, DepthsOfAnItnLikeDocument) {
    TempDir dir;
    TNativeXml xml;
    TEventLog log;
    log.WithProgress = false;
    log.WithValues = false;
    log.Attach(xml);
    LoadText(xml, dir,
             "<?xml version='1.0' encoding='UTF-8'?>\n"
             "<osgb:FeatureCollection xmlns:osgb='http://www.ordnancesurvey.co.uk/xml/namespaces/osgb'>\n"
             "<osgb:networkMember>\n"
             "<osgb:RoadLink fid='osgb4000000023456789'>\n"
             "<osgb:version>3</osgb:version>\n"
             "<osgb:polyline><gml:LineString><gml:coordinates>1,2 3,4</gml:coordinates></gml:LineString></osgb:polyline>\n"
             "</osgb:RoadLink>\n"
             "</osgb:networkMember>\n"
             "</osgb:FeatureCollection>\n");
    EXPECT_THAT(log.Lines,
                ElementsAre("new xml 0", "loaded xml 0", "new osgb:FeatureCollection 0", "new osgb:networkMember 1",
                            "new osgb:RoadLink 2", "new osgb:version 3", "loaded osgb:version 3",
                            "new osgb:polyline 3", "new gml:LineString 4", "new gml:coordinates 5",
                            "loaded gml:coordinates 5", "loaded gml:LineString 4", "loaded osgb:polyline 3",
                            "loaded osgb:RoadLink 2", "loaded osgb:networkMember 1",
                            "loaded osgb:FeatureCollection 0"));
}

TEST(NativeXmlEvents, CommentInsideAFeatureReachesBothEventsAtItsDepth) {
    TempDir dir;
    TNativeXml xml;
    TEventLog log;
    log.WithProgress = false;
    log.Attach(xml);
    LoadText(xml, dir, "<fc><m><f fid='x'><!-- a note --><v>1</v></f></m></fc>");
    EXPECT_THAT(log.Lines, ElementsAre("new fc 0", "new m 1", "new f 2", "new Comment 3", "loaded Comment 3 [ a note ]",
                                       "new v 3", "loaded v 3 [1]", "loaded f 2 []", "loaded m 1 []", "loaded fc 0 []"));
}

TEST(NativeXmlEvents, NodeKindsAndTheirNames) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> seen;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        seen.push_back(std::to_string(n.ElementType()) + " " + n.Name() + " " + std::to_string(n.TreeDepth()) + " [" +
                       n.ValueDirect() + "]");
    };
    LoadText(xml, dir,
             "<?xml version=\"1.0\"?>\n"
             "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\n"
             "<!DOCTYPE r SYSTEM \"r.dtd\" [\n"
             "  <!ELEMENT r (#PCDATA)>\n"
             "  <!ATTLIST r a CDATA \"x>y\">\n"
             "  <!ENTITY e \"E\">\n"
             "  <!NOTATION n SYSTEM \"n\">\n"
             "  %pe;\n"
             "]>\n"
             "<r><![CDATA[<raw> & ]]><!other thing><?pi data?><!--c--></r>\n");
    EXPECT_THAT(seen, ElementsAre("3 xml 0 []", "4 xml-stylesheet 0 [type=\"text/xsl\" href=\"s.xsl\"]",
                                  "6 r 1 [(#PCDATA)]", "7 r 1 [a CDATA \"x>y\"]", "8 e 1 [\"E\"]",
                                  "9 n 1 [SYSTEM \"n\"]", "5 DTD 0 [r SYSTEM \"r.dtd\"]", "2 CData 1 [<raw> & ]",
                                  "10 Special 1 [other thing]", "11 Special 1 [pi data]", "1 Comment 1 [c]",
                                  "0 r 0 []"));
    ASSERT_EQ(xml.RootNodeCount(), 4);
    EXPECT_EQ(xml.RootNodes(0)->ElementType(), xeDeclaration);
    EXPECT_EQ(xml.RootNodes(1)->ElementType(), xeStylesheet);
    EXPECT_EQ(xml.RootNodes(1)->AttributeByName("href"), "s.xsl");
    EXPECT_EQ(xml.RootNodes(2)->ElementType(), xeDoctype);
    EXPECT_EQ(xml.Root(), xml.RootNodes(3));
}

TEST(NativeXmlEvents, TextRunsReceiveNoEvents) {
    TempDir dir;
    TNativeXml xml;
    TEventLog log;
    log.WithProgress = false;
    log.Attach(xml);
    LoadText(xml, dir, "<a>before<b/>after</a>");
    EXPECT_THAT(log.Lines, ElementsAre("new a 0", "new b 1", "loaded b 1 []", "loaded a 0 [before]"));
}

TEST(NativeXmlEvents, NoEventBetweenLastChildAndParentLoaded) {
    TempDir dir;
    TNativeXml xml;
    TEventLog log;
    log.WithProgress = false;
    log.WithValues = false;
    log.Attach(xml);
    LoadText(xml, dir, "<a><b><c/></b>\n  \n</a>");
    EXPECT_THAT(log.Lines, ElementsAre("new a 0", "new b 1", "new c 2", "loaded c 2", "loaded b 1", "loaded a 0"));
}

// ---- names, values and attributes --------------------------------------------------------

TEST(NativeXmlValues, ValueAsStringTrimsBlanksAndResolvesReferences) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> values;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.TreeDepth() == 1) values.push_back(n.ValueAsString());
    };
    LoadText(xml, dir,
             "<r><v> \t\r\n Tom &amp; Jerry \r\n</v><v>&lt;&gt;&apos;&quot;</v><v>&#65;&#x42;&#X43;</v>"
             "<v>&undeclared; &amp;lt; &#65535; &#xFFFF; &#x; &#; & alone</v><v>&#233;&#x20AC;</v>"
             "<v>&#32;x</v></r>");
    EXPECT_THAT(values, ElementsAre("Tom & Jerry", "<>'\"", "ABC", "&undeclared; &lt; &#65535; &#xFFFF; &#x; &#; & alone",
                                    "\xC3\xA9\xE2\x82\xAC", " x"));
}

TEST(NativeXmlValues, RawValueIsKeptUnchanged) {
    TempDir dir;
    TNativeXml xml;
    std::string raw;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "v") raw = n.ValueDirect();
    };
    LoadText(xml, dir, "<r><v>\r\n  a &amp; b\t</v></r>");
    EXPECT_EQ(raw, "\r\n  a &amp; b\t");
}

TEST(NativeXmlValues, ValueAsInteger) {
    TempDir dir;
    TNativeXml xml;
    std::vector<int32_t> ints;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "i") ints.push_back(n.ValueAsInteger());
    };
    LoadText(xml, dir, "<r><i>0</i><i>42</i><i>-17</i><i>+5</i><i>  12</i><i>2147483647</i><i>-2147483648</i><i>007</i></r>");
    EXPECT_THAT(ints, ElementsAre(0, 42, -17, 5, 12, 2147483647, -2147483647 - 1, 7));
}

TEST(NativeXmlValues, ValueAsFloatReadsCommaAsPoint) {
    TempDir dir;
    TNativeXml xml;
    std::vector<double> values;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "f") values.push_back(n.ValueAsFloat());
    };
    LoadText(xml, dir,
             "<r><f>1.5</f><f>1,5</f><f>-2</f><f>  2.5e3</f><f>.25</f><f>4.</f><f>+1E-2</f><f>290151.000</f>"
             "<f>1e-400</f></r>");
    EXPECT_THAT(values, ElementsAre(1.5, 1.5, -2.0, 2500.0, 0.25, 4.0, 0.01, 290151.0, 0.0));
}

TEST(NativeXmlAttributes, QuotesReferencesAndCase) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> seen;
    auto check = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() != "e") return;
        seen.push_back(n.AttributeByName("a") + "|" + n.AttributeByName("b") + "|" + n.AttributeByName("c") + "|" +
                       n.AttributeByName("d") + "|" + n.AttributeByName("xlink:href") + "|" + n.AttributeByName("missing") +
                       "|" + (n.HasAttribute("FID") ? "FID" : "-") + (n.HasAttribute("fid") ? "fid" : "-") +
                       (n.HasAttribute("missing") ? "missing" : "-") + (n.HasAttribute("") ? "empty" : "-") + "|" +
                       n.AttributeByName("Fid"));
    };
    xml.OnNodeNew = check;
    xml.OnNodeLoaded = check;
    LoadText(xml, dir,
             "<r><e a=\"x &amp; y\" b='it''s' c=\"say \"\"hi\"\"\" d=&#65; xlink:href='#osgb5' fid='osgb4000000023456789'/>"
             "</r>");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "x & y|it's|say \"hi\"|A|#osgb5||FIDfid--|osgb4000000023456789");
    EXPECT_EQ(seen[1], seen[0]);
}

TEST(NativeXmlAttributes, DecimalReferenceReadsAsLetter) {
    TempDir dir;
    TNativeXml xml;
    std::string value;
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "e") value = n.AttributeByName("v");
    };
    LoadText(xml, dir, "<r><e v=\"&#65;\"/></r>");
    EXPECT_EQ(value, "A");
}

TEST(NativeXmlAttributes, SpacingAroundEqualsAndOddForms) {
    TempDir dir;
    TNativeXml xml;
    TXmlNode* kept = nullptr;
    xml.KeepUndeletedNodes = true;
    LoadText(xml, dir, "<r><e  a = \"1\"\tb\n=\n'2' c=3 d e=\"x>y\" f=\"\" g= h i=\"1\"j=\"2\"/></r>");
    kept = xml.Root()->Nodes(0);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Name(), "e");
    std::vector<std::string> pairs;
    for (int i = 0; i < kept->AttributeCount(); ++i) pairs.push_back(kept->AttributeName(i) + "=" + kept->AttributeValue(i));
    EXPECT_THAT(pairs, ElementsAre("a=1", "b=2", "c=3", "d=", "e=x>y", "f=", "g=", "h=", "i=1"));
    EXPECT_TRUE(kept->HasAttribute("d"));
    EXPECT_EQ(kept->AttributeName(99), "");
    EXPECT_EQ(kept->AttributeValue(-1), "");
}

TEST(NativeXmlAttributes, FirstOfTwoEqualNamesWins) {
    TempDir dir;
    TNativeXml xml;
    std::string value;
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "e") value = n.AttributeByName("A");
    };
    LoadText(xml, dir, "<r><e a='first' A='second'/></r>");
    EXPECT_EQ(value, "first");
}

TEST(NativeXmlNames, NamesAreKeptAsWrittenAndCloseTagsIgnoreCase) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> names;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) { names.push_back(n.Name()); };
    LoadText(xml, dir, "<osgb:FC><OSGB:roadLink></osgb:ROADLINK><a/><b></b ><c>x</ c></osgb:fc>");
    EXPECT_THAT(names, ElementsAre("OSGB:roadLink", "a", "b", "c", "osgb:FC"));
}

TEST(NativeXmlNames, BlanksAfterLessThanAreSkipped) {
    TempDir dir;
    TNativeXml xml;
    std::vector<std::string> names;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) { names.push_back(n.Name()); };
    LoadText(xml, dir, "< r>< \n b/>< /r>");
    EXPECT_THAT(names, ElementsAre("b", "r"));
}

TEST(NativeXmlDocument, TextOutsideTheDocumentElementIsSkipped) {
    TempDir dir;
    TNativeXml xml;
    TEventLog log;
    log.WithProgress = false;
    log.Attach(xml);
    LoadText(xml, dir, "junk before\n<r>1</r>\n trailing junk <!--end-->");
    EXPECT_THAT(log.Lines, ElementsAre("new r 0", "loaded r 0 [1]", "new Comment 0", "loaded Comment 0 [end]"));
    EXPECT_EQ(xml.RootNodeCount(), 2);
}

// ---- deletion and what stays -------------------------------------------------------------

TEST(NativeXmlDelete, DeletingEveryNodeLeavesDeclarationAndEmptyRoot) {
    TempDir dir;
    TNativeXml xml;
    xml.KeepUndeletedNodes = true;  // so that what is left is only what Delete did not remove
    xml.OnNodeLoaded = [](TNativeXml&, TXmlNode& n) {
        if (n.TreeDepth() >= 1) n.Delete();
    };
    LoadText(xml, dir, "<?xml version='1.0'?>\n<fc>\n <m><f fid='1'><v>3</v></f></m>\n <m/>\n</fc>\n");
    ASSERT_EQ(xml.RootNodeCount(), 2);
    EXPECT_EQ(xml.RootNodes(0)->Name(), "xml");
    EXPECT_EQ(xml.RootNodes(0)->AttributeByName("version"), "1.0");
    ASSERT_NE(xml.Root(), nullptr);
    EXPECT_EQ(xml.Root()->Name(), "fc");
    EXPECT_EQ(xml.Root()->NodeCount(), 0);
    EXPECT_EQ(xml.Root()->Parent(), nullptr);
    EXPECT_EQ(xml.Root()->Document(), &xml);

    // A second load on the same object starts afresh with OnProgress 0.
    std::vector<int32_t> progress;
    xml.OnProgress = [&](TNativeXml&, int32_t size) { progress.push_back(size); };
    LoadText(xml, dir, "<other/>", "second.xml");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 8);
    ASSERT_EQ(xml.RootNodeCount(), 1);
    EXPECT_EQ(xml.Root()->Name(), "other");
}

TEST(NativeXmlDelete, NodesAreReleasedWithoutDeleteByDefault) {
    TempDir dir;
    TNativeXml xml;
    int loaded = 0;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode&) { ++loaded; };
    std::string text = "<?xml version='1.0'?><fc>";
    for (int i = 0; i < 20000; ++i) text += "<m><f fid='osgb" + std::to_string(i) + "'><v>1</v><!--c--></f></m>\n";
    text += "</fc>";
    LoadText(xml, dir, text);
    EXPECT_EQ(loaded, 1 + 20000 * 4 + 1);
    ASSERT_NE(xml.Root(), nullptr);
    EXPECT_EQ(xml.Root()->NodeCount(), 0);
    EXPECT_EQ(xml.RootNodeCount(), 2);
    // Node objects are recycled: only about as many as the deepest open chain.
    EXPECT_LE(xml.AllocatedNodeCount(), 8u);
}

TEST(NativeXmlDelete, KeepModeKeepsWhatTheHandlersDidNotDelete) {
    TempDir dir;
    TNativeXml xml;
    xml.KeepUndeletedNodes = true;
    xml.OnNodeLoaded = [](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "drop") n.Delete();
    };
    LoadText(xml, dir, "<r><keep a='1'><drop><x/></drop><inner>v</inner></keep><drop/><keep2/></r>");
    TXmlNode* r = xml.Root();
    ASSERT_EQ(r->NodeCount(), 2);
    TXmlNode* keep = r->Nodes(0);
    EXPECT_EQ(keep->Name(), "keep");
    EXPECT_EQ(keep->Parent(), r);
    ASSERT_EQ(keep->NodeCount(), 1);
    EXPECT_EQ(keep->Nodes(0)->Name(), "inner");
    EXPECT_EQ(keep->Nodes(0)->ValueAsString(), "v");
    EXPECT_EQ(keep->Nodes(0)->TreeDepth(), 2);
    EXPECT_EQ(r->Nodes(1)->Name(), "keep2");
    EXPECT_EQ(r->Nodes(2), nullptr);

    // Deleting a kept node after the load frees it with its subtree.
    keep->Delete();
    ASSERT_EQ(r->NodeCount(), 1);
    EXPECT_EQ(r->Nodes(0)->Name(), "keep2");
}

TEST(NativeXmlDelete, TopLevelNodesAreLeftAlone) {
    TempDir dir;
    TNativeXml xml;
    xml.OnNodeLoaded = [](TNativeXml&, TXmlNode& n) { n.Delete(); };
    LoadText(xml, dir, "<?xml version='1.0'?><!--c--><r><a/></r>");
    EXPECT_EQ(xml.RootNodeCount(), 3);
    ASSERT_NE(xml.Root(), nullptr);
    xml.Root()->Delete();
    EXPECT_EQ(xml.RootNodeCount(), 3);
}

TEST(NativeXmlDelete, DeleteInNodeNewStillParsesTheNodeAndItsChildren) {
    TempDir dir;
    TNativeXml xml;
    xml.KeepUndeletedNodes = true;
    std::vector<std::string> seen;
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "gone") n.Delete();
    };
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        seen.push_back(n.Name() + " " + std::to_string(n.TreeDepth()) + " " + n.ValueAsString() + " " +
                       n.AttributeByName("a"));
    };
    LoadText(xml, dir, "<r><gone a='1'><c>x</c></gone><stay/></r>");
    EXPECT_THAT(seen, ElementsAre("c 2 x ", "gone 1  1", "stay 1  ", "r 0  "));
    ASSERT_EQ(xml.Root()->NodeCount(), 1);
    EXPECT_EQ(xml.Root()->Nodes(0)->Name(), "stay");
}

TEST(NativeXmlDelete, DeletingAnOpenParentFromAChildHandlerIsSafe) {
    TempDir dir;
    TNativeXml xml;
    xml.KeepUndeletedNodes = true;
    std::vector<std::string> seen;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        seen.push_back(n.Name());
        if (n.Name() == "c" && n.Parent()) n.Parent()->Delete();
    };
    LoadText(xml, dir, "<r><p><c/><d/></p><q/></r>");
    EXPECT_THAT(seen, ElementsAre("c", "d", "p", "q", "r"));
    ASSERT_EQ(xml.Root()->NodeCount(), 1);
    EXPECT_EQ(xml.Root()->Nodes(0)->Name(), "q");
}

TEST(NativeXmlDelete, DeepNestingNeedsNoDeepStack) {
    const int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<e>";
    text += "x";
    for (int i = 0; i < depth; ++i) text += "</e>";
    for (bool keep : {false, true}) {
        TNativeXml xml;
        xml.KeepUndeletedNodes = keep;
        int deepest = 0;
        xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) { deepest = std::max(deepest, n.TreeDepth()); };
        xml.LoadFromString(text);
        EXPECT_EQ(deepest, depth - 1);
        EXPECT_EQ(xml.Root()->NodeCount(), keep ? 1 : 0);
        xml.Clear();  // frees the whole chain without recursion
        EXPECT_EQ(xml.RootNodeCount(), 0);
        EXPECT_LE(xml.AllocatedNodeCount(), 256u);  // the pool does not keep the peak
    }
}

// ---- values of elements with children (keep mode shows the tree) ---------------------------

TEST(NativeXmlMixedContent, FirstTextRunBecomesTheValue) {
    TempDir dir;
    TNativeXml xml;
    xml.KeepUndeletedNodes = true;
    LoadText(xml, dir, "<r><a>text<b/>more</a><c>\n  <d/>\n  </c><e> <f/> tail </e></r>");
    TXmlNode* r = xml.Root();
    ASSERT_EQ(r->NodeCount(), 3);
    TXmlNode* a = r->Nodes(0);
    EXPECT_EQ(a->ValueDirect(), "text");
    ASSERT_EQ(a->NodeCount(), 2);
    EXPECT_EQ(a->Nodes(0)->Name(), "b");
    EXPECT_EQ(a->Nodes(1)->ElementType(), xeCharData);
    EXPECT_EQ(a->Nodes(1)->ValueAsString(), "more");
    EXPECT_EQ(a->Nodes(1)->TreeDepth(), 2);
    TXmlNode* c = r->Nodes(1);
    EXPECT_EQ(c->ValueDirect(), "");  // blank runs are not kept
    EXPECT_EQ(c->NodeCount(), 1);
    TXmlNode* e = r->Nodes(2);
    EXPECT_EQ(e->ValueDirect(), "");  // the first child is the element f
    ASSERT_EQ(e->NodeCount(), 2);
    EXPECT_EQ(e->Nodes(1)->ValueAsString(), "tail");
}

TEST(NativeXmlMixedContent, ReleasedChildrenLeaveTheFirstTextRunAsValue) {
    TempDir dir;
    TNativeXml xml;
    std::string value;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "e") value = n.ValueAsString();
    };
    LoadText(xml, dir, "<r><e> <f/> tail <g/> more </e></r>");
    EXPECT_EQ(value, "tail");
}

// ---- events, errors and reuse ---------------------------------------------------------------

TEST(NativeXmlHandlers, AnErrorOfAHandlerLeavesTheLoadAndTheDocumentIsReusable) {
    TempDir dir;
    TNativeXml xml;
    int versions = 0;
    xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "osgb:version") {
            n.ValueAsInteger();
            ++versions;
        }
        if (n.TreeDepth() >= 1) n.Delete();
    };
    EXPECT_EQ(test::ErrorOf([&] { LoadText(xml, dir, "<fc><f><osgb:version>2</osgb:version><osgb:version>x2</osgb:version></f></fc>"); }),
              "'x2' is not a valid integer value");
    EXPECT_EQ(versions, 1);
    // The document holds what was parsed up to the error: the open elements.
    ASSERT_NE(xml.Root(), nullptr);
    EXPECT_EQ(xml.Root()->Name(), "fc");
    ASSERT_EQ(xml.Root()->NodeCount(), 1);
    EXPECT_EQ(xml.Root()->Nodes(0)->Name(), "f");
    EXPECT_FALSE(xml.Loading());

    LoadText(xml, dir, "<fc><osgb:version>7</osgb:version></fc>", "ok.xml");
    EXPECT_EQ(versions, 2);
    EXPECT_EQ(xml.Root()->NodeCount(), 0);
}

TEST(NativeXmlHandlers, ClearAndLoadAreRefusedDuringALoad) {
    TempDir dir;
    TNativeXml xml;
    std::string clear_error, load_error;
    xml.OnNodeNew = [&](TNativeXml& sender, TXmlNode&) {
        clear_error = test::ErrorOf([&] { sender.Clear(); });
        load_error = test::ErrorOf([&] { sender.LoadFromString("<x/>"); });
    };
    LoadText(xml, dir, "<r/>");
    EXPECT_EQ(clear_error, "TNativeXml.Clear : unexpected situation");
    EXPECT_EQ(load_error, "TNativeXml.LoadFromString : unexpected situation");
    ASSERT_NE(xml.Root(), nullptr);
}

TEST(NativeXmlHandlers, UnassignedEventsAreFine) {
    TempDir dir;
    TNativeXml xml;
    LoadText(xml, dir, "<r><a/></r>");
    EXPECT_EQ(xml.Root()->Name(), "r");
    xml.Clear();
    EXPECT_EQ(xml.RootNodeCount(), 0);
    EXPECT_EQ(xml.Root(), nullptr);
}

TEST(NativeXmlHandlers, EncodingStringHasNoEffectOnReading) {
    TempDir dir;
    TNativeXml xml;
    xml.EncodingString = "UTF-8";
    LoadText(xml, dir, "<r a='\xC3\xA9'/>");
    EXPECT_EQ(xml.EncodingString, "UTF-8");
    EXPECT_EQ(xml.Root()->AttributeByName("a"), "\xC3\x83\xC2\xA9");  // no declaration: single-byte text
}

// ---- the same events whatever the read page size -------------------------------------------

std::string VariedDocument() {
    std::string t = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- header -->\n<!DOCTYPE fc [ <!ENTITY e 'v'> ]>\n";
    t += "<osgb:FeatureCollection xmlns:osgb=\"http://x\" fid='c'>\n";
    for (int i = 0; i < 300; ++i) {
        t += "  <osgb:networkMember>\n    <osgb:RoadLink fid='osgb40000000" + std::to_string(1000000 + i) + "'>\n";
        t += "      <osgb:version>" + std::to_string(i % 7) + "</osgb:version>\n";
        t += "      <osgb:descriptiveTerm>A &amp; B \xC3\xA9</osgb:descriptiveTerm>\n";
        t += "      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>";
        for (int k = 0; k < i % 13; ++k) t += std::to_string(290151 + k) + ".000," + std::to_string(92596 + i) + ".000 ";
        t += "</gml:coordinates></gml:LineString></osgb:polyline>\n";
        t += "      <osgb:startNode orientation=\"-\" xlink:href=\"#osgb4000000023364556\"/>\n";
        if (i % 17 == 0) t += "      <![CDATA[ raw ]]> <!-- note " + std::string(static_cast<size_t>(i), '-') + " x -->\n";
        if (i % 29 == 0) t += "      <long a=\"" + std::string(static_cast<size_t>(i * 10), 'q') + "\"/>\n";
        t += "    </osgb:RoadLink>\n  </osgb:networkMember>\n";
    }
    t += "</osgb:FeatureCollection>\n";
    return t;
}

class NativeXmlPages : public ::testing::TestWithParam<size_t> {};

TEST_P(NativeXmlPages, EventsDoNotDependOnThePageSize) {
    TempDir dir;
    const std::string text = VariedDocument();
    auto run = [&](size_t page) {
        TNativeXml xml;
        if (page) xml.SetPageSize(page);
        TEventLog log;
        log.Attach(xml);
        auto loaded = xml.OnNodeLoaded;
        xml.OnNodeLoaded = [&, loaded](TNativeXml& s, TXmlNode& n) {
            loaded(s, n);
            for (int i = 0; i < n.AttributeCount(); ++i) log.Lines.push_back(n.AttributeName(i) + "=" + n.AttributeValue(i));
            log.Lines.push_back(n.ValueAsString());
        };
        LoadText(xml, dir, text);
        return log.Lines;
    };
    const std::vector<std::string> reference = run(0);
    EXPECT_EQ(run(GetParam()), reference);
}

INSTANTIATE_TEST_SUITE_P(Sizes, NativeXmlPages, ::testing::Values(1, 64, 65, 97, 128, 1000, 4096, 65536));

TEST(NativeXmlThreads, TwoDocumentsLoadOnTwoThreadsAtOnce) {
    TempDir dir;
    const std::string text = VariedDocument();
    test::WriteFile(dir / "a.xml", text);
    test::WriteFile(dir / "b.xml", "<?xml version='1.0' encoding='ISO-8859-1'?>" + text.substr(text.find("<osgb:F")));
    auto run = [&](const std::string& file, std::vector<std::string>& lines) {
        for (int round = 0; round < 5; ++round) {
            TNativeXml xml;
            xml.SetPageSize(97);
            TEventLog log;
            log.Attach(xml);
            xml.LoadFromFile(file);
            lines = log.Lines;
        }
    };
    std::vector<std::string> a1, b1, a2, b2;
    run(dir / "a.xml", a1);
    run(dir / "b.xml", b1);
    std::thread t([&] { run(dir / "a.xml", a2); });
    run(dir / "b.xml", b2);
    t.join();
    EXPECT_EQ(a2, a1);
    EXPECT_EQ(b2, b1);
}

TEST(NativeXmlLoadFromString, SameAsAFile) {
    TNativeXml xml;
    TEventLog log;
    log.Attach(xml);
    xml.LoadFromString("<r><a>1</a></r>");
    EXPECT_THAT(log.Lines, ElementsAre("progress 0", "new r 0", "new a 1", "progress 11", "loaded a 1 [1]", "progress 15",
                                       "loaded r 0 []", "progress 15"));
}

}  // namespace
}  // namespace itn
