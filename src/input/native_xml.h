// The streaming XML document reader of the road passes: TNativeXml parses one
// file front to back and reports every node to its handlers while it parses, OnNodeNew when
// the start tag has been read and OnNodeLoaded when the node is complete.
//
// Memory stays flat whatever the file size: after OnNodeLoaded returns, a node below the top
// level is released (its object is recycled for the next node) whether or not the handler
// called Delete. Only the top-level nodes (declaration, document element, comments and
// instructions outside it) stay in the document after a load. Set KeepUndeletedNodes to keep
// every node the handlers did not delete, as a whole tree (for small documents and tests).
//
// Encodings: a UTF-8 byte-order mark means UTF-8; FF FE / FE FF mean UTF-16 LE / BE; without
// a mark, "<?" in a UTF-16 layout selects that form; anything else is single-byte text until
// a top-level XML declaration has been read, after which it continues as UTF-8 when the
// declaration has no encoding attribute or names "UTF-8" (any letter case), else as text in
// the default code page (io/codepage.h, 1252). Names, values and attributes always reach the
// handlers as UTF-8. UCS-4 layouts and EBCDIC fail with "Unsupported string encoding".
//
// Positions and sizes are 64-bit: files above 2 GiB and 4 GiB load; the Size passed to
// OnProgress is clamped to INT32_MAX, Position() and FileSize() give the full values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/xml_errors.h"

namespace itn {

enum TXmlElementType {
    xeNormal,       // element: Name as written
    xeComment,      // "Comment"
    xeCData,        // "CData"
    xeDeclaration,  // "xml"
    xeStylesheet,   // "xml-stylesheet"
    xeDoctype,      // "DTD"
    xeElement,      // <!ELEMENT ...> inside a DOCTYPE: the declared name
    xeAttList,      // <!ATTLIST ...>
    xeEntity,       // <!ENTITY ...>
    xeNotation,     // <!NOTATION ...>
    xeExclam,       // any other "<!...>": "Special"
    xeQuestion,     // any other "<?...?>": "Special"
    xeCharData,     // text run between child elements: no name, no events
    xeUnknown       // "Unknown" (not produced by the tokenizer)
};

class TNativeXml;
namespace xml {
class TXmlParser;
class TXmlInput;
}

class TXmlNode {
public:
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    // UTF-8, exactly as written in the start tag, prefix included ("osgb:RoadLink").
    const std::string& Name() const { return FName; }
    // 0 for top-level nodes, else the parent's depth plus 1; final already in OnNodeNew.
    int TreeDepth() const { return FDepth; }
    TXmlElementType ElementType() const { return FElementType; }

    // True when the start tag carries an attribute whose name equals AName ignoring ASCII
    // letter case.
    bool HasAttribute(std::string_view AName) const { return !FAttrs.empty() && FindAttribute(AName) >= 0; }
    // The first such attribute's value: its quotes removed, a doubled quote inside reduced to
    // one, references resolved; "" when the attribute is absent.
    std::string AttributeByName(std::string_view AName) const;
    int AttributeCount() const { return static_cast<int>(FAttrs.size()); }
    std::string AttributeName(int Index) const;   // "" for an index out of range
    std::string AttributeValue(int Index) const;  // as AttributeByName; "" out of range

    // The raw value: for an element without child elements every character between its
    // start and end tag; for comments, CDATA and instructions their content. An element with
    // child elements takes its first text run that is not blank (mixed content; a run that
    // follows a child is kept without its leading blanks).
    const std::string& ValueDirect() const { return FValue; }
    // The value without spaces, tabs, CR and LF at both ends, references resolved.
    std::string ValueAsString() const;
    // The raw value as a decimal integer (leading spaces and a sign allowed). Raises
    // EXmlConvertError "'<value>' is not a valid integer value".
    int32_t ValueAsInteger() const;
    // The raw value with every "," read as ".", as a decimal number. Raises EXmlConvertError
    // "Cannot convert value to float".
    double ValueAsFloat() const;

    // Removes the node from its parent and frees it with its subtree; a node without a parent
    // (top level) is left alone. A node deleted inside its own events stays readable until
    // the handler returns.
    void Delete();

    TXmlNode* Parent() const { return FParent; }
    TNativeXml* Document() const { return FDocument; }
    // Child nodes still attached (after a load: only what KeepUndeletedNodes kept, plus text
    // runs of mixed content).
    int NodeCount() const { return static_cast<int>(FNodes.size()); }
    TXmlNode* Nodes(int Index) const;

private:
    friend class TNativeXml;
    friend class xml::TXmlParser;
    explicit TXmlNode(TNativeXml* ADocument) : FDocument(ADocument) {}

