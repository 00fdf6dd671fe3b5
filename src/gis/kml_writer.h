// KML 2.2 document FileName.kml (UTF-8 with byte order mark, CR LF lines): one placemark per
// feature, the attributes as a description, one shared style per geometry kind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gis/gis_writer.h"
#include "io/text_file_writer.h"

namespace itn {

class TGISWriteKML2 : public TGISWrite {
public:
    TGISWriteKML2();
    ~TGISWriteKML2() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    void WriteAttributes(const std::string& Attrib);
    void WriteCoordinates(const TFloatPointArrayEx& SegList);
    void Line(std::string_view text);
    void FlushIfFull();

    std::unique_ptr<TTextFileWriter> FOutKML;
    bool Fprevious = false;
    std::string FBuf;  // text not yet handed to FOutKML
};

}  // namespace itn
