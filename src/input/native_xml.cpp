#include "input/native_xml.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "input/xml_input.h"
#include "input/xml_text.h"
#include "io/codepage.h"

namespace itn {

using xml::IsBlank;

// ---- TXmlNode --------------------------------------------------------------------------

int TXmlNode::FindAttribute(std::string_view AName) const {
    const std::string_view text(FAttrText);
    for (size_t i = 0; i < FAttrs.size(); ++i) {
        const TAttr& a = FAttrs[i];
        if (a.NameLen == AName.size() && xml::SameTextAscii(text.substr(a.NameOff, a.NameLen), AName))
            return static_cast<int>(i);
    }
    return -1;
}

std::string TXmlNode::AttributeText(const TAttr& A) const {
    std::string value = xml::UnquoteValue(std::string_view(FAttrText).substr(A.ValueOff, A.ValueLen));
    if (value.find('&') == std::string::npos) return value;
    return xml::ResolveReferences(value);
}

std::string TXmlNode::AttributeByName(std::string_view AName) const {
    int i = FindAttribute(AName);
    return i < 0 ? std::string() : AttributeText(FAttrs[static_cast<size_t>(i)]);
}

std::string TXmlNode::AttributeName(int Index) const {
    if (Index < 0 || Index >= AttributeCount()) return std::string();
    const TAttr& a = FAttrs[static_cast<size_t>(Index)];
    return FAttrText.substr(a.NameOff, a.NameLen);
}

std::string TXmlNode::AttributeValue(int Index) const {
    if (Index < 0 || Index >= AttributeCount()) return std::string();
    return AttributeText(FAttrs[static_cast<size_t>(Index)]);
}

std::string TXmlNode::ValueAsString() const { return xml::ResolveReferences(xml::TrimBlanks(FValue)); }

int32_t TXmlNode::ValueAsInteger() const {
    int32_t v = 0;
    if (!xml::ParseInteger32(FValue, v)) throw EXmlConvertError("'" + FValue + "' is not a valid integer value");
    return v;
}

double TXmlNode::ValueAsFloat() const {
    double v = 0;
    if (!xml::ParseFloat(FValue, v)) throw EXmlConvertError("Cannot convert value to float");
    return v;
}

void TXmlNode::ShrinkStorage() {
    if (FValue.capacity() > kKeepBytes) std::string().swap(FValue);
    if (FName.capacity() > kKeepBytes) std::string().swap(FName);
    if (FAttrText.capacity() > kKeepBytes) std::string().swap(FAttrText);
    if (FAttrs.capacity() > kKeepItems) std::vector<TAttr>().swap(FAttrs);
    if (FNodes.capacity() > kKeepItems) std::vector<TXmlNode*>().swap(FNodes);
}

void TXmlNode::Delete() {
    if (FDocument) FDocument->DeleteNode(this);
}

TXmlNode* TXmlNode::Nodes(int Index) const {
    if (Index < 0 || Index >= NodeCount()) return nullptr;
    return FNodes[static_cast<size_t>(Index)];
}

// ---- The tokenizer ---------------------------------------------------------------------

namespace xml {

namespace {

// Longest mark after "<" that decides a node's kind: "?xml-stylesheet".
constexpr ptrdiff_t kLookahead = 15;

int32_t ClampSize(int64_t Value) {
    if (Value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (Value < 0) return 0;
    return static_cast<int32_t>(Value);
}

// Byte classes of tag scanning.
enum : uint8_t { kcBlank = 1, kcEq = 2, kcGt = 4, kcSlash = 8, kcQuote = 16 };
struct TByteClasses {
    uint8_t Class[256] = {};
    constexpr TByteClasses() {
        Class[static_cast<unsigned char>(' ')] = Class[static_cast<unsigned char>('\t')] = kcBlank;
        Class[static_cast<unsigned char>('\r')] = Class[static_cast<unsigned char>('\n')] = kcBlank;
        Class[static_cast<unsigned char>('=')] = kcEq;
        Class[static_cast<unsigned char>('>')] = kcGt;
        Class[static_cast<unsigned char>('/')] = kcSlash;
        Class[static_cast<unsigned char>('"')] = Class[static_cast<unsigned char>('\'')] = kcQuote;
    }
};
constexpr TByteClasses kBytes;
inline uint8_t ClassOf(char C) { return kBytes.Class[static_cast<unsigned char>(C)]; }

// The first byte of P..E that ends a run of name characters in a start tag (a blank, ">",
// "/" or a quote), or E.
inline const char* FindNameStop(const char* P, const char* E) {
#if defined(__SSE2__)
    const __m128i sp = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i gt = _mm_set1_epi8('>'), sl = _mm_set1_epi8('/'), dq = _mm_set1_epi8('"'), sq = _mm_set1_epi8('\'');
    while (E - P >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
        const __m128i blanks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, sp), _mm_cmpeq_epi8(v, tab)),
                                            _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, gt), _mm_cmpeq_epi8(v, sl)),
                                           _mm_or_si128(_mm_cmpeq_epi8(v, dq), _mm_cmpeq_epi8(v, sq)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(blanks, marks)));
        if (mask) return P + __builtin_ctz(mask);
        P += 16;
    }
