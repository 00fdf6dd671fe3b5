#include "urban/xml_query.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <pugixml.hpp>
#include <unordered_map>
#include <utility>
#include <vector>

#include "input/gz_input.h"
#include "io/errors.h"
#include "io/streams.h"

namespace itn {

namespace {

constexpr std::string_view kEmptyDocument = "<XmlDatabase />";

struct TXmlDocument {
    pugi::xml_document Doc;

    // The grandchildren of the root element grouped by "child name/grandchild name", each group
    // in document order. The converter selects its features below the root with such two-step
    // paths, several per document: one walk over the root's children serves them all.
    const std::vector<pugi::xml_node>& RootGroup(std::string_view TwoSteps) const;

private:
    mutable std::unordered_map<std::string, std::vector<pugi::xml_node>> FRootGroups;
    mutable bool FRootIndexed = false;
};
using TDocumentPtr = std::shared_ptr<const TXmlDocument>;

// ---- Buffers ---------------------------------------------------------------------------

// A buffer from pugixml's allocator, which the document takes over when parsing in place. It
// has room for one byte more than its size.
struct TPugiBuffer {
    char* Data = nullptr;
    size_t Size = 0;

    explicit TPugiBuffer(size_t ASize) : Size(ASize) {
        Data = static_cast<char*>(pugi::get_memory_allocation_function()(ASize + 1));
        if (!Data) throw std::bad_alloc();
    }
    TPugiBuffer(const TPugiBuffer&) = delete;
    TPugiBuffer& operator=(const TPugiBuffer&) = delete;
    TPugiBuffer(TPugiBuffer&& Other) noexcept : Data(std::exchange(Other.Data, nullptr)), Size(Other.Size) {}
    TPugiBuffer& operator=(TPugiBuffer&& Other) noexcept {
        std::swap(Data, Other.Data);
        std::swap(Size, Other.Size);
        return *this;
    }
    ~TPugiBuffer() {
        if (Data) pugi::get_memory_deallocation_function()(Data);
    }
    char* Release() { return std::exchange(Data, nullptr); }
    // The parser in place takes the last byte as its terminator, so text ending the buffer
    // needs a byte after it: a line end changes nothing else.
    void AppendLineEnd() { Data[Size++] = '\n'; }
};

// Length of the well-formed UTF-8 sequence at p, or 0 when the bytes there are not one.
size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    auto cont = [&](size_t i, unsigned char lo, unsigned char hi) {
        return p + i < end && p[i] >= lo && p[i] <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF) return cont(1, 0x80, 0xBF) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = c == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

// Offset of the first byte that does not start a well-formed UTF-8 sequence, or Size.
size_t FirstInvalidUtf8(const char* Data, size_t Size) {
    const auto* p = reinterpret_cast<const unsigned char*>(Data);
    const auto* end = p + Size;
    while (p < end) {
        uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ull) == 0)) {
            p += 8;
            continue;
        }
        const size_t n = Utf8SequenceLength(p, end);
        if (n == 0) return p - reinterpret_cast<const unsigned char*>(Data);
        p += n;
    }
    return Size;
}

// The bytes decoded as UTF-8: every byte that is not part of a well-formed sequence becomes
// U+FFFD. The buffer is returned unchanged when it is well-formed, the usual case.
TPugiBuffer DecodeUtf8(TPugiBuffer Buffer) {
    const size_t firstBad = FirstInvalidUtf8(Buffer.Data, Buffer.Size);
    if (firstBad == Buffer.Size) return Buffer;
    std::string text(Buffer.Data, firstBad);
    text.reserve(Buffer.Size + Buffer.Size / 8);
    const auto* p = reinterpret_cast<const unsigned char*>(Buffer.Data) + firstBad;
    const auto* end = reinterpret_cast<const unsigned char*>(Buffer.Data) + Buffer.Size;
    while (p < end) {
        const size_t n = Utf8SequenceLength(p, end);
        if (n == 0) {
            text += "\xEF\xBF\xBD";
            ++p;
        } else {
            text.append(reinterpret_cast<const char*>(p), n);
            p += n;
        }
    }
    TPugiBuffer decoded(text.size());
    std::memcpy(decoded.Data, text.data(), text.size());
    return decoded;
}

TPugiBuffer BufferOf(std::string_view Text) {
    TPugiBuffer buffer(Text.size());
    if (!Text.empty()) std::memcpy(buffer.Data, Text.data(), Text.size());
    return buffer;
}

