#include "gis/csv_writer.h"

#include <cstdio>

namespace itn {

TGISWriteCSV::TGISWriteCSV() = default;
TGISWriteCSV::~TGISWriteCSV() = default;

void TGISWriteCSV::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FOutCSV = std::make_unique<TTextFileWriter>(FileName + ".csv", FCodepage, false);
}

void TGISWriteCSV::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    if (!FOutCSV) return;
    const std::string name = "\"" + FieldName + "\"";
    if (FWrittenFields == FNumFields)
        FOutCSV->writeln(name);
    else
        FOutCSV->write(name + ",");
}

void TGISWriteCSV::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    if (FOutCSV) FOutCSV->writeln(Attrib);
}

void TGISWriteCSV::AddLine(double, double, double, double, const std::string& Attrib) {
    if (FOutCSV) FOutCSV->writeln(Attrib);
}

void TGISWriteCSV::AddLine2(const TFloatPoint&, const TFloatPoint&, const std::string& Attrib) {
    if (FOutCSV) FOutCSV->writeln(Attrib);
}

void TGISWriteCSV::AddPoint(double, double, const std::string& Attrib) {
    if (FOutCSV) FOutCSV->writeln(Attrib);
}

void TGISWriteCSV::Close() {
    TGISWrite::Close();
    if (!Fopen) return;
    Fopen = false;
    if (!FOutCSV) return;
    std::unique_ptr<TTextFileWriter> out = std::move(FOutCSV);
    out->Close();
}

void TGISWriteCSV::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The file is deleted anyway.
    }
    std::remove((FileName + ".csv").c_str());
}

}  // namespace itn
