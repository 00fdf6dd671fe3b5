// MapInfo TAB output through MapInfo's File Access Library (a second TAB route).
#pragma once

#include <string>
#include <vector>

#include "gis/gis_writer.h"
#include "gis/mfal_types.h"

namespace itn {

class TGISWriteMFAL : public TGISWrite {
public:
    TGISWriteMFAL();
    ~TGISWriteMFAL() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

    // The attribute text as tab-separated values in the writer's code page.
    std::string AttribToTabText(const std::string& Attrib);

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    MI_CPEN CurrentPen() const;
    void WriteObject();

    std::string attrib_tab;
    int32_t FieldIndex = 0;
    std::vector<MI_ATTRDEF> Fields;
    MI_OBJ miobject{};
    std::vector<MI_POLY> mipolys;
    std::vector<std::vector<DPNT>> pointsM;
    std::vector<std::string> SL;
    mfal_table TId = nullptr;
    int32_t Fpartsindex = -1;
    std::vector<DPNT> FPlinePoints;
};

}  // namespace itn
