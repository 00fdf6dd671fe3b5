// GeoJSON feature collection, compact (no blank, no line break), written to FileName.geojson
// or, with an empty FileName, into the public field GeoJSON at Close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gis/flex_writer.h"
#include "gis/gis_writer.h"

namespace itn {

class TGISWriteGeoJSON : public TGISWrite {
public:
    TGISWriteGeoJSON();
    ~TGISWriteGeoJSON() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    // Closes and discards the result: deletes the file, empties GeoJSON.
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    void WriteAttributes(const std::string& Attrib);
    void WriteProperties();
    void WriteCoordinates(const TFloatPointArrayEx& SegList);
    void AppendNumber(const TFieldInfo& info, const std::string& value);
    void Emit();

    std::unique_ptr<TFlexWriter> s;
    std::string FOutName;        // the file of this run; empty when writing into GeoJSON
    bool FGeometryOpen = false;  // the current feature's geometry takes sections
    bool FMulti = false;         // the current region feature is a MultiPolygon
    int32_t FPositions = 0;      // positions written into the current MultiPoint
    std::string FBuf;            // the feature being built
};

}  // namespace itn