#endif
    constexpr uint8_t stops = kcBlank | kcGt | kcSlash | kcQuote;
    while (P < E && !(ClassOf(*P) & stops)) ++P;
    return P;
}

// Advances P over one token of a tag: stops at a blank, at "=" (StopAtEq), at ">" or "/>"
// (TagEnds); a quoted run is skipped whole. Returns false when the end of the buffer cut the
// token short (P is then at E).
bool ScanToken(const char*& P, const char* E, bool StopAtEq, bool TagEnds) {
    const uint8_t stops = static_cast<uint8_t>(kcBlank | kcQuote | (StopAtEq ? kcEq : 0) | (TagEnds ? kcGt | kcSlash : 0));
    for (;;) {
        while (P < E && !(ClassOf(*P) & stops)) ++P;
        if (P == E) return false;
        const uint8_t c = ClassOf(*P);
        if (c & (kcBlank | kcEq | kcGt)) return true;
        if (c & kcSlash) {
            if (P + 1 == E) {
                P = E;
                return false;
            }
            if (P[1] == '>') return true;
            ++P;
            continue;
        }
        // A quote: skip to its partner.
        const void* q = std::memchr(P + 1, *P, static_cast<size_t>(E - P - 1));
        if (q == nullptr) {
            P = E;
            return false;
        }
        P = static_cast<const char*>(q) + 1;
    }
}

}  // namespace

class TXmlParser {
public:
    TXmlParser(TNativeXml& ADoc, TXmlInput& AIn, TSourceEncoding AEncoding)
        : Doc(ADoc),
          In(AIn),
          FSingleByte(AEncoding == TSourceEncoding::seSingleByte),
          FMayDeclare(AEncoding == TSourceEncoding::seSingleByte) {}

    void Run() {
        for (;;) {
            if (FStack.empty()) {
                // Top level: anything but a "<" is skipped.
                if (!SkipToLt()) return;
                if (!AfterLt()) throw EXmlParseError("Missing element name");
                StartChild(nullptr);
            } else if (FStack.back().IsDtd) {
                DtdStep();
            } else {
                ContentStep();
            }
        }
    }

    // After an error: the open nodes stay in the tree as they are; nodes deleted while open
    // are released now.
    void Abandon() {
        auto settle = [this](TXmlNode* node) {
            node->FOpen = false;
            if (node->FDeleted) Doc.Recycle(node);
        };
        if (FPending) settle(FPending);
        FPending = nullptr;
        for (size_t i = FStack.size(); i-- > 0;) settle(FStack[i].Node);
        FStack.clear();
    }

private:
    struct TFrame {
        TXmlNode* Node;
        bool HasSubtags;   // a child node has started
        bool HasCharData;  // a text run became a child (mixed content)
        bool IsDtd;        // the internal subset of a DOCTYPE
    };

    // ---- text extraction ----

    TCodepageEncoder& Encoder() {
        if (!FEncoder) FEncoder = std::make_unique<TCodepageEncoder>(static_cast<uint16_t>(DefaultCodepage()));
        return *FEncoder;
    }

    // Appends text of the input to Dest as UTF-8.
    void AppendText(std::string& Dest, const char* P, size_t N) {
        if (!FSingleByte) {
            Dest.append(P, N);
            return;
        }
        size_t i = 0;
        while (i < N && static_cast<unsigned char>(P[i]) < 0x80) ++i;
        Dest.append(P, i);
        if (i < N) Dest += Encoder().Decode(std::string_view(P + i, N - i));
    }
    void AppendText(std::string& Dest, std::string_view T) { AppendText(Dest, T.data(), T.size()); }
    // (clear and append: cheaper than assign for the short texts of names)
    void SetText(std::string& Dest, const char* P, size_t N) {
        Dest.clear();
        AppendText(Dest, P, N);
    }

