// libFuzzer target of the streaming XML reader (built with -DITN_BUILD_FUZZERS=ON and clang).
//
// Loads the input with handlers that read everything a handler may read, and delete nodes in
// several ways, then walks what is left of the tree and loads the input once more into the
// same document. Options (page size, keep mode, deletion policy) come from the input itself.
// Checks the event contract: OnNodeNew/OnNodeLoaded nest like the elements, depths follow the
// nesting, progress positions never go back and never pass the size of the input.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "input/native_xml.h"

namespace {

#define FUZZ_CHECK(cond) \
    do {                 \
        if (!(cond)) std::abort(); \
    } while (0)

size_t Touch(const itn::TXmlNode& N) {
    size_t sum = N.Name().size() + N.ValueDirect().size() + static_cast<size_t>(N.TreeDepth());
    sum += N.ValueAsString().size();
    for (int i = 0; i < N.AttributeCount(); ++i) {
        const std::string name = N.AttributeName(i);
        sum += name.size() + N.AttributeValue(i).size();
        FUZZ_CHECK(N.HasAttribute(name));
        sum += N.AttributeByName(name).size();
    }
    sum += N.HasAttribute("fid") ? N.AttributeByName("fid").size() : 0;
    try {
        sum += static_cast<size_t>(N.ValueAsInteger());
    } catch (const itn::EXmlConvertError&) {
    }
    try {
        sum += static_cast<size_t>(N.ValueAsFloat() != 0.0);
    } catch (const itn::EXmlConvertError&) {
    }
    return sum;
}

void Walk(itn::TNativeXml& Xml, size_t& Sum) {
    std::vector<itn::TXmlNode*> work;
    for (int i = 0; i < Xml.RootNodeCount(); ++i) work.push_back(Xml.RootNodes(i));
    while (!work.empty()) {
        itn::TXmlNode* n = work.back();
        work.pop_back();
        Sum += Touch(*n);
        for (int i = 0; i < n->NodeCount(); ++i) {
            FUZZ_CHECK(n->Nodes(i)->Parent() == n);
            FUZZ_CHECK(n->Nodes(i)->TreeDepth() == n->TreeDepth() + 1);
            work.push_back(n->Nodes(i));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const unsigned opt = Size ? (Data[Size - 1] ^ static_cast<unsigned>(Size)) : 0;
    static const size_t kPages[] = {64, 65, 97, 256, 4096, 1 << 18};
    const int policy = static_cast<int>((opt >> 4) & 3);  // 0 none, 1 delete finished, 2 delete new, 3 delete parent

    itn::TNativeXml xml;
    xml.SetPageSize(kPages[opt % 6]);
    xml.KeepUndeletedNodes = (opt & 8) != 0;

    std::vector<itn::TXmlNode*> open;
    int64_t last_position = -1;
    size_t sum = 0;
    xml.OnProgress = [&](itn::TNativeXml& x, int32_t size) {
        FUZZ_CHECK(size >= 0);
        FUZZ_CHECK(x.Position() >= last_position);
        FUZZ_CHECK(x.Position() <= static_cast<int64_t>(Size));
        last_position = x.Position();
    };
    xml.OnNodeNew = [&](itn::TNativeXml& x, itn::TXmlNode& n) {
        FUZZ_CHECK(n.Document() == &x);
        FUZZ_CHECK(n.TreeDepth() == static_cast<int>(open.size()));
        FUZZ_CHECK(n.ElementType() != itn::xeCharData);
        FUZZ_CHECK(n.ElementType() != itn::xeNormal || !n.Name().empty());
        FUZZ_CHECK(n.ValueDirect().empty() || n.ElementType() == itn::xeElement || n.ElementType() == itn::xeAttList ||
                   n.ElementType() == itn::xeEntity || n.ElementType() == itn::xeNotation ||
                   n.ElementType() == itn::xeStylesheet);
        sum += Touch(n);
        open.push_back(&n);
        if (policy == 2 && (n.TreeDepth() & 1)) n.Delete();
    };
    xml.OnNodeLoaded = [&](itn::TNativeXml&, itn::TXmlNode& n) {
        FUZZ_CHECK(!open.empty() && open.back() == &n);
        open.pop_back();
        FUZZ_CHECK(n.TreeDepth() == static_cast<int>(open.size()));
        sum += Touch(n);
        if (policy == 1 && n.TreeDepth() >= 1) n.Delete();
        if (policy == 3 && n.Parent() && (n.Name().size() & 1)) n.Parent()->Delete();
    };

    bool ok = true;
    try {
        xml.LoadFromString(text);
    } catch (const itn::EXmlParseError&) {
        ok = false;
    }
    FUZZ_CHECK(!ok || xml.Root() != nullptr);
    FUZZ_CHECK(!ok || open.empty());
    FUZZ_CHECK(!ok || last_position == static_cast<int64_t>(Size));
    Walk(xml, sum);

    // The same document again: every load starts afresh.
    open.clear();
    last_position = -1;
    try {
        xml.LoadFromString(text);
    } catch (const itn::EXmlParseError&) {
    }
    Walk(xml, sum);
    xml.Clear();
    FUZZ_CHECK(xml.RootNodeCount() == 0);
    return sum == 42 ? 0 : 0;
}
