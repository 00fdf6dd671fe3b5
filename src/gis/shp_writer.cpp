#include "gis/shp_writer.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "io/text_file_writer.h"

namespace itn {

namespace {

// The single-precision 1E38 widened, as the empty bounding box holds it.
const double kBig = static_cast<double>(1.0e38f);

static_assert(sizeof(TFloatPoint) == 16, "points are written as they lie in memory: x then y");

void WriteBE32(TBLStream& s, uint32_t value) { s.WriteUInt32(__builtin_bswap32(value)); }

void WriteBox(TBLStream& s, double xmin, double ymin, double xmax, double ymax) {
    s.WriteDouble(xmin);
    s.WriteDouble(ymin);
    s.WriteDouble(xmax);
    s.WriteDouble(ymax);
}

// The 100-byte main header with file length and bounding box left zero for Close.
void WriteMainHeader(TBLStream& s, int32_t ShapeType) {
    char header[100] = {};
    s.Write(header, 100);
    s.SetPosition(0);
    WriteBE32(s, 9994);
    s.SetPosition(28);
    s.WriteInt32(1000);
    s.WriteInt32(ShapeType);
    s.SetPosition(100);
}

void WriteTextFile(const std::string& name, const std::string& text) {
    TTextFileWriter f(name, 1252, false);
    f.write(text);
    f.Close();
}

}  // namespace

TGISWriteSHP::TGISWriteSHP() = default;
TGISWriteSHP::~TGISWriteSHP() = default;

int32_t TGISWriteSHP::ShapeType() const {
    switch (FObjectTypes) {
        case otPline: return 3;
        case otRegion: return 5;
        case otPoint: return 1;
        default: return 0;
    }
}

void TGISWriteSHP::ResetObjectBounds() {
    FXMinO = kBig;
    FYMinO = kBig;
    FXMaxO = -kBig;
    FYMaxO = -kBig;
}

void TGISWriteSHP::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWriteDBF::StartHeader(NumFields, ObjectTypes);
    if (ObjectTypes != otNone) {
        if (!PRJ.empty()) WriteTextFile(FileName + ".prj", PRJ);
        if (FCodepage != 0) WriteTextFile(FileName + ".cpg", std::to_string(FCodepage));
        FOutSHP = std::make_unique<TBLBufferedStream>(new TBLFileStream(FileName + ".shp", fmCreate), true);
        FOutSHX = std::make_unique<TBLBufferedStream>(new TBLFileStream(FileName + ".shx", fmCreate), true);
        WriteMainHeader(*FOutSHP, ShapeType());
        WriteMainHeader(*FOutSHX, ShapeType());
        FNumRec = 0;
        FXMinG = kBig;
        FYMinG = kBig;
        FXMaxG = -kBig;
        FYMaxG = -kBig;
        FSHPOffset = 100;
    }
    FSHPopen = true;
}

void TGISWriteSHP::CheckFileLength(uint64_t RecordEnd) const {
    // Each .shx record (8 bytes) is shorter than its .shp record (12 bytes or more), so the
    // .shp always reaches the limit first.
    if (RecordEnd > FMaxFileLength)
        throw EGISWriteError("Cannot write \"" + FileName + ".shp\": a shapefile cannot be larger than 4 GB "
                             "(the limit was reached at record " + std::to_string(FNumRec) + ")");
}

void TGISWriteSHP::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWriteDBF::StartObject(NumParts, Attrib);
    if (FObjectTypes == otNone) return;
    const bool null_shape = NumParts == 0;
    uint64_t least = 4;
    if (!null_shape) least = FObjectTypes == otPoint ? 20 : 44 + 4 * static_cast<uint64_t>(NumParts);
    CheckFileLength(FSHPOffset + 8 + least);

    WriteBE32(*FOutSHX, FSHPOffset / 2);
    FOutSHP->SetPosition(FSHPOffset);
    WriteBE32(*FOutSHP, FNumRec);
    FOutSHP->SetPosition(FSHPOffset + 8);
    FOutSHP->WriteInt32(null_shape ? 0 : ShapeType());
    if (null_shape) {
        FContentLength = 4;
        FinishRecord();
        return;
    }
    if (FObjectTypes != otPoint) {
        FOutSHP->SetPosition(FSHPOffset + 44);
        FOutSHP->WriteInt32(NumParts);
        FNumPoints = 0;
    }
    ResetObjectBounds();
}

