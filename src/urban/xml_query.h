// A small query layer over a whole XML document: a document loaded from a file, records that
// stand for one node (or none: a null record) and record sets that hold the nodes one path
// selects, with a cursor. Paths are relative location paths whose steps name child elements
// by their qualified name as written ("osgb:networkMember/osgb:PathLink"), optionally ending
// in "@name" for an attribute; prefixes are matched literally, without namespace resolution.
//
// Objects are shared through std::shared_ptr. A record or record set keeps its document alive,
// so it stays valid after the file object is released.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace itn {

// A document that is not well-formed XML, or a Find with foFail that selects nothing.
class EXML : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What Find does when its path selects nothing.
enum TFindOption : uint8_t {
    foFail,  // raise EXML
    foNull,  // return a null record
};

class IXmlRecordset;

class IXmlRecord {
public:
    virtual ~IXmlRecord() = default;

    // All nodes sPath selects below this node, in document order; the cursor on the first.
    virtual std::shared_ptr<IXmlRecordset> RecordSet(std::string_view sPath) const = 0;
    // Text of the first node sPath selects; empty when there is none or the record is null.
    virtual std::string GetXField(std::string_view sPath) const = 0;
    // GetXField read as a decimal 32-bit integer; 0 when empty or not such an integer.
    virtual int32_t GetXInt(std::string_view sPath) const = 0;
    // A record on the first node sPath selects; when there is none, a null record (foNull)
    // or EXML (foFail).
    virtual std::shared_ptr<IXmlRecord> Find(std::string_view sPath, TFindOption eFindOption) const = 0;
    virtual bool IsNull() const = 0;
    // Text of the node: an element's text with that of all its descendants, an attribute's
    // value; empty for a null record. Line breaks come back as CR LF.
    virtual std::string GetValue() const = 0;
};

// The nodes one path selected, with a cursor; as a record it stands for the node under the
// cursor and is null while the cursor is outside the list.
class IXmlRecordset : public IXmlRecord {
public:
    virtual int32_t Count() const = 0;
    virtual void Next() = 0;
};

// A document loaded from a file; as a record it stands for the root element.
class IXmlFile : public IXmlRecord {
public:
    virtual const std::string& FileName() const = 0;
};

class TXmlFile {
public:
    // Loads aFile whole, as UTF-8 whatever its XML declaration names (invalid sequences read
    // as U+FFFD); white-space-only text is dropped. A name ending in exactly ".gz" is inflated
    // in memory (EGzError for bad gzip data). A file that does not exist reads as an empty
    // "XmlDatabase" document. Raises EFOpenError ("Cannot open file ...") when the file exists
    // but cannot be read, and EXML with the parser's reason when it is not well-formed XML.
    // OnOpened, when given, gets the descriptor of the opened file before it is read, and
    // may raise to refuse it.
    static std::shared_ptr<IXmlFile> Create(const std::string& aFile,
                                            const std::function<void(int Handle)>& OnOpened = nullptr);

    // The same for a text in memory; Name is used in error messages only.
    static std::shared_ptr<IXmlFile> FromText(std::string_view Text, const std::string& Name);
};

}  // namespace itn
