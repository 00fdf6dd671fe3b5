// The byte source of the streaming XML reader: a file read front to back with large read(2)
// calls, a .gz file inflated on a second thread as it is read (or a block of memory, for tests
// and fuzzing), the detection of the encoding from the first bytes, and a window of text that
// the parser scans in place.
//
// The window holds UTF-8 or single-byte text: UTF-8 and single-byte input pass through as
// they are (byte positions are exact), UTF-16 input is converted to UTF-8 while it is read
// (positions then count the UTF-16 bytes converted so far).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace itn {
class TBLFileStream;
class TGzReader;
}

namespace itn::xml {

enum class TSourceEncoding : uint8_t {
    seSingleByte,  // no byte-order mark: single-byte text until the declaration says otherwise
    seUtf8,        // UTF-8 byte-order mark
    seUtf16LE,
    seUtf16BE,
};

class TXmlInput {
public:
    TXmlInput();
    ~TXmlInput();
    TXmlInput(const TXmlInput&) = delete;
    TXmlInput& operator=(const TXmlInput&) = delete;

    // Opens a file for reading (others may read it, not write it). A name ending in exactly
    // ".gz" is read as gzip data. Raises EFOpenError.
    void OpenFile(const std::string& FileName);
    // Reads from memory instead; Data must stay alive until Close.
    void OpenMemory(std::string_view Data);
    void Close();

    // For .gz input: inflates the rest of the data and raises its EGzError, if any. Damaged
    // compressed data can come out as bad text before the inflater notices, so a parse error
    // of a .gz file is checked against the gzip data first. Does nothing for other input.
    void CheckRestOfGz();

    // Bytes per read call; the window starts at this size and grows only for longer tokens.
    void SetPageSize(size_t Bytes);
    // Size of the file on disk (compressed, for .gz), or of the memory block.
    int64_t Size() const { return FSize; }
    // True for a .gz file, inflated as it is read.
    bool Compressed() const { return FGz != nullptr; }
    // The descriptor of the open file, or -1.
    int Handle() const { return FHandle; }

    // Reads the first bytes and picks the encoding, skipping a byte-order mark. Raises
    // EXmlParseError "Unsupported string encoding" for UCS-4 layouts and EBCDIC.
    TSourceEncoding Start();

    // The window: the parser reads from Cur up to End and moves Cur forward.
    char* Cur = nullptr;
    char* End = nullptr;

    // True when nothing can follow End.
    bool AtEof() const { return FEof; }

    // Makes room and reads more. The bytes from Keep to End are kept: afterwards Keep points
    // at their new place (Cur moves with them and must not lie before Keep). Returns false
    // when no byte could be added (end of input).
    bool Refill(char*& Keep);

    // Position in the text of a window pointer (exact for UTF-8 and single-byte input, also
    // inflated from .gz; for UTF-16 input the bytes converted so far).
    int64_t Position(const char* P) const {
        return FPassThrough ? FBase + (P - FBuf.get()) : FRawConsumed;
    }
    // Position for progress, in bytes of the file on disk: Position, or for .gz input the
    // compressed bytes behind the text read so far.
    int64_t ProgressPosition(const char* P) const;

private:
    size_t ReadRaw(char* Dest, size_t Count);
    void Grow(size_t MinFree, char*& Keep);
    size_t DecodeUtf16(char* Dest, size_t Room);

    // The open file: FFile holds the descriptor FHandle from OpenFile until Close (or the
    // destructor). FGz, when set, reads FHandle on its own thread and is always destroyed
    // before FFile, so the descriptor outlives every read of it.
    int FHandle = -1;
    std::unique_ptr<TBLFileStream> FFile;
    std::unique_ptr<TGzReader> FGz;
    std::string_view FMemory;
    size_t FMemoryPos = 0;
    bool FFromMemory = false;

    int64_t FSize = 0;
    size_t FPageSize = 256 * 1024;

    std::unique_ptr<char[]> FBuf;
    size_t FCap = 0;
    int64_t FBase = 0;  // file position of FBuf[0] (pass-through modes)
    bool FEof = false;

    TSourceEncoding FEncoding = TSourceEncoding::seSingleByte;
    bool FPassThrough = true;  // UTF-8 or single-byte: the window holds the file's bytes
    // UTF-16: raw bytes read but not yet converted.
    std::unique_ptr<char[]> FRaw;
    size_t FRawBegin = 0, FRawEnd = 0, FRawCap = 0;
    bool FRawEof = false;
    int64_t FRawConsumed = 0;  // file position of the first unconverted raw byte
};

// Line and column (both from 1, the column in bytes) of a byte position of a file, counted
// through the same reading as the parser's, for error messages.
void LineAndColumn(const std::string& FileName, int64_t Position, int64_t& Line, int64_t& Column);

}  // namespace itn::xml
