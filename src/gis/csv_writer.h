// The attribute table alone as comma-separated text FileName.csv in the writer's code page:
// a header row of the quoted field names, then every feature's attribute text as it stands.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gis/gis_writer.h"
#include "io/text_file_writer.h"

namespace itn {

class TGISWriteCSV : public TGISWrite {
public:
    TGISWriteCSV();
    ~TGISWriteCSV() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddLine(double X1, double Y1, double X2, double Y2, const std::string& Attrib) override;
    void AddLine2(const TFloatPoint& P1, const TFloatPoint& P2, const std::string& Attrib) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;

private:
    std::unique_ptr<TTextFileWriter> FOutCSV;
};

}  // namespace itn
