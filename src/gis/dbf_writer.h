// dBase III attribute table FileName.dbf: one record per feature, geometry ignored. The
// shapefile writer derives from it and adds the geometry files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gis/gis_writer.h"
#include "io/buffered_stream.h"

namespace itn {

class TGISWriteDBF : public TGISWrite {
public:
    TGISWriteDBF();
    ~TGISWriteDBF() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;

    uint32_t FNumRec = 0;
    std::unique_ptr<TBLBufferedStream> FOutDBF;
    uint16_t FTotalWidth = 0;

private:
    void WriteRecord(const std::string& Attrib);

    std::string FRecord;  // the record being built, reused
};

}  // namespace itn