    // ---- scanning ----

    // Moves to the next "<"; false at the end of the input.
    bool SkipToLt() {
        for (;;) {
            const void* lt = std::memchr(In.Cur, '<', static_cast<size_t>(In.End - In.Cur));
            if (lt) {
                In.Cur = static_cast<char*>(const_cast<void*>(lt));
                return true;
            }
            In.Cur = In.End;
            char* keep = In.Cur;
            if (!In.Refill(keep)) return false;
        }
    }

    // At a "<": moves past it and the blanks after it, with enough look-ahead to tell the
    // node's kind. False when the input ends first.
    bool AfterLt() {
        ++In.Cur;
        if (In.End - In.Cur >= kLookahead && !IsBlank(*In.Cur)) return true;
        for (;;) {
            char* p = In.Cur;
            while (p < In.End && IsBlank(*p)) ++p;
            In.Cur = p;
            if (p < In.End && (In.End - p >= kLookahead || In.AtEof())) return true;
            char* keep = In.Cur;
            if (!In.Refill(keep) && In.Cur == In.End) return false;
        }
    }

    // Reads up to the mark Close (not included) into Dest; true when the mark was found,
    // false when the input ended first (Dest then holds the rest).
    bool ReadUntil(std::string_view Close, std::string& Dest, bool Convert) {
        const size_t n = Close.size();
        for (;;) {
            const size_t avail = static_cast<size_t>(In.End - In.Cur);
            const void* f = ::memmem(In.Cur, avail, Close.data(), n);
            if (f) {
                const char* at = static_cast<const char*>(f);
                if (Convert) AppendText(Dest, In.Cur, static_cast<size_t>(at - In.Cur));
                else Dest.append(In.Cur, static_cast<size_t>(at - In.Cur));
                In.Cur = const_cast<char*>(at) + n;
                return true;
            }
            // The last n-1 bytes may begin the mark: keep them for the next round.
            const size_t safe = avail >= n - 1 ? avail - (n - 1) : 0;
            if (Convert) AppendText(Dest, In.Cur, safe);
            else Dest.append(In.Cur, safe);
            In.Cur += safe;
            char* keep = In.Cur;
            if (!In.Refill(keep)) {
                if (Convert) AppendText(Dest, In.Cur, static_cast<size_t>(In.End - In.Cur));
                else Dest.append(In.Cur, static_cast<size_t>(In.End - In.Cur));
                In.Cur = In.End;
                return false;
            }
        }
    }

