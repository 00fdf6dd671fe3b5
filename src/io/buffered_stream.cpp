#include "io/buffered_stream.h"

#include <algorithm>
#include <cstring>

namespace itn {

TBLBufferedStream::TBLBufferedStream(TBLStream* AStream, bool AOwnsStream)
    : TBLStreamDecorator(AStream, AOwnsStream) {
    if (FStream) FPosition = FStream->Position();
    FBufferSize = kDefaultBufferSize;
    FillBuffer();
}

TBLBufferedStream::~TBLBufferedStream() {
    try {
        Flush();
    } catch (...) {
        // A destructor must not throw; Close reports write-back failures.
    }
}

void TBLBufferedStream::Close() {
    Flush();
    if (FOwnsStream) {
        delete FStream;
        FStream = nullptr;
        FOwnsStream = false;
    }
}

void TBLBufferedStream::Flush() {
    if (FStream && FBufferMaxModifiedPos > 0) {
        FStream->SetPosition(FBufferStart);
        FStream->WriteBuffer(FBuffer.data(), FBufferMaxModifiedPos);
        FBufferMaxModifiedPos = 0;
    }
}

bool TBLBufferedStream::FillBuffer() {
    Flush();
    if (static_cast<int64_t>(FBuffer.size()) != FBufferSize) FBuffer.resize(static_cast<size_t>(FBufferSize));
    if (FStream) {
        FStream->SetPosition(FPosition);
        FBufferCurrentSize = FStream->Read(FBuffer.data(), FBufferSize);
    } else {
        FBufferCurrentSize = 0;
    }
    FBufferStart = FPosition;
    return FBufferCurrentSize > 0;
}

int32_t TBLBufferedStream::Read(void* Buffer, int32_t Count) {
    auto* out = static_cast<char*>(Buffer);
    int32_t remaining = Count;
    while (remaining > 0) {
        if (!IsPositionInBuffer() && !FillBuffer()) break;
        int32_t offset = static_cast<int32_t>(FPosition - FBufferStart);
        int32_t k = std::min(remaining, FBufferCurrentSize - offset);
        std::memcpy(out + (Count - remaining), FBuffer.data() + offset, static_cast<size_t>(k));
        FPosition += k;
        remaining -= k;
    }
    return Count - remaining;
}

int32_t TBLBufferedStream::Write(const void* Buffer, int32_t Count) {
    const auto* in = static_cast<const char*>(Buffer);
    int32_t remaining = Count;
    while (remaining > 0) {
        if (FPosition < FBufferStart || FPosition >= FBufferStart + FBufferSize) FillBuffer();
        int32_t offset = static_cast<int32_t>(FPosition - FBufferStart);
        // A write past the valid data (after a seek beyond the end) fills the gap with
        // zeros, as the file system would, instead of leaving stale buffer bytes there.
        if (offset > FBufferCurrentSize)
            std::memset(FBuffer.data() + FBufferCurrentSize, 0, static_cast<size_t>(offset - FBufferCurrentSize));
        int32_t k = std::min(remaining, static_cast<int32_t>(FBuffer.size()) - offset);
        std::memcpy(FBuffer.data() + offset, in + (Count - remaining), static_cast<size_t>(k));
        FBufferCurrentSize = std::max(FBufferCurrentSize, offset + k);
        FBufferMaxModifiedPos = std::max(FBufferMaxModifiedPos, offset + k);
        FPosition += k;
        remaining -= k;
    }
    return Count;
}

int64_t TBLBufferedStream::GetBufferedSize() {
    int64_t size = FStream ? FStream->GetSize() : 0;
    return std::max(size, FBufferStart + FBufferMaxModifiedPos);
}

int64_t TBLBufferedStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t target;
    switch (Origin) {
        case TSeekOrigin::soBeginning: target = Offset; break;
        case TSeekOrigin::soCurrent: target = FPosition + Offset; break;
        case TSeekOrigin::soEnd: target = GetBufferedSize() + Offset; break;
        default: target = -1; break;
    }
    if (target < 0) return -1;
    FPosition = target;
    return target;
}

void TBLBufferedStream::SetSize(int64_t NewSize) {
    if (FStream) FStream->SetSize(NewSize);
    if (FBufferStart + FBufferMaxModifiedPos > NewSize)
        FBufferMaxModifiedPos = static_cast<int32_t>(std::max<int64_t>(0, NewSize - FBufferStart));
    if (FBufferStart + FBufferCurrentSize > NewSize)
        FBufferCurrentSize = static_cast<int32_t>(std::max<int64_t>(0, NewSize - FBufferStart));
    FPosition = FStream ? FStream->Position() : NewSize;
}

}  // namespace itn
