#include "gis/mif_writer.h"

#include <cstdio>

#include "gis/gis_functions.h"

namespace itn {

TGISWriteMIF::TGISWriteMIF() = default;
TGISWriteMIF::~TGISWriteMIF() = default;

TGISWriteMIF8::TGISWriteMIF8() { SetCodepage(kCodepageUtf8); }

void TGISWriteMIF::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    if (Width > 254) Width = 254;
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    std::string line = "  " + FieldName;
    switch (Field) {
        case gfChar: line += " Char(" + std::to_string(Width) + ")"; break;
        case gfInteger: line += " Integer"; break;
        case gfSmallInt: line += " Smallint"; break;
        case gfDecimal: line += " Decimal(" + std::to_string(Width) + "," + std::to_string(decimals) + ")"; break;
        case gfFloat: line += " Float"; break;
        case gfDate: line += " Date"; break;
        case gfLogical: line += " Logical"; break;
        case gfTime:
            line += " Time";
            fVersion = 900;
            break;
        case gfDateTime:
            line += " DateTime";
            fVersion = 900;
            break;
    }
    ss.push_back(std::move(line));
    if (FWrittenFields == FNumFields) WriteHeader();
}

void TGISWriteMIF::WriteHeader() {
    if (FCodepage == kCodepageUtf8) fVersion = 1520;
    FOutMIF = std::make_unique<TTextFileWriter>(FileName + ".mif", FCodepage, true);
    FOutMID = std::make_unique<TTextFileWriter>(FileName + ".mid", FCodepage, true);
    FOutMIF->writeln("Version " + std::to_string(fVersion));
    FOutMIF->writeln("CharSet \"" + CodepageToCharsetName(FCodepage) + "\"");
    FOutMIF->writeln("Delimiter \",\"");
    if (!CoordSys.empty() && FObjectTypes != otNone) FOutMIF->writeln(CoordSys);
    FOutMIF->writeln("Columns " + std::to_string(FNumFields));
    for (const auto& line : ss) FOutMIF->writeln(line);
    FOutMIF->writeln("Data");
}

void TGISWriteMIF::RequireOpenFiles() const {
    if (!FOutMIF) throw EGISWriteError("Cannot write a feature to \"" + FileName + ".mif\" before all fields are declared");
}

void TGISWriteMIF::StartObject(int32_t NumParts, const std::string& Attrib) {
    RequireOpenFiles();
    TGISWrite::StartObject(NumParts, Attrib);
    if (NumParts == 0 || FObjectTypes == otNone) FOutMIF->writeln("None");
    FOutMID->writeln(Attrib);
    FWrittenRecords += 1;
}

void TGISWriteMIF::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    const bool first = FWrittenParts == 1;
    std::string& line = FLineBuf;
    const bool single_line = first && FNumParts == 1 && FObjectTypes == otPline;
    if (single_line && SegList.Count == 0) {
        // A polyline needs two vertices: readers stop at a "Pline 0", so a line without
        // vertices is written as an object without geometry.
        FOutMIF->writeln("None");
        return;
    }
    if (single_line && SegList.Count <= 2) {
        // One vertex gives a line of length zero rather than the unreadable "Pline 1".
        const TFloatPoint& a = SegList.Pnt[0];
        const TFloatPoint& b = SegList.Pnt[SegList.Count - 1];
        line = "Line ";
        AppendFloatInv(line, a.x);
        line += ' ';
        AppendFloatInv(line, a.y);
        line += ' ';
        AppendFloatInv(line, b.x);
        line += ' ';
        AppendFloatInv(line, b.y);
        FOutMIF->writeln(line);
    } else {
        if (first) {
            if (FObjectTypes == otPline && FNumParts > 1) {
                FOutMIF->writeln("Pline multiple " + std::to_string(FNumParts));
            } else if (FObjectTypes == otPline) {
                FOutMIF->write("Pline ");
            } else if (FObjectTypes == otRegion) {
                FOutMIF->writeln("Region " + std::to_string(FNumParts));
            }
        }
        FOutMIF->writeln(std::to_string(SegList.Count));
        for (int32_t i = 0; i < SegList.Count; ++i) {
            line.clear();
            AppendFloatInv(line, SegList.Pnt[i].x);
            line += ' ';
            AppendFloatInv(line, SegList.Pnt[i].y);
            FOutMIF->writeln(line);
        }
    }
    if (FWrittenParts == FNumParts && !CompactMIF) {
        if (FObjectTypes == otRegion) WriteBrush();
        WritePen();
    }
}

void TGISWriteMIF::AddLine(double X1, double Y1, double X2, double Y2, const std::string& Attrib) {
    if (FObjectTypes != otPline) return;
    RequireOpenFiles();
    std::string line = "Line ";
    AppendFloatInv(line, X1);
    line += ' ';
    AppendFloatInv(line, Y1);
    line += ' ';
    AppendFloatInv(line, X2);
    line += ' ';
    AppendFloatInv(line, Y2);
    FOutMIF->writeln(line);
    if (!CompactMIF) WritePen();
    FOutMID->writeln(Attrib);
    FWrittenRecords += 1;
}

void TGISWriteMIF::AddLine2(const TFloatPoint& P1, const TFloatPoint& P2, const std::string& Attrib) {
    AddLine(P1.x, P1.y, P2.x, P2.y, Attrib);
}

void TGISWriteMIF::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (FObjectTypes != otPoint) return;
    RequireOpenFiles();
    std::string line = "Point ";
    AppendFloatInv(line, X);
    line += ' ';
    AppendFloatInv(line, Y);
    FOutMIF->writeln(line);
    if (!CompactMIF)
        FOutMIF->writeln("    Symbol(" + std::to_string(Symbol.Shape) + "," + std::to_string(RgbValue(Symbol.Color)) +
                         "," + std::to_string(Symbol.Size) + ")");
    FOutMID->writeln(Attrib);
    FWrittenRecords += 1;
}

void TGISWriteMIF::WritePen() {
    if (Pen.Width >= 8 && Pen.Width <= 10) return;
    if (Pen.Width == 1 && Pen.pattern == 2 && Pen.Color == 0) return;
    FOutMIF->writeln("    Pen(" + std::to_string(Pen.Width) + "," + std::to_string(Pen.pattern) + "," +
                     std::to_string(RgbValue(Pen.Color)) + ")");
}

void TGISWriteMIF::WriteBrush() {
    if (Brush.pattern == 2 && Brush.fg_color == 0xFFFFFF && Brush.bg_color == 0) return;
    FOutMIF->writeln("    Brush(" + std::to_string(Brush.pattern) + "," + std::to_string(RgbValue(Brush.fg_color)) +
                     "," + std::to_string(RgbValue(Brush.bg_color)) + ")");
}

void TGISWriteMIF::Close() {
    TGISWrite::Close();
    if (!Fopen) return;
    Fopen = false;
    // Close both even when the first fails, then report the first failure.
    std::exception_ptr failure;
    for (auto* out : {&FOutMIF, &FOutMID}) {
        if (!*out) continue;
        try {
            (*out)->Close();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
        out->reset();
    }
    if (failure) std::rethrow_exception(failure);
}

void TGISWriteMIF::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The files are deleted anyway.
    }
    std::remove((FileName + ".mif").c_str());
    std::remove((FileName + ".mid").c_str());
}

}  // namespace itn