    // Reads up to Close outside quotes (not included) into Dest, raw.
    bool ReadUntilOutsideQuotes(char Close, std::string& Dest) {
        char quote = 0;
        for (;;) {
            char* p = In.Cur;
            for (; p < In.End; ++p) {
                const char c = *p;
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == Close) {
                    Dest.append(In.Cur, static_cast<size_t>(p - In.Cur));
                    In.Cur = p + 1;
                    return true;
                }
            }
            Dest.append(In.Cur, static_cast<size_t>(In.End - In.Cur));
            In.Cur = In.End;
            char* keep = In.Cur;
            if (!In.Refill(keep)) return false;
        }
    }

    // ---- tags and attributes ----

    // Attributes are first recorded as offsets from the start B of the attribute text, then
    // stored with one copy of that text (CommitAttributes).
    static void AddAttribute(TXmlNode* Node, const char* B, const char* N0, const char* N1, const char* V0, const char* V1) {
        Node->FAttrs.push_back(TXmlNode::TAttr{static_cast<size_t>(N0 - B), static_cast<size_t>(N1 - N0),
                                               static_cast<size_t>(V0 - B), static_cast<size_t>(V1 - V0)});
    }

    void CommitAttributes(TXmlNode* Node, const char* B) {
        if (Node->FAttrs.empty()) return;
        const TXmlNode::TAttr& last = Node->FAttrs.back();
        const size_t end = std::max(last.NameOff + last.NameLen, last.ValueOff + last.ValueLen);
        if (!FSingleByte) {
            Node->FAttrText.clear();
            Node->FAttrText.append(B, end);
            return;
        }
        // Single-byte text: every piece is converted on its own.
        std::string& text = Node->FAttrText;
        text.clear();
        for (TXmlNode::TAttr& a : Node->FAttrs) {
            const size_t name_off = text.size();
            AppendText(text, B + a.NameOff, a.NameLen);
            const size_t value_off = text.size();
            AppendText(text, B + a.ValueOff, a.ValueLen);
            a = TXmlNode::TAttr{name_off, value_off - name_off, value_off, text.size() - value_off};
        }
    }

    // The attributes of a tag from P on. InTag: P lies in a start tag in the window, which
    // ends at ">" or "/>" (Empty, EndP after it); returns false when the window ends first.
    // Otherwise P..E is the whole text (a declaration) and the function always succeeds.
    bool ParseAttributes(TXmlNode* Node, const char* P, const char* E, bool InTag, bool& Empty, const char*& EndP) {
        const char* const b = P;
        for (;;) {
            while (P < E && IsBlank(*P)) ++P;
            if (P == E) {
                if (InTag) return false;
                Empty = false;
                EndP = E;
                CommitAttributes(Node, b);
                return true;
            }
            if (InTag) {
                if (*P == '>') {
                    Empty = false;
                    EndP = P + 1;
                    CommitAttributes(Node, b);
                    return true;
                }
                if (*P == '/') {
                    if (P + 1 == E) return false;
                    if (P[1] == '>') {
                        Empty = true;
                        EndP = P + 2;
                        CommitAttributes(Node, b);
                        return true;
                    }
                }
            }
            // name [blanks] = [blanks] value; a value after blanks counts only when quoted.
            const char* n0 = P;
            if (!ScanToken(P, E, true, InTag) && InTag) return false;
            const char* n1 = P;
            const char* q = P;
            while (q < E && IsBlank(*q)) ++q;
            if (q == E && InTag) return false;
            if (q == E || *q != '=') {
                AddAttribute(Node, b, n0, n1, n1, n1);
                P = q;
                continue;
            }
            P = q + 1;
            q = P;
            while (q < E && IsBlank(*q)) ++q;
            if (q == E) {
                if (InTag) return false;
                AddAttribute(Node, b, n0, n1, P, P);
                P = q;
                continue;
            }
            bool value_here = *q == '"' || *q == '\'';
            if (!value_here && q == P) {
                value_here = true;
                if (InTag) {
                    if (*q == '>') value_here = false;
                    if (*q == '/') {
                        if (q + 1 == E) return false;
                        if (q[1] == '>') value_here = false;
                    }
                }
            }
            if (!value_here) {
                AddAttribute(Node, b, n0, n1, P, P);
                P = q;
                continue;
            }
            const char* v0 = q;
            P = q;
            if (!ScanToken(P, E, false, InTag) && InTag) return false;
            AddAttribute(Node, b, n0, n1, v0, P);
        }
    }

    // One attempt at the start tag of an element from P (after "<"); false when the window
    // ends before the tag does.
    bool TryStartTag(TXmlNode* Node, const char* P, const char* E, bool& Empty, const char*& EndP) {
        Node->FAttrs.clear();
        const char* n0 = P;
        for (;;) {
            P = FindNameStop(P, E);
            if (P == E) {
                SetText(Node->FName, n0, static_cast<size_t>(P - n0));
                return false;
            }
            const char c = *P;
            if (c == '/') {
                if (P + 1 == E) {
                    SetText(Node->FName, n0, static_cast<size_t>(P - n0));
                    return false;
                }
                if (P[1] == '>') break;
                ++P;
                continue;
            }
            if (c == '"' || c == '\'') {
                const void* q = std::memchr(P + 1, c, static_cast<size_t>(E - P - 1));
                if (q == nullptr) {
                    SetText(Node->FName, n0, static_cast<size_t>(E - n0));
                    return false;
                }
                P = static_cast<const char*>(q) + 1;
                continue;
            }
            break;  // a blank or ">"
        }
        SetText(Node->FName, n0, static_cast<size_t>(P - n0));
        if (P == n0) throw EXmlParseError("Missing element name");
        if (*P == '>') {  // no attributes: the usual case
            Empty = false;
            EndP = P + 1;
            return true;
        }
        if (ParseAttributes(Node, P, E, true, Empty, EndP)) return true;
        Node->FAttrs.clear();  // not committed: the tag goes on beyond the window
        return false;
    }

    bool ReadStartTag(TXmlNode* Node) {
        for (;;) {
            bool empty = false;
            const char* endp = nullptr;
            if (TryStartTag(Node, In.Cur, In.End, empty, endp)) {
                In.Cur = const_cast<char*>(endp);
                return empty;
            }
            char* keep = In.Cur;
            if (!In.Refill(keep)) {
                if (Node->FName.empty()) throw EXmlParseError("Missing element name");
                throw EXmlParseError("Missing close tag in element " + Node->FName);
            }
        }
    }

    // ---- nodes ----

    void FireNew(TXmlNode* Node) {
        if (Doc.OnNodeNew) Doc.OnNodeNew(Doc, *Node);
    }

    // Progress, OnNodeLoaded, then the node is released (or stays, see KeepUndeletedNodes).
    void FinishNode(TXmlNode* Node) {
        FPending = Node;
        const int64_t pos = In.ProgressPosition(In.Cur);
        Doc.FPosition = pos;
        if (Doc.OnProgress) Doc.OnProgress(Doc, ClampSize(pos));
        if (Doc.OnNodeLoaded) Doc.OnNodeLoaded(Doc, *Node);
        FPending = nullptr;
        Node->FOpen = false;
        if (Node->FDeleted) {
            Doc.Recycle(Node);
        } else if (Node->FParent) {
            if (!Doc.KeepUndeletedNodes) {
                Doc.Detach(Node);
                Doc.Recycle(Node);
            }
        } else if (Node->FName.empty() && Node->FValue.empty() && Node->FAttrs.empty() && Node->FNodes.empty()) {
            Doc.Detach(Node);  // a top-level node with nothing in it is dropped
            Doc.Recycle(Node);
        }
    }

    void PushFrame(TXmlNode* Node, bool IsDtd) {
        FStack.push_back(TFrame{Node, false, false, IsDtd});
        FPending = nullptr;
    }

    // Parses the node whose "<" has been passed (In.Cur at its first byte after the blanks).
    void StartChild(TXmlNode* Parent) {
        const int depth = Parent ? Parent->FDepth + 1 : 0;
        const char* s = In.Cur;
        const size_t avail = static_cast<size_t>(In.End - s);
        auto has = [&](std::string_view mark) { return avail >= mark.size() && std::memcmp(s, mark.data(), mark.size()) == 0; };
        TXmlElementType type = xeNormal;
        size_t skip = 0;
        if (*s == '!') {
            if (has("![CDATA[")) type = xeCData, skip = 8;
            else if (has("!DOCTYPE")) type = xeDoctype, skip = 8;
            else if (has("!ELEMENT")) type = xeElement, skip = 8;
            else if (has("!ATTLIST")) type = xeAttList, skip = 8;
            else if (has("!ENTITY")) type = xeEntity, skip = 7;
            else if (has("!NOTATION")) type = xeNotation, skip = 9;
            else if (has("!--")) type = xeComment, skip = 3;
            else type = xeExclam, skip = 1;
        } else if (*s == '?') {
            if (has("?xml-stylesheet")) type = xeStylesheet, skip = 15;
            else if (has("?xml")) type = xeDeclaration, skip = 4;
            else type = xeQuestion, skip = 1;
        }
        TXmlNode* node = Doc.NewNode(Parent, depth, type);
        FPending = node;
        In.Cur += skip;

        switch (type) {
            case xeNormal: {
                const bool empty = ReadStartTag(node);
                FireNew(node);
                if (empty) FinishNode(node);
                else PushFrame(node, false);
                return;
            }
            case xeDeclaration:
            case xeStylesheet: {
                node->FName = type == xeDeclaration ? "xml" : "xml-stylesheet";
                FScratch.clear();
                ReadUntil("?>", FScratch, false);
                bool empty = false;
                const char* endp = nullptr;
                ParseAttributes(node, FScratch.data(), FScratch.data() + FScratch.size(), false, empty, endp);
                if (type == xeStylesheet) AppendText(node->FValue, TrimBlanks(FScratch));
                if (type == xeDeclaration && Parent == nullptr && FMayDeclare) {
                    // Single-byte input continues as UTF-8 when the declaration says so or
                    // names no encoding; else as text in the default code page.
                    FSingleByte = node->HasAttribute("encoding") && !SameTextAscii(node->AttributeByName("encoding"), "UTF-8");
                }
                FireNew(node);
                FinishNode(node);
                return;
            }
            case xeDoctype: {
                node->FName = "DTD";
                FireNew(node);
                FScratch.clear();
                char found = 0;
                for (;;) {
                    char* p = In.Cur;
                    while (p < In.End && *p != '[' && *p != '>') ++p;
                    FScratch.append(In.Cur, static_cast<size_t>(p - In.Cur));
                    if (p < In.End) {
                        found = *p;
                        In.Cur = p + 1;
                        break;
                    }
                    In.Cur = In.End;
                    char* keep = In.Cur;
                    if (!In.Refill(keep)) break;
                }
                AppendText(node->FValue, TrimBlanks(FScratch));
                if (found == '[') PushFrame(node, true);
                else FinishNode(node);
                return;
            }
            case xeElement:
            case xeAttList:
            case xeEntity:
            case xeNotation: {
                FScratch.clear();
                ReadUntilOutsideQuotes('>', FScratch);
                const std::string_view text = TrimBlanks(FScratch);
                size_t k = 0;
                while (k < text.size() && !IsBlank(text[k])) ++k;
                SetText(node->FName, text.data(), k);
                AppendText(node->FValue, TrimBlanks(text.substr(k)));
                FireNew(node);
                FinishNode(node);
                return;
            }
            default: {
                std::string_view close = ">";
                switch (type) {
                    case xeComment: node->FName = "Comment", close = "-->"; break;
                    case xeCData: node->FName = "CData", close = "]]>"; break;
                    case xeQuestion: node->FName = "Special", close = "?>"; break;
                    default: node->FName = "Special", close = ">"; break;
                }
                FireNew(node);
                ReadUntil(close, node->FValue, true);
                FinishNode(node);
                return;
            }
        }
    }

    // Text of an element's content, Text..End.
    void AddText(TFrame& F, const char* Text, const char* End) {
        if (!F.HasSubtags) {
            AppendText(F.Node->FValue, Text, static_cast<size_t>(End - Text));
            return;
        }
        // After a child: only a run that is not blank can become a text node; when nodes are
        // released, only the first one can matter (it becomes the value).
        if (F.HasCharData && !Doc.KeepUndeletedNodes) return;
        if (FRun.empty()) {
            while (Text < End && IsBlank(*Text)) ++Text;
            if (Text == End) return;
        }
        AppendText(FRun, Text, static_cast<size_t>(End - Text));
    }

    void AddCharData(TFrame& F, std::string&& Text) {
        if (F.HasCharData && !Doc.KeepUndeletedNodes) return;
        TXmlNode* cd = Doc.NewNode(F.Node, F.Node->FDepth + 1, xeCharData);
        cd->FOpen = false;
        cd->FName.clear();
        cd->FValue = std::move(Text);
        F.HasCharData = true;
    }

    // A child node starts: the text run before it ends.
    void EndTextRun(TFrame& F) {
        if (!F.HasSubtags) {
            F.HasSubtags = true;
            std::string& value = F.Node->FValue;
            if (!value.empty()) {
                if (!IsAllBlank(value)) AddCharData(F, std::move(value));
                value.clear();
            }
        } else if (!FRun.empty()) {
            AddCharData(F, std::move(FRun));
            FRun.clear();
        }
    }

    void ContentStep() {
        TFrame& f = FStack.back();
        if (In.Cur < In.End && *In.Cur == '<') goto at_lt;  // no text before the next tag
        for (;;) {
            const size_t avail = static_cast<size_t>(In.End - In.Cur);
            const void* lt = std::memchr(In.Cur, '<', avail);
            if (lt) {
                char* at = static_cast<char*>(const_cast<void*>(lt));
                if (at > In.Cur) AddText(f, In.Cur, at);
                In.Cur = at;
                break;
            }
            if (avail) AddText(f, In.Cur, In.End);
            In.Cur = In.End;
            char* keep = In.Cur;
            if (!In.Refill(keep)) throw EXmlParseError("Missing close tag in element " + f.Node->FName);
        }
    at_lt:
        if (!AfterLt()) throw EXmlParseError("Missing data after \"<\" in element " + f.Node->FName);
        if (*In.Cur == '/') {
            CloseTag();
            return;
        }
        EndTextRun(f);
        StartChild(f.Node);  // may grow FStack: f is not used after this
    }

    // At the "/" of an end tag of the innermost open element.
    void CloseTag() {
        TFrame& f = FStack.back();
        TXmlNode* node = f.Node;
        const std::string& name = node->FName;
        const char* t = In.Cur + 1;
        const size_t n = name.size();
        if (static_cast<size_t>(In.End - t) > n && std::memcmp(t, name.data(), n) == 0 && t[n] == '>') {
            In.Cur += 1 + n + 1;
        } else {
            size_t off = 1;
            const char* gt = nullptr;
            for (;;) {
                const void* g = std::memchr(In.Cur + off, '>', static_cast<size_t>(In.End - In.Cur) - off);
                if (g) {
                    gt = static_cast<const char*>(g);
                    break;
                }
                off = static_cast<size_t>(In.End - In.Cur);
                char* keep = In.Cur;
                if (!In.Refill(keep)) throw EXmlParseError("Missing \">\" in close tag of element " + name);
            }
            const std::string_view text = TrimBlanks(std::string_view(In.Cur + 1, static_cast<size_t>(gt - In.Cur - 1)));
            bool same;
            if (FSingleByte) {
                std::string converted;
                AppendText(converted, text);
                same = SameTextAscii(converted, name);
            } else {
                same = SameTextAscii(text, name);
            }
            if (!same) throw EXmlParseError("Incorrect close tag in element " + name);
            In.Cur = const_cast<char*>(gt) + 1;
        }
        // The value of an element with children: its first remaining text run, if any.
        if (f.HasSubtags) {
            if (!FRun.empty()) {
                AddCharData(f, std::move(FRun));
                FRun.clear();
            }
            if (!node->FNodes.empty() && node->FNodes.front()->FElementType == xeCharData) {
                TXmlNode* cd = node->FNodes.front();
                node->FValue.swap(cd->FValue);
                node->FNodes.erase(node->FNodes.begin());
                cd->FParent = nullptr;
                Doc.Recycle(cd);
            }
        }
        FStack.pop_back();
        FinishNode(node);
    }

    void DtdStep() {
        TXmlNode* dtd = FStack.back().Node;
        for (;;) {
            while (In.Cur < In.End && IsBlank(*In.Cur)) ++In.Cur;
            if (In.Cur < In.End) break;
            char* keep = In.Cur;
            if (!In.Refill(keep)) {  // the input ends inside the internal subset
                FStack.pop_back();
                FinishNode(dtd);
                return;
            }
        }
        const char c = *In.Cur;
        if (c == ']') {
            ++In.Cur;
            for (;;) {
                const void* g = std::memchr(In.Cur, '>', static_cast<size_t>(In.End - In.Cur));
                if (g) {
                    In.Cur = static_cast<char*>(const_cast<void*>(g)) + 1;
                    break;
                }
                In.Cur = In.End;
                char* keep = In.Cur;
                if (!In.Refill(keep)) break;
            }
            FStack.pop_back();
            FinishNode(dtd);
            return;
        }
        if (c == '<') {
            if (!AfterLt()) throw EXmlParseError("Missing element name");
            StartChild(dtd);
            return;
        }
        ++In.Cur;  // parameter entity references and stray text are skipped
    }

    TNativeXml& Doc;
    TXmlInput& In;
    bool FSingleByte;
    bool FMayDeclare;
    std::unique_ptr<TCodepageEncoder> FEncoder;
    std::vector<TFrame> FStack;
    TXmlNode* FPending = nullptr;  // the node being started or finished, not on the stack
    std::string FScratch;
    std::string FRun;  // the text run after a child of the innermost element
};

}  // namespace xml

