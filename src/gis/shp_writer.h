// ESRI shapefile: FileName.shp (geometry), .shx (record index), .dbf (attributes, through the
// dBase writer), .prj (projection) and .cpg (code page). Record n of the .dbf belongs to record
// n of the .shp. Record headers are back-patched in the write buffer once a record is complete.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gis/dbf_writer.h"
#include "io/buffered_stream.h"

namespace itn {

class TGISWriteSHP : public TGISWriteDBF {
public:
    TGISWriteSHP();
    ~TGISWriteSHP() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

    // Largest .shp or .shx the writer produces: file lengths and offsets are stored as signed
    // 32-bit counts of 16-bit words.
    static constexpr uint64_t kMaxFileLength = 0xFFFFFFFEull;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

    uint32_t FContentLength = 0;
    uint32_t FNumPoints = 0;
    std::unique_ptr<TBLBufferedStream> FOutSHP;
    std::unique_ptr<TBLBufferedStream> FOutSHX;
    uint32_t FSHPOffset = 100;
    bool FSHPopen = false;
    double FXMinO = 0, FYMinO = 0, FXMaxO = 0, FYMaxO = 0;
    double FXMinG = 0, FYMinG = 0, FXMaxG = 0, FYMaxG = 0;
    uint64_t FMaxFileLength = kMaxFileLength;  // lowered by tests

private:
    void FinishRecord();
    void ResetObjectBounds();
    // Raises when the .shp would grow past FMaxFileLength with a record ending at RecordEnd.
    void CheckFileLength(uint64_t RecordEnd) const;
    int32_t ShapeType() const;
};

}  // namespace itn