// ---- Loading ---------------------------------------------------------------------------

// "line L, column C" of a byte offset, the column counted in characters.
std::string LocationText(std::string_view TextBefore) {
    int64_t line = 1;
    int64_t column = 1;
    for (const char c : TextBefore) {
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The parser's reason, with where it stopped.
std::string ParseErrorText(const char* Reason, std::string_view TextBefore, const std::string& Name) {
    // "(roads.gml, line 3, column 7)", as the road files' errors say it.
    std::string text = std::string(Reason) + " (";
    if (!Name.empty()) text += std::filesystem::path(Name).filename().string() + ", ";
    return text + LocationText(TextBefore) + ")";
}

// Top-level content that is not XML: no root element, a second one, or text outside the root
// element (pugixml keeps such text when parsing fragments). The reason and where, or nullptr.
const char* TopLevelProblem(const pugi::xml_document& Doc, size_t Size, size_t& Offset) {
    int elements = 0;
    for (pugi::xml_node node : Doc.children()) {
        const pugi::xml_node_type type = node.type();
        const ptrdiff_t at = node.offset_debug();
        Offset = at < 0 ? 0 : static_cast<size_t>(at);
        if (type == pugi::node_element && ++elements > 1) return "More than one root element";
        if (type == pugi::node_pcdata || type == pugi::node_cdata) return "Text outside the root element";
    }
    Offset = Size;
    return elements == 0 ? "No document element found" : nullptr;
}

// Parses Buffer into a new document. On failure, TextBefore(offset) gives the original text up
// to the offset the parser stopped at, for the error message.
template <typename TTextBefore>
TDocumentPtr Parse(TPugiBuffer Buffer, const std::string& Name, TTextBefore TextBefore) {
    if (Buffer.Size == 0) Buffer = BufferOf(kEmptyDocument);
    Buffer = DecodeUtf8(std::move(Buffer));
    Buffer.AppendLineEnd();
    auto document = std::make_shared<TXmlDocument>();
    const size_t size = Buffer.Size;
    // Parsed as a fragment so that text outside the root element is kept and can be refused.
    const pugi::xml_parse_result result = document->Doc.load_buffer_inplace_own(
        Buffer.Release(), size, pugi::parse_default | pugi::parse_fragment, pugi::encoding_utf8);
    size_t offset = result.offset < 0 ? 0 : static_cast<size_t>(result.offset);
    const char* reason = result ? TopLevelProblem(document->Doc, size, offset) : result.description();
    if (reason) throw EXML(ParseErrorText(reason, TextBefore(offset), Name));
    return document;
}

// Inflates up to Limit bytes of an open .gz file into memory. The size stored at the end of
// the file (that of its last member) gives the first guess; the buffer doubles when it is short.
TPugiBuffer InflateGzBytes(TBLFileStream& Stream, const std::string& FileName, size_t Limit) {
    const int64_t compressed = Stream.Size();
    size_t guess = size_t{1} << 16;
    unsigned char tail[4];
    if (compressed >= 18 && ::pread(Stream.Handle(), tail, 4, compressed - 4) == 4) {
        const uint32_t stored = tail[0] | tail[1] << 8 | tail[2] << 16 | static_cast<uint32_t>(tail[3]) << 24;
        // Deflate expands at most about 1032 to 1: a larger size is not to be trusted.
        guess = std::max<size_t>(guess, std::min<uint64_t>(stored, static_cast<uint64_t>(compressed) * 1032));
    }
    TGzDecoder decoder(Stream.Handle(), FileName);
    TPugiBuffer buffer(std::min(guess, Limit));
    size_t done = 0;
    for (;;) {
        if (done == buffer.Size) {
            if (done >= Limit) break;
            TPugiBuffer larger(std::min(Limit, std::max<size_t>(done * 2, 1)));
            std::memcpy(larger.Data, buffer.Data, done);
            buffer = std::move(larger);
        }
        const size_t n = decoder.Read(buffer.Data + done, buffer.Size - done);
        if (n == 0) break;
        done += n;
    }
    buffer.Size = done;
    return buffer;
}

// Reads up to Limit bytes of the file (all of it when Limit is SIZE_MAX); a .gz file is
// inflated as it is read.
TPugiBuffer ReadFileBytes(const std::string& FileName, size_t Limit,
                          const std::function<void(int Handle)>& OnOpened = nullptr) {
    TBLFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    if (OnOpened) OnOpened(stream.Handle());
    if (IsGzFileName(FileName)) return InflateGzBytes(stream, FileName, Limit);
    const int64_t size = stream.Size();
    size_t wanted = size > 0 ? static_cast<size_t>(size) : 0;
    if (wanted > Limit) wanted = Limit;
    TPugiBuffer buffer(wanted);
    size_t done = 0;
    while (done < wanted) {
        const size_t chunk = std::min<size_t>(wanted - done, 1u << 30);
        const int32_t n = stream.Read(buffer.Data + done, static_cast<int32_t>(chunk));
        if (n < 0) throw EReadError();
        if (n == 0) break;  // the file shrank while being read
        done += static_cast<size_t>(n);
    }
    buffer.Size = done;
    return buffer;
}

// ---- Paths -----------------------------------------------------------------------------

bool IsNameStartByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool IsNameByte(unsigned char c) {
    return IsNameStartByte(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// A qualified name: NCName, or NCName ":" NCName.
bool IsQName(std::string_view s) {
    bool atStart = true;
    bool colon = false;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ':') {
            if (atStart || colon) return false;
            colon = true;
            atStart = true;
        } else if (atStart ? IsNameStartByte(c) : IsNameByte(c)) {
            atStart = false;
        } else {
            return false;
        }
    }
    return !atStart;
}

// True for the paths walked directly: child element steps by name, optionally ending in
// "@name". They give what the XPath engine gives for them, much faster. Everything else goes
// to the XPath engine.
bool IsSimplePath(std::string_view Path) {
    if (Path.empty()) return false;
    size_t start = 0;
    while (true) {
        const size_t slash = Path.find('/', start);
        std::string_view step =
            Path.substr(start, slash == std::string_view::npos ? Path.npos : slash - start);
        if (!step.empty() && step[0] == '@') {
            // Only as the last step; the XPath engine hides namespace declarations.
            if (slash != std::string_view::npos) return false;
            step.remove_prefix(1);
            if (step.substr(0, 5) == "xmlns" && (step.size() == 5 || step[5] == ':')) return false;
        }
        if (!IsQName(step)) return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

// Name (NUL-terminated) equals Wanted, which holds no NUL. Names of one document mostly share
// their prefix, so this runs once per child element and is kept inline.
inline bool NameIs(const char* Name, std::string_view Wanted) {
    for (const char c : Wanted) {
        if (*Name++ != c) return false;
    }
    return *Name == '\0';
}

// Visits the nodes a simple path selects below Node, in document order, until Visit returns false.
template <typename TVisit>
bool WalkSimplePath(const pugi::xml_node& Node, std::string_view Path, TVisit& Visit) {
    const size_t slash = Path.find('/');
    const std::string_view step = Path.substr(0, slash);
    if (slash == std::string_view::npos && step[0] == '@') {
        const std::string_view name = step.substr(1);
        for (pugi::xml_attribute a = Node.first_attribute(); a; a = a.next_attribute()) {
            if (NameIs(a.name(), name) && !Visit(pugi::xpath_node(a, Node))) return false;
        }
        return true;
    }
    for (pugi::xml_node child = Node.first_child(); child; child = child.next_sibling()) {
        // The name first: most children differ in it, and only elements (and processing
        // instructions) have names.
        if (!NameIs(child.name(), step) || child.type() != pugi::node_element) continue;
        if (slash == std::string_view::npos) {
            if (!Visit(pugi::xpath_node(child))) return false;
        } else if (!WalkSimplePath(child, Path.substr(slash + 1), Visit)) {
            return false;
        }
    }
    return true;
}

const std::vector<pugi::xml_node>& TXmlDocument::RootGroup(std::string_view TwoSteps) const {
    if (!FRootIndexed) {
        FRootIndexed = true;
        std::string key;
        std::string lastKey;
        std::vector<pugi::xml_node>* group = nullptr;
        for (pugi::xml_node child = Doc.document_element().first_child(); child;
             child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            for (pugi::xml_node grandchild = child.first_child(); grandchild;
                 grandchild = grandchild.next_sibling()) {
                if (grandchild.type() != pugi::node_element) continue;
                key.assign(child.name()).append("/").append(grandchild.name());
                if (!group || key != lastKey) {
                    group = &FRootGroups[key];
                    lastKey = key;
                }
                group->push_back(grandchild);
            }
        }
    }
    static const std::vector<pugi::xml_node> kNone;
    const auto it = FRootGroups.find(std::string(TwoSteps));
    return it == FRootGroups.end() ? kNone : it->second;
}

// WalkSimplePath from Context, through the root index of Document when Context is the root
// element and the path starts with two element steps.
template <typename TVisit>
void Walk(const TXmlDocument& Document, const pugi::xpath_node& Context, std::string_view Path,
          TVisit& Visit) {
    const size_t first = Path.find('/');
    if (Context.node() == Document.Doc.document_element() && first != std::string_view::npos &&
        Path[first + 1] != '@') {
        const size_t second = Path.find('/', first + 1);
        const std::string_view rest =
            second == std::string_view::npos ? std::string_view() : Path.substr(second + 1);
        for (const pugi::xml_node& node : Document.RootGroup(Path.substr(0, second))) {
            if (rest.empty() ? !Visit(pugi::xpath_node(node)) : !WalkSimplePath(node, rest, Visit)) return;
        }
        return;
    }
    WalkSimplePath(Context.node(), Path, Visit);
}

// The nodes Path selects below Context, in document order.
std::vector<pugi::xpath_node> SelectAll(const TXmlDocument& Document, const pugi::xpath_node& Context,
                                        std::string_view Path) {
    std::vector<pugi::xpath_node> nodes;
    if (!Context) return nodes;
    if (IsSimplePath(Path)) {
        if (Context.attribute()) return nodes;  // an attribute has no children
        auto visit = [&](const pugi::xpath_node& n) {
            nodes.push_back(n);
            return true;
        };
        Walk(Document, Context, Path, visit);
        return nodes;
    }
    // Anything else is XPath; an invalid path raises pugi::xpath_exception.
    pugi::xpath_node_set set = pugi::xpath_query(std::string(Path).c_str()).evaluate_node_set(Context);
    set.sort();
    nodes.assign(set.begin(), set.end());
    return nodes;
}

// The first node Path selects below Context, or a null node.
pugi::xpath_node SelectFirst(const TXmlDocument& Document, const pugi::xpath_node& Context,
                             std::string_view Path) {
    pugi::xpath_node first;
    if (!Context) return first;
    if (IsSimplePath(Path)) {
        if (Context.attribute()) return first;
        auto visit = [&](const pugi::xpath_node& n) {
            first = n;
            return false;
        };
        Walk(Document, Context, Path, visit);
        return first;
    }
    return pugi::xpath_query(std::string(Path).c_str()).evaluate_node(Context);
}

// ---- Text ------------------------------------------------------------------------------

// Appends Text with every line break written as CR LF (the parser has made them all LF).
void AppendWithCrLf(std::string& Out, const char* Text) {
    while (const char* lf = std::strchr(Text, '\n')) {
        Out.append(Text, lf - Text);
        Out += "\r\n";
        Text = lf + 1;
    }
    Out += Text;
}

std::string TextOf(const pugi::xpath_node& Node) {
    std::string text;
    if (Node.attribute()) {
        AppendWithCrLf(text, Node.attribute().value());
        return text;
    }
    const pugi::xml_node root = Node.node();
    if (!root) return text;
    if (root.type() == pugi::node_pcdata || root.type() == pugi::node_cdata) {
        AppendWithCrLf(text, root.value());
        return text;
    }
    // Text of every descendant, in document order.
    pugi::xml_node n = root.first_child();
    while (n) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) AppendWithCrLf(text, n.value());
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != root && !n.next_sibling()) n = n.parent();
        if (!n || n == root) break;
        n = n.next_sibling();
    }
    return text;
}

int32_t ToInt32(std::string_view Text) {
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ') Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') Text.remove_suffix(1);
    if (Text.size() > 1 && Text[0] == '+' && Text[1] != '-') Text.remove_prefix(1);
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), value, 10);
    if (ec != std::errc() || end != Text.data() + Text.size() || Text.empty()) return 0;
    return value;
}