// ---- TNativeXml ------------------------------------------------------------------------

TNativeXml::TNativeXml() = default;
TNativeXml::~TNativeXml() = default;

TXmlNode* TNativeXml::RootNodes(int Index) const {
    if (Index < 0 || Index >= RootNodeCount()) return nullptr;
    return FRootNodes[static_cast<size_t>(Index)];
}

TXmlNode* TNativeXml::Root() const {
    for (TXmlNode* n : FRootNodes)
        if (n->FElementType == xeNormal) return n;
    return nullptr;
}

TXmlNode* TNativeXml::NewNode(TXmlNode* AParent, int ADepth, TXmlElementType AType) {
    TXmlNode* n;
    if (!FFree.empty()) {
        n = FFree.back();
        FFree.pop_back();
    } else {
        FStorage.push_back(std::unique_ptr<TXmlNode>(new TXmlNode(this)));
        n = FStorage.back().get();
    }
    n->FParent = AParent;
    n->FDepth = ADepth;
    n->FElementType = AType;
    n->FOpen = true;
    n->FDeleted = false;
    (AParent ? AParent->FNodes : FRootNodes).push_back(n);
    return n;
}

void TNativeXml::Detach(TXmlNode* Node) {
    std::vector<TXmlNode*>& list = Node->FParent ? Node->FParent->FNodes : FRootNodes;
    Node->FParent = nullptr;
    // The node finished last is nearly always the last child.
    if (!list.empty() && list.back() == Node) {
        list.pop_back();
        return;
    }
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i] == Node) {
            list.erase(list.begin() + static_cast<ptrdiff_t>(i));
            return;
        }
    }
}

