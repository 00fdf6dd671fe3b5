#include "input/gz_input.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#if ITN_HAVE_ISAL
#include <isa-l/igzip_lib.h>
#else
#include <zlib.h>
#endif

#include "io/errors.h"
#include "io/streams.h"

namespace itn {

namespace {

constexpr size_t kInBufferSize = size_t{512} << 10;
// One inflate call at most; keeps the counts within the 32-bit fields of both libraries.
constexpr size_t kMaxCall = size_t{1} << 30;
// The queue between the inflating thread and the reader: a few buffers of 1 MiB keep both
// threads busy without holding much memory.
constexpr size_t kQueueBuffers = 4;
constexpr size_t kQueueBufferSize = size_t{1} << 20;

}  // namespace

bool IsGzFileName(const std::string& FileName) {
    const size_t slash = FileName.find_last_of('/');
    const size_t dot = FileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return FileName.compare(dot, std::string::npos, ".gz") == 0;
}

// ---- Inflate libraries -----------------------------------------------------------------

// One inflate step of one member. Step consumes from and produces into the given ranges and
// says whether the member's end (trailer included) was reached; errors come back as text.
class TGzDecoder::TBackend {
public:
    struct TStep {
        size_t Consumed = 0;
        size_t Produced = 0;
        bool MemberEnd = false;
        const char* Error = nullptr;
    };

#if ITN_HAVE_ISAL
    TBackend() { Reset(); }
    void Reset() {
        isal_inflate_init(&FState);
        FState.crc_flag = ISAL_GZIP;
    }
    TStep Step(const unsigned char* In, size_t InSize, char* Out, size_t OutSize) {
        FState.next_in = const_cast<uint8_t*>(In);
        FState.avail_in = static_cast<uint32_t>(InSize);
        FState.next_out = reinterpret_cast<uint8_t*>(Out);
        FState.avail_out = static_cast<uint32_t>(OutSize);
        const int rc = isal_inflate(&FState);
        TStep step;
        step.Consumed = InSize - FState.avail_in;
        step.Produced = OutSize - FState.avail_out;
        step.MemberEnd = FState.block_state == ISAL_BLOCK_FINISH;
        switch (rc) {
            case ISAL_DECOMP_OK:
            case ISAL_END_INPUT:
            case ISAL_OUT_OVERFLOW: break;
            case ISAL_INCORRECT_CHECKSUM: step.Error = "checksum mismatch"; break;
            case ISAL_INVALID_WRAPPER: step.Error = "invalid gzip header"; break;
            case ISAL_UNSUPPORTED_METHOD: step.Error = "unknown compression method"; break;
            case ISAL_INVALID_BLOCK: step.Error = "invalid block"; break;
            case ISAL_INVALID_SYMBOL: step.Error = "invalid code"; break;
            case ISAL_INVALID_LOOKBACK: step.Error = "invalid distance too far back"; break;
            case ISAL_NEED_DICT: step.Error = "preset dictionary needed"; break;
            default: step.Error = "invalid data"; break;
        }
        return step;
    }

private:
    inflate_state FState{};
#else
    TBackend() {
        if (inflateInit2(&FStream, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
    }
    ~TBackend() { inflateEnd(&FStream); }
    void Reset() { inflateReset(&FStream); }
    TStep Step(const unsigned char* In, size_t InSize, char* Out, size_t OutSize) {
        FStream.next_in = const_cast<Bytef*>(In);
        FStream.avail_in = static_cast<uInt>(InSize);
        FStream.next_out = reinterpret_cast<Bytef*>(Out);
        FStream.avail_out = static_cast<uInt>(OutSize);
        const int rc = inflate(&FStream, Z_NO_FLUSH);
        TStep step;
        step.Consumed = InSize - FStream.avail_in;
        step.Produced = OutSize - FStream.avail_out;
        step.MemberEnd = rc == Z_STREAM_END;
        switch (rc) {
            case Z_OK:
            case Z_STREAM_END:
            case Z_BUF_ERROR: break;  // no progress: more input needed
            case Z_MEM_ERROR: throw std::bad_alloc();
            case Z_DATA_ERROR: step.Error = FStream.msg ? FStream.msg : "invalid data"; break;
            default: step.Error = "invalid data"; break;
        }
        return step;
    }

private:
    z_stream FStream{};
#endif
};

const char* GzInflaterName() {
#if ITN_HAVE_ISAL
    return "ISA-L igzip";
#else
    return "zlib";
#endif
}

// ---- Decoder ---------------------------------------------------------------------------

TGzDecoder::TGzDecoder(int Fd, std::string FileName)
    : FFd(Fd),
      FFileName(std::move(FileName)),
      FIn(new unsigned char[kInBufferSize]),
      FBackend(std::make_unique<TBackend>()) {
    FNext = FIn.get();
}

TGzDecoder::~TGzDecoder() = default;

uint64_t TGzDecoder::CompressedPosition() const { return FRead - FAvail; }

void TGzDecoder::Fail(const std::string& What) const {
    throw EGzError("Cannot decompress \"" + ExpandFileName(FFileName) + "\": " + What);
}

void TGzDecoder::FailTruncated() const {
    Fail("the file is truncated: its compressed data ends at byte " + std::to_string(FRead) +
         " before the end of the stream.");
}

// Moves the unread bytes to the front and reads after them; false at the end of the file.
bool TGzDecoder::Fill() {
    if (FEof) return false;
    if (FAvail > 0 && FNext != FIn.get()) std::memmove(FIn.get(), FNext, FAvail);
    FNext = FIn.get();
    for (;;) {
        const ssize_t n = ::read(FFd, FIn.get() + FAvail, kInBufferSize - FAvail);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError();
        if (n == 0) {
            FEof = true;
            return false;
        }
        FAvail += static_cast<size_t>(n);
        FRead += static_cast<uint64_t>(n);
        return true;
    }
}

// Skips zero padding and checks the magic bytes of the next member; false at the clean end.
bool TGzDecoder::StartMember() {
    for (;;) {
        // Zero bytes may pad the file after a member, not before the first one.
        while (FStarted && FAvail > 0 && *FNext == 0) {
            ++FNext;
            --FAvail;
        }
        if (FAvail >= 2 || FEof) break;
        Fill();
    }
    if (FAvail == 0) {
        if (!FStarted) Fail("the file is empty: no gzip header at byte 0.");
        return false;
    }
    if (FAvail == 1 && FNext[0] == 0x1F) {
        FailTruncated();
    }
    if (FAvail < 2 || FNext[0] != 0x1F || FNext[1] != 0x8B) {
        if (!FStarted) Fail("the file is not in gzip format (no gzip header at byte 0).");
        Fail("unexpected data after the end of the compressed data, at byte " +
             std::to_string(CompressedPosition()) + ".");
    }
    if (FStarted) FBackend->Reset();
    FStarted = true;
    FInMember = true;
    return true;
}

size_t TGzDecoder::Read(char* Dest, size_t Count) {
    size_t produced = 0;
    Count = std::min(Count, kMaxCall);
    while (produced < Count && !FDone) {
        if (!FInMember && !StartMember()) {
            FDone = true;
            break;
        }
        if (FAvail == 0) Fill();
        const TBackend::TStep step =
            FBackend->Step(FNext, std::min(FAvail, kMaxCall), Dest + produced, Count - produced);
        FNext += step.Consumed;
        FAvail -= step.Consumed;
        produced += step.Produced;
        if (step.Error) {
            Fail(std::string("the compressed data is damaged (") + step.Error + "), near byte " +
                 std::to_string(CompressedPosition()) + ".");
        }
        if (step.MemberEnd) {
            FInMember = false;
        } else if (step.Consumed == 0 && step.Produced == 0 && !Fill()) {
            // The inflater wants more and there is none.
            FailTruncated();
        }
    }
    return produced;
}

// ---- Reader on a second thread ---------------------------------------------------------

TGzReader::TGzReader(int Fd, std::string FileName) : FDecoder(Fd, std::move(FileName)), FBuffers(kQueueBuffers) {
    for (TBuffer& buffer : FBuffers) buffer.Data.reset(new char[kQueueBufferSize]);
    FThread = std::thread([this] { Produce(); });
}

TGzReader::~TGzReader() {
    {
        std::lock_guard<std::mutex> guard(FLock);
        FStop = true;
    }
    FChanged.notify_all();
    FThread.join();
}

void TGzReader::Produce() {
    for (;;) {
        size_t index;
        {
            std::unique_lock<std::mutex> lock(FLock);
            FChanged.wait(lock, [this] { return FStop || FFilled < FBuffers.size(); });
            if (FStop) return;
            index = (FHead + FFilled) % FBuffers.size();
        }
        // The consumer does not look at a buffer until it is counted as filled.
        TBuffer& buffer = FBuffers[index];
        buffer.Size = 0;
        bool end = false;
        std::exception_ptr error;
        try {
            while (buffer.Size < kQueueBufferSize) {
                const size_t n = FDecoder.Read(buffer.Data.get() + buffer.Size, kQueueBufferSize - buffer.Size);
                if (n == 0) {
                    end = true;
                    break;
                }
                buffer.Size += n;
            }
        } catch (...) {
            error = std::current_exception();
            end = true;
        }
        buffer.CompressedEnd = static_cast<int64_t>(FDecoder.CompressedPosition());
        {
            std::lock_guard<std::mutex> guard(FLock);
            if (buffer.Size > 0) ++FFilled;
            if (end) {
                FEnd = true;
                FError = error;
            }
        }
        FChanged.notify_all();
        if (end) return;
    }
}

bool TGzReader::NextBuffer() {
    std::unique_lock<std::mutex> lock(FLock);
    if (FCurrent) {
        FCurrent = nullptr;
        FHead = (FHead + 1) % FBuffers.size();
        --FFilled;
        FChanged.notify_all();
    }
    FChanged.wait(lock, [this] { return FFilled > 0 || FEnd; });
    if (FFilled == 0) {
        if (FError) std::rethrow_exception(std::exchange(FError, nullptr));
        return false;
    }
    FCurrent = &FBuffers[FHead];
    FCurrentPos = 0;
    FPosition = FCurrent->CompressedEnd;
    return true;
}

size_t TGzReader::Read(char* Dest, size_t Count) {
    if (Count == 0) return 0;
    while (!FCurrent || FCurrentPos == FCurrent->Size) {
        if (!NextBuffer()) return 0;
    }
    const size_t n = std::min(Count, FCurrent->Size - FCurrentPos);
    std::memcpy(Dest, FCurrent->Data.get() + FCurrentPos, n);
    FCurrentPos += n;
    return n;
}

}  // namespace itn