// ---- Records ---------------------------------------------------------------------------

template <typename TInterface>
class TRecordBase : public TInterface {
public:
    explicit TRecordBase(TDocumentPtr Document) : FDocument(std::move(Document)) {}

    std::shared_ptr<IXmlRecordset> RecordSet(std::string_view sPath) const override;
    std::string GetXField(std::string_view sPath) const override {
        return TextOf(SelectFirst(*FDocument, Current(), sPath));
    }
    int32_t GetXInt(std::string_view sPath) const override { return ToInt32(GetXField(sPath)); }
    std::shared_ptr<IXmlRecord> Find(std::string_view sPath, TFindOption eFindOption) const override;
    bool IsNull() const override { return !Current(); }
    std::string GetValue() const override { return TextOf(Current()); }

protected:
    virtual pugi::xpath_node Current() const = 0;

    TDocumentPtr FDocument;
};

class TXmlRecord final : public TRecordBase<IXmlRecord> {
public:
    TXmlRecord(TDocumentPtr Document, const pugi::xpath_node& Node)
        : TRecordBase(std::move(Document)), xmlNode(Node) {}

protected:
    pugi::xpath_node Current() const override { return xmlNode; }

private:
    pugi::xpath_node xmlNode;
};

class TXmlRecordset final : public TRecordBase<IXmlRecordset> {
public:
    TXmlRecordset(TDocumentPtr Document, std::vector<pugi::xpath_node> Nodes)
        : TRecordBase(std::move(Document)), arrNodes(std::move(Nodes)) {}