void TNativeXml::Recycle(TXmlNode* Node) {
    if (Node->FNodes.empty()) {  // the usual case: a leaf
        Node->ResetForReuse();
        FFree.push_back(Node);
        return;
    }
    // Iterative, so that a deep tree does not exhaust the stack.
    FRecycleWork.push_back(Node);
    while (!FRecycleWork.empty()) {
        TXmlNode* n = FRecycleWork.back();
        FRecycleWork.pop_back();
        for (TXmlNode* c : n->FNodes) FRecycleWork.push_back(c);
        n->ResetForReuse();
        FFree.push_back(n);
    }
}

void TNativeXml::DeleteNode(TXmlNode* Node) {
    if (Node->FParent == nullptr) return;  // top level, or already deleted
    Detach(Node);
    if (Node->FOpen) {
        Node->FDeleted = true;  // the reader releases it when it is done with it
        return;
    }
    Recycle(Node);
}

void TNativeXml::Clear() {
    if (FLoading) throw std::logic_error("TNativeXml.Clear : unexpected situation");
    for (TXmlNode* n : FRootNodes) Recycle(n);
    FRootNodes.clear();
    // Every node object is free now. Keep a few for the next load and give back the rest (a
    // document loaded with KeepUndeletedNodes may have needed very many).
    constexpr size_t kKeepNodes = 256;
    if (FStorage.size() > kKeepNodes && FFree.size() == FStorage.size()) {
        FStorage.resize(kKeepNodes);
        FFree.clear();
        for (auto& n : FStorage) FFree.push_back(n.get());
        std::vector<TXmlNode*>().swap(FRecycleWork);
    }
}