void TGISWriteSHP::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWriteDBF::WriteSection(Index, SegList);
    if (FObjectTypes == otNone) return;
    const bool point = FObjectTypes == otPoint;
    // A point record has room for one point.
    const int32_t count = std::max(0, point ? std::min(1, SegList.Count) : SegList.Count);
    if (point) {
        FOutSHP->SetPosition(FSHPOffset + 12);
    } else {
        const uint64_t start = FSHPOffset + 52 + 4 * static_cast<uint64_t>(FNumParts) + 16 * static_cast<uint64_t>(FNumPoints);
        CheckFileLength(start + 16 * static_cast<uint64_t>(count));
        FOutSHP->SetPosition(static_cast<int64_t>(start));
    }
    constexpr int32_t kChunk = 1 << 20;  // points per Write call, well inside its 32-bit byte count
    for (int32_t done = 0; done < count; done += kChunk)
        FOutSHP->Write(SegList.Pnt.data() + done, 16 * std::min(kChunk, count - done));
    for (int32_t i = 0; i < count; ++i) {
        const TFloatPoint& p = SegList.Pnt[i];
        if (p.x < FXMinO) FXMinO = p.x;
        if (p.y < FYMinO) FYMinO = p.y;
        if (p.x > FXMaxO) FXMaxO = p.x;
        if (p.y > FYMaxO) FYMaxO = p.y;
    }
    if (!point) {
        FOutSHP->SetPosition(FSHPOffset + 48 + 4 * static_cast<int64_t>(FWrittenParts));
        FOutSHP->WriteUInt32(FNumPoints);
        FNumPoints += static_cast<uint32_t>(count);
    }
    if (FWrittenParts != FNumParts) return;

    if (FXMinO < FXMinG) FXMinG = FXMinO;
    if (FYMinO < FYMinG) FYMinG = FYMinO;
    if (FXMaxO > FXMaxG) FXMaxG = FXMaxO;
    if (FYMaxO > FYMaxG) FYMaxG = FYMaxO;
    if (point) {
        FContentLength = 20;
    } else {
        FOutSHP->SetPosition(FSHPOffset + 12);
        WriteBox(*FOutSHP, FXMinO, FYMinO, FXMaxO, FYMaxO);
        FContentLength = 44 + 4 * static_cast<uint32_t>(FNumParts) + 16 * FNumPoints;
        FOutSHP->SetPosition(FSHPOffset + 48);
        FOutSHP->WriteUInt32(FNumPoints);
    }
    FinishRecord();
}

void TGISWriteSHP::FinishRecord() {
    FOutSHP->SetPosition(FSHPOffset + 4);
    WriteBE32(*FOutSHP, FContentLength / 2);
    WriteBE32(*FOutSHX, FContentLength / 2);
    FSHPOffset += 8 + FContentLength;
}

void TGISWriteSHP::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (FObjectTypes != otPoint) return;
    StartObject(1, Attrib);
    FPoint.Pnt.resize(1);
    FPoint.Pnt[0] = {X, Y};
    FPoint.Count = 1;
    AddSection(0, FPoint);
}

void TGISWriteSHP::Close() {
    // Complete every file even when one fails, then report the first failure.
    std::exception_ptr failure;
    try {
        TGISWriteDBF::Close();
    } catch (...) {
        failure = std::current_exception();
    }
    if (FObjectTypes != otNone && FSHPopen) {
        FSHPopen = false;
        const uint32_t lengths[2] = {FSHPOffset / 2, (100 + 8 * FNumRec) / 2};
        int i = 0;
        for (auto* out : {&FOutSHP, &FOutSHX}) {
            std::unique_ptr<TBLBufferedStream> stream = std::move(*out);
            const uint32_t length = lengths[i++];
            if (!stream) continue;
            try {
                stream->SetPosition(24);
                WriteBE32(*stream, length);
                stream->SetPosition(36);
                WriteBox(*stream, FXMinG, FYMinG, FXMaxG, FYMaxG);
                stream->Close();
            } catch (...) {
                if (!failure) failure = std::current_exception();
            }
        }
    }
    FSHPopen = false;
    if (failure) std::rethrow_exception(failure);
}

void TGISWriteSHP::Drop() {
    TGISWriteDBF::Drop();
    std::remove((FileName + ".shp").c_str());
    std::remove((FileName + ".shx").c_str());
}

}  // namespace itn