    struct TAttr {
        size_t NameOff, NameLen;    // in FAttrText
        size_t ValueOff, ValueLen;  // as written, quotes included
    };
    int FindAttribute(std::string_view AName) const;
    // Empties the node for reuse. Ordinary nodes keep their capacity for the next ones; what
    // a huge value or a very wide node took is given back (ShrinkStorage). The name and the
    // attribute text are overwritten on reuse.
    void ResetForReuse() {
        FValue.clear();
        FAttrs.clear();
        FNodes.clear();
        if ((FValue.capacity() | FName.capacity() | FAttrText.capacity()) > kKeepBytes ||
            (FAttrs.capacity() | FNodes.capacity()) > kKeepItems) [[unlikely]]
            ShrinkStorage();
        FParent = nullptr;
        FOpen = false;
        FDeleted = false;
    }
    void ShrinkStorage();
    static constexpr size_t kKeepBytes = 64 * 1024;  // larger text buffers are not kept for reuse
    static constexpr size_t kKeepItems = 1024;        // nor larger attribute or child lists
    std::string AttributeText(const TAttr& A) const;

    TNativeXml* FDocument;
    TXmlNode* FParent = nullptr;
    std::vector<TXmlNode*> FNodes;
    std::string FName;
    std::string FValue;
    std::string FAttrText;
    std::vector<TAttr> FAttrs;
    int FDepth = 0;
    TXmlElementType FElementType = xeNormal;
    bool FOpen = false;     // being parsed: events may still fire, the reader still uses it
    bool FDeleted = false;  // deleted while open; released once the reader is done with it
};

using TXmlNodeEvent = std::function<void(TNativeXml& Sender, TXmlNode& Node)>;
using TXmlProgressEvent = std::function<void(TNativeXml& Sender, int32_t Size)>;  // clamped to INT32_MAX

class TNativeXml {
public:
    TNativeXml();
    ~TNativeXml();
    TNativeXml(const TNativeXml&) = delete;
    TNativeXml& operator=(const TNativeXml&) = delete;

    TXmlNodeEvent OnNodeNew, OnNodeLoaded;
    TXmlProgressEvent OnProgress;
    // Called by LoadFromFile with the descriptor of the opened file, before anything is read;
    // it may raise to refuse the file.
    std::function<void(int Handle)> OnFileOpened;
    // The encoding a saved document would declare; no effect on reading.
    std::string EncodingString;
    // Keep nodes the handlers did not delete (the whole tree, as in a DOM). Off by default:
    // then memory does not grow with the file.
    bool KeepUndeletedNodes = false;

    // Discards the previous tree, parses the file completely, firing the events on the
    // calling thread, and returns after the last event. Raises EFOpenError when the file
    // cannot be opened (the document is then unchanged), EXmlParseError on malformed input,
    // EReadError when reading fails, and whatever a handler raises. After an error no further
    // event fires (elements still open get no OnNodeLoaded) and the document holds what was
    // parsed up to the error, open elements included.
    void LoadFromFile(const std::string& AFileName);
    // The same for a file holding exactly these bytes (tests, fuzzing).
    void LoadFromString(std::string_view AText);

    // Frees every node. Not allowed during a load.
    void Clear();

    // Top-level nodes in file order.
    int RootNodeCount() const { return static_cast<int>(FRootNodes.size()); }
    TXmlNode* RootNodes(int Index) const;
    // The first top-level element (the document element), or nullptr.
    TXmlNode* Root() const;

    // The 64-bit byte position last reported through OnProgress (0 before a load); in the
    // compressed file for .gz input.
    int64_t Position() const { return FPosition; }
    // The size in bytes of the file being or last loaded.
    int64_t FileSize() const { return FFileSize; }
    bool Loading() const { return FLoading; }
    // The byte position in the text the parser had reached when the last load failed (in the
    // inflated text for .gz input, as xml::LineAndColumn counts it).
    int64_t ErrorPosition() const { return FErrorPosition; }

    // Bytes per read call (default 256 KiB; tests use tiny pages to exercise boundaries).
    void SetPageSize(size_t Bytes) { FPageSize = Bytes; }
    size_t PageSize() const { return FPageSize; }
    // Node objects allocated so far (live and recycled): stays small in streaming use.
    size_t AllocatedNodeCount() const { return FStorage.size(); }

private:
    friend class TXmlNode;
    friend class xml::TXmlParser;
    void Load(xml::TXmlInput& Input);
    TXmlNode* NewNode(TXmlNode* AParent, int ADepth, TXmlElementType AType);
    void Detach(TXmlNode* Node);
    void Recycle(TXmlNode* Node);
    void DeleteNode(TXmlNode* Node);

    std::vector<TXmlNode*> FRootNodes;
    std::vector<std::unique_ptr<TXmlNode>> FStorage;  // owns every node object
    std::vector<TXmlNode*> FFree;                     // recycled, ready for reuse
    std::vector<TXmlNode*> FRecycleWork;
    int64_t FPosition = 0;
    int64_t FFileSize = 0;
    int64_t FErrorPosition = 0;
    size_t FPageSize = 256 * 1024;
    bool FLoading = false;
};

}  // namespace itn