void TNativeXml::LoadFromFile(const std::string& AFileName) {
    if (FLoading) throw std::logic_error("TNativeXml.LoadFromFile : unexpected situation");
    xml::TXmlInput input;
    input.SetPageSize(FPageSize);
    input.OpenFile(AFileName);  // EFOpenError leaves the document as it was
    if (OnFileOpened) OnFileOpened(input.Handle());
    try {
        Load(input);
    } catch (const EXmlParseError&) {
        input.CheckRestOfGz();  // a gzip error is the cause, and is raised instead
        throw;
    }
}

void TNativeXml::LoadFromString(std::string_view AText) {
    if (FLoading) throw std::logic_error("TNativeXml.LoadFromString : unexpected situation");
    xml::TXmlInput input;
    input.SetPageSize(FPageSize);
    input.OpenMemory(AText);
    Load(input);
}

void TNativeXml::Load(xml::TXmlInput& Input) {
    Clear();
    FLoading = true;
    struct TLoadingFlag {
        bool& Flag;
        ~TLoadingFlag() { Flag = false; }
    } flag{FLoading};

    FPosition = 0;
    FErrorPosition = 0;
    FFileSize = Input.Size();
    if (OnProgress) OnProgress(*this, 0);
    const xml::TSourceEncoding encoding = Input.Start();
    xml::TXmlParser parser(*this, Input, encoding);
    try {
        parser.Run();
    } catch (...) {
        FErrorPosition = Input.Position(Input.Cur);
        parser.Abandon();
        throw;
    }
    FPosition = FFileSize;
    if (OnProgress) OnProgress(*this, xml::ClampSize(FFileSize));
    if (Root() == nullptr) {
        // The end of the text: of the file, or of the inflated text of a .gz file.
        FErrorPosition = Input.Compressed() ? Input.Position(Input.End) : FFileSize;
        throw EXmlParseError("No root element found in xml");
    }
}

}  // namespace itn
