// Byte streams: the abstract stream with typed little-endian readers and writers, a stream
// over an operating-system file handle, a stream over a named file and a forwarding
// decorator. The buffered decorator lives in buffered_stream.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace itn {

enum class TSeekOrigin : uint8_t { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TBLStream {
public:
    virtual ~TBLStream() = default;
    TBLStream() = default;
    TBLStream(const TBLStream&) = delete;
    TBLStream& operator=(const TBLStream&) = delete;

    // Size by seeking to the end and back.
    virtual int64_t GetSize();
    virtual void SetSize(int64_t NewSize);
    // Returns the new position, or -1 when the target is not reachable.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin);
    // Return the number of bytes transferred; 0 at end of data or on failure.
    virtual int32_t Read(void* Buffer, int32_t Count);
    virtual int32_t Write(const void* Buffer, int32_t Count);

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, TSeekOrigin::soBeginning); }
    int64_t Size() { return GetSize(); }

    int32_t BufferSize() const { return FBufferSize; }
    void SetBufferSize(int32_t Value) { FBufferSize = Value; }

    // Transfer exactly Count bytes or raise EReadError / EWriteError.
    void ReadBuffer(void* Buffer, int32_t Count);
    void WriteBuffer(const void* Buffer, int32_t Count);

    // Typed writers: one Write call each, its count is not checked.
    void WriteByte(uint8_t AValue) { Write(&AValue, 1); }
    void WriteUInt16(uint16_t AValue) { WriteLE(AValue); }
    void WriteInt16(int16_t AValue) { WriteLE(AValue); }
    void WriteUInt32(uint32_t AValue) { WriteLE(AValue); }
    void WriteInt32(int32_t AValue) { WriteLE(AValue); }
    void WriteInt64(int64_t AValue) { WriteLE(AValue); }
    void WriteDouble(double AValue) { WriteLE(AValue); }
    void WriteSingle(float AValue) { WriteLE(AValue); }

    // Typed readers: one Read call each; a short read leaves the value undefined (zeroed here).
    uint8_t ReadByte() { return ReadLE<uint8_t>(); }
    uint16_t ReadUInt16() { return ReadLE<uint16_t>(); }
    uint32_t ReadUInt32() { return ReadLE<uint32_t>(); }
    int16_t ReadInt16() { return ReadLE<int16_t>(); }
    int32_t ReadInt32() { return ReadLE<int32_t>(); }
    int64_t ReadInt64() { return ReadLE<int64_t>(); }
    double ReadDouble() { return ReadLE<double>(); }
    float ReadSingle() { return ReadLE<float>(); }

    // ASize bytes decoded from the default code page into a UTF-8 string.
    std::string ReadString(int32_t ASize);

    // Where and why the last write failed, as an addition to "Stream write error" (such as
    // ` in file "name". No space left on device`); empty when not known.
    virtual std::string WriteFailure() const { return std::string(); }

protected:
    int32_t FBufferSize = 0;

private:
    // The platform is little-endian (x86-64, arm64), so values are written as they lie in memory.
    template <typename T>
    void WriteLE(T value) { Write(&value, sizeof value); }
    template <typename T>
    T ReadLE() {
        T value{};
        Read(&value, sizeof value);
        return value;
    }
};

// Stream over an open file descriptor that it does not close.
class TBLHandleStream : public TBLStream {
public:
    explicit TBLHandleStream(int AHandle) : FHandle(AHandle) {}

    int Handle() const { return FHandle; }

    void SetSize(int64_t NewSize) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    std::string WriteFailure() const override;

protected:
    int FHandle;
    int FWriteErrno = 0;  // of the last failed write
};

// File modes, in the convention of the original file API.
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyNone = 0x0040;

// Stream over a named file that it opens (or creates) and closes.
// fmCreate creates or truncates the file for reading and writing; other modes open an
// existing file with the access in the low nibble. Sharing is enforced among the
// program's own streams with advisory locks: exclusive for writers and "no sharing".
class TBLFileStream : public TBLHandleStream {
public:
    TBLFileStream(const std::string& AFileName, uint16_t Mode, uint32_t Rights = 0);
    ~TBLFileStream() override;

    const std::string& FileName() const { return FFileName; }
    std::string WriteFailure() const override;

private:
    std::string FFileName;
};

// Forwards every operation to an inner stream, which it may own.
class TBLStreamDecorator : public TBLStream {
public:
    TBLStreamDecorator(TBLStream* AStream, bool AOwnsStream);
    ~TBLStreamDecorator() override;

    bool OwnsStream() const { return FOwnsStream; }
    void SetOwnsStream(bool Value) { FOwnsStream = Value; }
    TBLStream* Stream() const { return FStream; }

    void SetSize(int64_t NewSize) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    std::string WriteFailure() const override { return FStream ? FStream->WriteFailure() : std::string(); }

protected:
    bool FOwnsStream;
    TBLStream* FStream;
};

// The full path of a file name, as used in error messages.
std::string ExpandFileName(const std::string& FileName);

}  // namespace itn
