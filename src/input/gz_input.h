// gzip input read in place: the decompressed bytes of a .gz file are produced while it is read,
// and nothing is ever written to disk. The inflater is ISA-L's igzip where the build found it,
// zlib otherwise.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace itn {

// A .gz input that is not in gzip format, is damaged or is truncated. The text names the file
// and the compressed byte offset.
class EGzError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True when the extension of the file name (from its last "." on) is exactly ".gz".
bool IsGzFileName(const std::string& FileName);

// "ISA-L igzip" or "zlib": the inflater this build uses.
const char* GzInflaterName();

// Decompresses the members of a gzip file front to back from an open descriptor, which it
// reads but does not own or close. A member may be followed by another member or by zero
// bytes; anything else after a member is an error.
class TGzDecoder {
public:
    TGzDecoder(int Fd, std::string FileName);
    ~TGzDecoder();
    TGzDecoder(const TGzDecoder&) = delete;
    TGzDecoder& operator=(const TGzDecoder&) = delete;

    // Fills Dest with up to Count decompressed bytes; returns 0 only at the end of the data.
    // Raises EGzError for bad data, EReadError when the file cannot be read.
    size_t Read(char* Dest, size_t Count);
    // Compressed bytes consumed so far.
    uint64_t CompressedPosition() const;

    class TBackend;

private:
    bool Fill();
    bool StartMember();
    [[noreturn]] void Fail(const std::string& What) const;
    [[noreturn]] void FailTruncated() const;

    int FFd;
    std::string FFileName;
    std::unique_ptr<unsigned char[]> FIn;
    const unsigned char* FNext = nullptr;
    size_t FAvail = 0;
    uint64_t FRead = 0;  // bytes read from the file
    bool FEof = false;
    bool FInMember = false;
    bool FStarted = false;
    bool FDone = false;
    std::unique_ptr<TBackend> FBackend;
};

// A TGzDecoder run on a second thread that inflates ahead into a bounded queue of buffers, so
// that decompression overlaps with the work of the reading thread. The descriptor must stay
// open until this object is destroyed, which stops the thread first.
class TGzReader {
public:
    TGzReader(int Fd, std::string FileName);
    ~TGzReader();
    TGzReader(const TGzReader&) = delete;
    TGzReader& operator=(const TGzReader&) = delete;

    // Up to Count bytes; 0 only at the end of the data. An error of the inflater is raised
    // here once the bytes before it have been handed out.
    size_t Read(char* Dest, size_t Count);
    // Compressed bytes behind what Read has handed out (up to the end of its current buffer).
    int64_t CompressedPosition() const { return FPosition; }

private:
    struct TBuffer {
        std::unique_ptr<char[]> Data;
        size_t Size = 0;
        int64_t CompressedEnd = 0;
    };
    void Produce();
    bool NextBuffer();

    TGzDecoder FDecoder;
    std::vector<TBuffer> FBuffers;
    // Ring of buffers: [FHead, FHead + FFilled) are full and waiting; FCurrent is being read.
    std::mutex FLock;
    std::condition_variable FChanged;
    size_t FHead = 0;
    size_t FFilled = 0;
    bool FEnd = false;   // the producer has finished (end of data or error)
    bool FStop = false;  // the consumer is going away
    std::exception_ptr FError;

    TBuffer* FCurrent = nullptr;
    size_t FCurrentPos = 0;
    int64_t FPosition = 0;
    std::thread FThread;  // last: started when everything else is in place
};

}  // namespace itn
