// Encoding detection of the streaming XML reader: byte-order marks, UTF-16 layouts and
// declared single-byte encodings. Text always reaches the handlers as UTF-8.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/native_xml.h"
#include "test_support.h"
#include "xml_test_util.h"

namespace itn {
namespace {

using test::TempDir;
using ::testing::ElementsAre;

const std::string kEAcute = "\xC3\xA9";  // é in UTF-8

// Name, attribute "a" and value of every element, through a file, for two page sizes.
std::vector<std::string> Read(const std::string& Bytes) {
    TempDir dir;
    std::vector<std::string> first;
    for (size_t page : {size_t(0), size_t(64)}) {
        TNativeXml xml;
        if (page) xml.SetPageSize(page);
        std::vector<std::string> seen;
        xml.OnNodeLoaded = [&](TNativeXml&, TXmlNode& n) {
            if (n.ElementType() == xeNormal) seen.push_back(n.Name() + "|" + n.AttributeByName("a") + "|" + n.ValueAsString());
        };
        test::LoadText(xml, dir, Bytes);
        if (page == 0) first = seen;
        else EXPECT_EQ(seen, first);
    }
    return first;
}

std::string Utf16(const std::u16string& Text, bool BigEndian, bool Bom) {
    std::string out;
    auto put = [&](char16_t c) {
        if (BigEndian) {
            out.push_back(static_cast<char>(c >> 8));
            out.push_back(static_cast<char>(c & 0xFF));
        } else {
            out.push_back(static_cast<char>(c & 0xFF));
            out.push_back(static_cast<char>(c >> 8));
        }
    };
    if (Bom) put(0xFEFF);
    for (char16_t c : Text) put(c);
    return out;
}

TEST(NativeXmlEncoding, Utf8ByteOrderMark) {
    EXPECT_THAT(Read("\xEF\xBB\xBF<caf\xC3\xA9 a='\xC3\xA9'>\xE2\x82\xAC</caf\xC3\xA9>"),
                ElementsAre("caf" + kEAcute + "|" + kEAcute + "|\xE2\x82\xAC"));
    // With a mark the declaration does not change the encoding.
    EXPECT_THAT(Read("\xEF\xBB\xBF<?xml version='1.0' encoding='ISO-8859-1'?><r>\xC3\xA9</r>"), ElementsAre("r||" + kEAcute));
}

TEST(NativeXmlEncoding, DeclaredUtf8InAnyLetterCase) {
    EXPECT_THAT(Read("<?xml version='1.0' encoding='UTF-8'?><r a='\xC3\xA9'>\xC3\xA9</r>"), ElementsAre("r|" + kEAcute + "|" + kEAcute));
    EXPECT_THAT(Read("<?xml version='1.0' encoding=\"utf-8\"?><r>\xC3\xA9</r>"), ElementsAre("r||" + kEAcute));
}

TEST(NativeXmlEncoding, DeclarationWithoutEncodingMeansUtf8) {
    EXPECT_THAT(Read("<?xml version='1.0'?><r>\xC3\xA9</r>"), ElementsAre("r||" + kEAcute));
}

TEST(NativeXmlEncoding, DeclaredSingleByteEncodingIsReadInTheDefaultCodePage) {
    // 0xE9 is é and 0x80 is the euro sign in code page 1252.
    EXPECT_THAT(Read("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<caf\xE9 a='\xE9'>\x80 \xE9</caf\xE9>"),
                ElementsAre("caf" + kEAcute + "|" + kEAcute + "|\xE2\x82\xAC " + kEAcute));
    EXPECT_THAT(Read("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r><!--\xE9--><x>\xE9</X></r>"),
                ElementsAre("x||" + kEAcute, "r||"));
}

TEST(NativeXmlEncoding, WithoutDeclarationTextIsSingleByte) {
    EXPECT_THAT(Read("<r>\xE9</r>"), ElementsAre("r||" + kEAcute));
    // UTF-8 bytes are then read as two single-byte characters.
    EXPECT_THAT(Read("<r>\xC3\xA9</r>"), ElementsAre("r||\xC3\x83\xC2\xA9"));
}

TEST(NativeXmlEncoding, Utf16LittleAndBigEndianWithMark) {
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<caf\u00E9 a=\"\u20AC\">x &amp; \u00E9 \U0001F600</caf\u00E9>";
    const std::string expected = "caf" + kEAcute + "|\xE2\x82\xAC|x & " + kEAcute + " \xF0\x9F\x98\x80";
    EXPECT_THAT(Read(Utf16(text, false, true)), ElementsAre(expected));
    EXPECT_THAT(Read(Utf16(text, true, true)), ElementsAre(expected));
}

TEST(NativeXmlEncoding, Utf16WithoutMarkFromTheDeclaration) {
    const std::u16string text = u"<?xml version=\"1.0\"?><r a='\u00E9'>\u4E2D</r>";
    EXPECT_THAT(Read(Utf16(text, false, false)), ElementsAre("r|" + kEAcute + "|\xE4\xB8\xAD"));
    EXPECT_THAT(Read(Utf16(text, true, false)), ElementsAre("r|" + kEAcute + "|\xE4\xB8\xAD"));
}

TEST(NativeXmlEncoding, Utf16BadSurrogatesAndOddLength) {
    std::u16string text = u"<r>";
    text.push_back(0xD800);  // high surrogate without its low half
    text += u"x";
    text.push_back(0xDC00);  // low surrogate alone
    text += u"</r>";
    std::string bytes = Utf16(text, false, true);
    bytes.push_back('\0');  // an odd last byte
    EXPECT_THAT(Read(bytes), ElementsAre("r||\xEF\xBF\xBDx\xEF\xBF\xBD"));
}

TEST(NativeXmlEncoding, Utf16PositionsReachTheFileSize) {
    const std::string bytes = Utf16(u"<r><a>1</a><b/></r>", false, true);
    TNativeXml xml;
    std::vector<int32_t> progress;
    xml.OnProgress = [&](TNativeXml&, int32_t size) { progress.push_back(size); };
    xml.LoadFromString(bytes);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), static_cast<int32_t>(bytes.size()));
    for (size_t i = 1; i < progress.size(); ++i) EXPECT_LE(progress[i - 1], progress[i]);
}

}  // namespace
}  // namespace itn