    int32_t Count() const override { return static_cast<int32_t>(arrNodes.size()); }
    void Next() override {
        if (nRecordIndex < arrNodes.size()) ++nRecordIndex;
    }

protected:
    pugi::xpath_node Current() const override {
        return nRecordIndex < arrNodes.size() ? arrNodes[nRecordIndex] : pugi::xpath_node();
    }

private:
    std::vector<pugi::xpath_node> arrNodes;
    size_t nRecordIndex = 0;
};

class TXmlFileRecord final : public TRecordBase<IXmlFile> {
public:
    TXmlFileRecord(TDocumentPtr Document, std::string AFileName)
        : TRecordBase(std::move(Document)), FFileName(std::move(AFileName)) {}

    const std::string& FileName() const override { return FFileName; }

protected:
    pugi::xpath_node Current() const override { return pugi::xpath_node(FDocument->Doc.document_element()); }

private:
    std::string FFileName;
};

template <typename TInterface>
std::shared_ptr<IXmlRecordset> TRecordBase<TInterface>::RecordSet(std::string_view sPath) const {
    return std::make_shared<TXmlRecordset>(FDocument, SelectAll(*FDocument, Current(), sPath));
}

template <typename TInterface>
std::shared_ptr<IXmlRecord> TRecordBase<TInterface>::Find(std::string_view sPath,
                                                          TFindOption eFindOption) const {
    const pugi::xpath_node node = SelectFirst(*FDocument, Current(), sPath);
    if (!node && eFindOption == foFail) {
        throw EXML("TXmlRecord.Find : no node matches \"" + std::string(sPath) + "\"");
    }
    return std::make_shared<TXmlRecord>(FDocument, node);
}

}  // namespace

