// MapInfo TAB output through the TAB module's mitab_c_* interface.
#pragma once

#include <string>

#include "gis/gis_writer.h"
#include "gis/mitab_api.h"

namespace itn {

// The two corners of a "Bounds (x1, y1) (x2, y2)" clause (the text from the word Bounds on).
struct TBounds {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
TBounds ParseBounds(const std::string& text);

class TGISWriteMITAB : public TGISWrite {
public:
    TGISWriteMITAB();
    ~TGISWriteMITAB() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddObject(int32_t NumParts, bool multiPolygon, const std::string& Attrib) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    void WriteAndDestroyFeature();
    [[noreturn]] void Fail(const std::string& what) const;

    mitab_feature FFH = nullptr;
    mitab_handle FMH = nullptr;
    TDoubleArray FX;
    TDoubleArray FY;
};

}  // namespace itn
