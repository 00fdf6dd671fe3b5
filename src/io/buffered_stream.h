// Write-back buffered decorator: a 1 MiB window over the inner stream that is written back
// only when the window moves, on Flush and on Close.
#pragma once

#include <cstdint>
#include <vector>

#include "io/streams.h"

namespace itn {

class TBLBufferedStream : public TBLStreamDecorator {
public:
    static constexpr int32_t kDefaultBufferSize = 0x100000;

    TBLBufferedStream(TBLStream* AStream, bool AOwnsStream);
    // Flushes what it can; errors are swallowed here, so call Close to see them.
    ~TBLBufferedStream() override;

    void SetSize(int64_t NewSize) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;

    // Size including bytes not yet written back.
    virtual int64_t GetBufferedSize();
    // Writes back the dirty part of the window, then loads the window at the position.
    virtual bool FillBuffer();
    // Writes back the dirty part of the window; raises EWriteError when it cannot.
    virtual void Flush();
    // Flushes and, when owned, closes the inner stream. Raises on a failed write-back.
    void Close();

private:
    bool IsPositionInBuffer() const {
        return FBufferStart <= FPosition && FPosition < FBufferStart + FBufferCurrentSize;
    }

    std::vector<char> FBuffer;
    int32_t FBufferCurrentSize = 0;
    int32_t FBufferMaxModifiedPos = 0;
    int64_t FBufferStart = 0;
    int64_t FPosition = 0;
};

}  // namespace itn