std::shared_ptr<IXmlFile> TXmlFile::Create(const std::string& aFile, const std::function<void(int Handle)>& OnOpened) {
    struct stat info {};
    const bool found = ::stat(aFile.c_str(), &info) == 0;
    // A missing .gz fails as it did when it was expanded before reading.
    if (!found && (errno == ENOENT || errno == ENOTDIR) && !IsGzFileName(aFile)) {
        return FromText(kEmptyDocument, aFile);
    }
    if (found && S_ISDIR(info.st_mode)) {
        throw EFOpenError("Cannot open file \"" + ExpandFileName(aFile) + "\". " + std::strerror(EISDIR));
    }
    auto textBefore = [&aFile](size_t Offset) {
        const TPugiBuffer head = ReadFileBytes(aFile, Offset);
        return std::string(head.Data, head.Size);
    };
    return std::make_shared<TXmlFileRecord>(Parse(ReadFileBytes(aFile, SIZE_MAX, OnOpened), aFile, textBefore),
                                            aFile);
}

std::shared_ptr<IXmlFile> TXmlFile::FromText(std::string_view Text, const std::string& Name) {
    const std::string original(Text);
    auto textBefore = [&original](size_t Offset) { return original.substr(0, Offset); };
    return std::make_shared<TXmlFileRecord>(Parse(BufferOf(Text), Name, textBefore), Name);
}

}  // namespace itn
