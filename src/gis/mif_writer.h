// MapInfo Interchange Format: FileName.mif (header and geometry) and FileName.mid (one
// attribute line per feature), written line by line in the writer's code page.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gis/gis_writer.h"
#include "io/text_file_writer.h"

namespace itn {

class TGISWriteMIF : public TGISWrite {
public:
    TGISWriteMIF();
    ~TGISWriteMIF() override;

    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddLine(double X1, double Y1, double X2, double Y2, const std::string& Attrib) override;
    void AddLine2(const TFloatPoint& P1, const TFloatPoint& P2, const std::string& Attrib) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    void WritePen();
    void WriteBrush();
    void WriteHeader();
    void RequireOpenFiles() const;

    int32_t fVersion = 300;
    std::vector<std::string> ss;
    std::unique_ptr<TTextFileWriter> FOutMIF;
    std::unique_ptr<TTextFileWriter> FOutMID;
    std::string FLineBuf;
};

// The MIF/MID writer with UTF-8 text.
class TGISWriteMIF8 : public TGISWriteMIF {
public:
    TGISWriteMIF8();
};

}  // namespace itn
