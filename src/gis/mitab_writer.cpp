#include "gis/mitab_writer.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "gis/gis_functions.h"
#include "gis/tab_libraries.h"
#include "io/errors.h"
#include "io/streams.h"

namespace itn {

namespace {

constexpr int32_t kMaxRegionParts = 122500;

double ParseNumber(const std::string& s) {
    double v = 0;
    size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '+')) ++start;
    std::from_chars(s.data() + start, s.data() + s.size(), v);
    return v;
}

std::string UpperAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool IsPenSuppressed(int32_t width) { return width >= 8 && width <= 10; }

}  // namespace

TBounds ParseBounds(const std::string& text) {
    std::string s = text;
    for (char& c : s) {
        if (c == '(') c = ',';
        else if (c == ')') c = ' ';
    }
    // Comma-text split: the word itself, then x1, y1, x2, y2.
    std::vector<std::string> values;
    SplitCommaText(s, values);
    TBounds b;
    double* slots[4] = {&b.x1, &b.y1, &b.x2, &b.y2};
    for (size_t k = 0; k < 4 && k + 1 < values.size(); ++k) *slots[k] = ParseNumber(values[k + 1]);
    return b;
}

TGISWriteMITAB::TGISWriteMITAB() = default;

TGISWriteMITAB::~TGISWriteMITAB() {
    // A writer destroyed without Close must not leave the library's objects behind.
    if (MitabStatus() == 0) {
        if (FFH) Mitab().destroy_feature(FFH);
        if (FMH) Mitab().close(FMH);
    }
}

void TGISWriteMITAB::Fail(const std::string& what) const {
    std::string text = what;
    if (Mitab().getlasterrormsg) {
        const char* reason = Mitab().getlasterrormsg();
        if (reason && *reason) text += std::string(". ") + reason;
    }
    throw EGISWriteError(text);
}

void TGISWriteMITAB::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FMH = nullptr;
    if (MITAB_supported()) {
        const auto& lib = Mitab();
        // The file name goes as it is: file names on this platform are UTF-8.
        const std::string tab_name = FileName + ".tab";
        const size_t p = UpperAscii(CoordSys).find("BOUNDS");
        if (p != std::string::npos) {
            const std::string projection = ToAnsi(CoordSys.substr(0, p), FCodepage);
            const TBounds b = ParseBounds(CoordSys.substr(p));
            FMH = lib.create(tab_name.c_str(), "tab", projection.c_str(), b.y2, b.y1, b.x2, b.x1);
        } else {
            const std::string projection = ToAnsi(CoordSys, FCodepage);
            FMH = lib.create(tab_name.c_str(), "tab", projection.c_str(), 0, 0, 0, 0);
        }
        if (!FMH) {
            // Reported instead of writing nothing: a job must not end "done" without its table.
            Fopen = false;
            Fail("Cannot create file \"" + ExpandFileName(tab_name) + "\"");
        }
        lib.set_charset(FMH, ToAnsi(CodepageToCharsetName(FCodepage), 1252).c_str());
    }
    if (!FMH) Fopen = false;
}

void TGISWriteMITAB::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    if (Width > 254) Width = 254;
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    if (FMH)
        Mitab().add_field(FMH, ToAnsi(FieldName, FCodepage).c_str(), static_cast<int>(Field) + 1, Width, decimals, 0,
                          0);
}

void TGISWriteMITAB::AddObject(int32_t NumParts, bool multiPolygon, const std::string& Attrib) {
    if (FObjectTypes == otRegion && NumParts > kMaxRegionParts) throw EGISWriteError("No more than 122500 parts");
    TGISWrite::AddObject(NumParts, multiPolygon, Attrib);
}

void TGISWriteMITAB::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    if (!FMH) return;
    const auto& lib = Mitab();
    FWrittenRecords += 1;
    int type = TABFC_NoGeom;
    if (NumParts != 0 && FObjectTypes != otNone) {
        switch (FObjectTypes) {
            case otPline: type = TABFC_Polyline; break;
            case otPoint: type = TABFC_Point; break;
            case otRegion: type = TABFC_Region; break;
            default: break;
        }
    }
    FFH = lib.create_feature(FMH, type);
    if (!FFH) Fail("Cannot create a feature in \"" + FileName + ".tab\"");
    SplitAttributes(Attrib);
    for (int32_t i = 1; i <= FNumFields; ++i) {
        std::string value = ToAnsi(FSL[i - 1], FCodepage);
        if (FFieldInfo[i].FieldType == gfLogical && IsTrueText(value)) value = "T";
        lib.set_field(FFH, i - 1, value.c_str());
    }
    if (!IsPenSuppressed(Pen.Width))
        lib.set_pen(FFH, Pen.Width, Pen.pattern, static_cast<int>(RgbValue(Pen.Color)));
    if (FObjectTypes == otRegion)
        lib.set_brush(FFH, static_cast<int>(RgbValue(Brush.fg_color)), static_cast<int>(RgbValue(Brush.bg_color)),
                      Brush.pattern, 1);
    if (NumParts == 0 || FObjectTypes == otNone) WriteAndDestroyFeature();
}

void TGISWriteMITAB::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    if (!FMH || FObjectTypes == otNone) return;
    if (static_cast<int32_t>(FX.size()) < SegList.Count) {
        FX.resize(SegList.Count);
        FY.resize(SegList.Count);
    }
    for (int32_t i = 0; i < SegList.Count; ++i) {
        FX[i] = SegList.Pnt[i].x;
        FY[i] = SegList.Pnt[i].y;
    }
    if (!FFH) return;
    const int part = (FObjectTypes == otRegion && Index < 0) ? 1 - FWrittenParts : FWrittenParts - 1;
    Mitab().set_points(FFH, part, SegList.Count, FX.data(), FY.data());
    if (FWrittenParts == FNumParts) WriteAndDestroyFeature();
}

void TGISWriteMITAB::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (!FMH || FObjectTypes != otPoint) return;
    StartObject(1, Attrib);
    if (!FFH) return;
    const auto& lib = Mitab();
    double x = X, y = Y;
    lib.set_points(FFH, 0, 1, &x, &y);
    lib.set_symbol(FFH, Symbol.Shape, Symbol.Size, static_cast<int>(RgbValue(Symbol.Color)));
    WriteAndDestroyFeature();
}

void TGISWriteMITAB::WriteAndDestroyFeature() {
    const auto& lib = Mitab();
    mitab_feature feature = FFH;
    FFH = nullptr;
    const int written = lib.write_feature(FMH, feature);
    lib.destroy_feature(feature);
    // A feature the library could not store is an error, not a silent gap in the table.
    if (!written) Fail("Cannot write a feature to \"" + FileName + ".tab\"");
}

void TGISWriteMITAB::Close() {
    TGISWrite::Close();
    if (!Fopen) return;
    FX.clear();
    FX.shrink_to_fit();
    FY.clear();
    FY.shrink_to_fit();
    if (FMH) {
        Mitab().close(FMH);
        FMH = nullptr;
    }
    if (FObjectTypes == otNone) {
        std::remove((FileName + ".map").c_str());
        std::remove((FileName + ".id").c_str());
    }
    Fopen = false;
}

void TGISWriteMITAB::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The files are deleted anyway.
    }
    for (const char* ext : {".tab", ".map", ".dat", ".id"}) std::remove((FileName + ext).c_str());
}

}  // namespace itn
