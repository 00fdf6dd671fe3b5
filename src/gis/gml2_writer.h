// GML 2 feature collection FileName.xml with its XML Schema FileName.xsd, both UTF-8 with a
// byte order mark and without line breaks. The collection's bounding box is written as
// fixed-width zeros first and patched in place at Close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gis/gis_writer.h"
#include "io/text_file_writer.h"

namespace itn {

// Base of the namespace URI of our feature types; the type name follows it.
extern const char* const kGMLNamespaceBase;

class TGISWriteGML2 : public TGISWrite {
public:
    TGISWriteGML2();
    ~TGISWriteGML2() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    void Drop() override;

    // The 16 characters that stand for a bound in the document's box: 12.5 -> 12.5000000000000.
    static std::string FormatBoundNumber(double value);

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    void WriteAttributes(const std::string& Attrib);
    void WriteCoordinates(const TFloatPointArrayEx& SegList);
    void UpdateBounds(double X, double Y);
    void FinishSchema();
    void Put(std::string_view text) { FBuf.append(text); }
    void FlushIfFull();
    void PatchBoundingBox();

    std::unique_ptr<TTextFileWriter> FOutGML;
    std::unique_ptr<TTextFileWriter> FOutXSD;
    bool Fprevious = false;
    std::string FFileName2;
    double FXMinG = 0, FYMinG = 0, FXMaxG = 0, FYMaxG = 0;
    std::string FBuf;  // document text not yet handed to FOutGML
    // Per field (index as in FFieldInfo): start tag, end tag and nil element, made once.
    struct TFieldTags {
        std::string open, close, nil;
    };
    std::vector<TFieldTags> FTags;
};

}  // namespace itn
