#include "gis/mfal_writer.h"

#include <cstdio>
#include <cstring>

#include "gis/gis_functions.h"
#include "gis/tab_libraries.h"

namespace itn {

namespace {

uint8_t MfalFieldType(TGISField f) {
    switch (f) {
        case gfChar: return 1;
        case gfInteger: return 3;
        case gfSmallInt: return 4;
        case gfDecimal: return 2;
        case gfFloat: return 8;
        case gfDate: return 5;
        case gfLogical: return 6;
        default: return 0;  // time values have no type here
    }
}

bool NeedsQuotes(const std::string& v) {
    for (char c : v)
        if (static_cast<unsigned char>(c) <= ' ' || c == '"') return true;
    return false;
}

}  // namespace

TGISWriteMFAL::TGISWriteMFAL() = default;

TGISWriteMFAL::~TGISWriteMFAL() {
    if (TId && MfalStatus() == 0) Mfal().close_table(TId);
}

void TGISWriteMFAL::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    Fields.assign(static_cast<size_t>(NumFields > 0 ? NumFields : 0), MI_ATTRDEF{});
    FieldIndex = 0;
    TId = nullptr;
}

void TGISWriteMFAL::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    if (FieldIndex >= static_cast<int32_t>(Fields.size())) return;
    MI_ATTRDEF& def = Fields[FieldIndex];
    std::memset(&def, 0, sizeof def);
    const std::string name = ToAnsi(FieldName, 1252);
    if (name.size() >= sizeof def.name) throw EGISWriteError("Field name is longer than 31");
    std::memcpy(def.name, name.data(), name.size());
    def.fieldtype = MfalFieldType(Field);
    def.width = Width;
    def.decPlaces = decimals;
    def.bIndexed = 0;
    FieldIndex += 1;
    if (FieldIndex == static_cast<int32_t>(Fields.size()) && MfalStatus() == 0) {
        MI_PROJECTION projection{};
        Mfal().coordsys(ToAnsi(CoordSys, 1252).c_str(), &projection);
        // The file name goes as it is: file names on this platform are UTF-8.
        const std::string tab_name = FileName + ".tab";
        TId = Mfal().create_table(tab_name.c_str(), Fields.data(), static_cast<int32_t>(Fields.size()), &projection, 5);
    }
}

std::string TGISWriteMFAL::AttribToTabText(const std::string& Attrib) {
    SplitCommaText(Attrib, SL);
    std::string text;
    if (SL.size() == 1 && SL[0].empty()) {
        text = "\"\"";
    } else {
        for (size_t i = 0; i < SL.size(); ++i) {
            if (i > 0) text += '\t';
            const std::string& v = SL[i];
            if (!NeedsQuotes(v)) {
                text += v;
                continue;
            }
            text += '"';
            for (char c : v) {
                if (c == '"') text += '"';
                text += c;
            }
            text += '"';
        }
    }
    return ToAnsi(text, FCodepage);
}

MI_CPEN TGISWriteMFAL::CurrentPen() const {
    MI_CPEN pen{};
    pen.width = static_cast<int16_t>(Pen.Width);
    pen.pat = Pen.pattern;
    pen.style = 2;
    pen.color = static_cast<int32_t>(RgbValue(Pen.Color));
    return pen;
}

void TGISWriteMFAL::WriteObject() {
    int32_t result = 0;
    Mfal().write_object(TId, attrib_tab.c_str(), &miobject, &result);
}

void TGISWriteMFAL::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    if (!TId) return;
    attrib_tab = AttribToTabText(Attrib);
    if (NumParts == 0) {
        miobject = MI_OBJ{};
        miobject.objtype = MI_NOGEOM;
        WriteObject();
    } else if (NumParts > 1 || FObjectTypes == otRegion) {
        mipolys.assign(static_cast<size_t>(NumParts), MI_POLY{});
        pointsM.assign(static_cast<size_t>(NumParts), {});
        Fpartsindex = -1;
    }
}

void TGISWriteMFAL::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    if (!TId) return;
    const bool single_pline = FNumParts == 1 && FObjectTypes != otRegion;
    if (single_pline && SegList.Count == 2) {
        miobject = MI_OBJ{};
        miobject.objtype = MI_LINE_OBJ;
        miobject.line.lbeg = {SegList.Pnt[0].x, SegList.Pnt[0].y};
        miobject.line.lend = {SegList.Pnt[1].x, SegList.Pnt[1].y};
        miobject.line.pen = CurrentPen();
        WriteObject();
        return;
    }
    if (single_pline) {
        FPlinePoints.resize(static_cast<size_t>(SegList.Count));
        for (int32_t i = 0; i < SegList.Count; ++i) FPlinePoints[i] = {SegList.Pnt[i].x, SegList.Pnt[i].y};
        miobject = MI_OBJ{};
        miobject.objtype = MI_PLINE_OBJ;
        miobject.pline.points = SegList.Count;
        miobject.pline.bSmooth = 0;
        miobject.pline.pen = CurrentPen();
        miobject.pline.data = FPlinePoints.data();
        WriteObject();
        return;
    }
    Fpartsindex += 1;
    if (Fpartsindex >= static_cast<int32_t>(mipolys.size())) return;  // more sections than announced
    auto& pts = pointsM[Fpartsindex];
    pts.resize(static_cast<size_t>(SegList.Count));
    for (int32_t i = 0; i < SegList.Count; ++i) pts[i] = {SegList.Pnt[i].x, SegList.Pnt[i].y};
    mipolys[Fpartsindex].points = SegList.Count;
    mipolys[Fpartsindex].pPnts = pts.data();
    if (Fpartsindex != FNumParts - 1) return;
    miobject = MI_OBJ{};
    if (FObjectTypes == otRegion) {
        miobject.objtype = MI_REGION_OBJ;
        miobject.region.regions = FNumParts;
        miobject.region.pen = CurrentPen();
        miobject.region.brush.pat = Brush.pattern;
        miobject.region.brush.forecolor = static_cast<int32_t>(RgbValue(Brush.fg_color));
        miobject.region.brush.backcolor = static_cast<int32_t>(RgbValue(Brush.bg_color));
        miobject.region.brush.transparent = 0;
        miobject.region.data = mipolys.data();
    } else {
        miobject.objtype = MI_MULTIPLINE_OBJ;
        miobject.multipline.plines = FNumParts;
        miobject.multipline.bSmooth = 0;
        miobject.multipline.pen = CurrentPen();
        miobject.multipline.data = mipolys.data();
    }
    WriteObject();
}

void TGISWriteMFAL::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (!TId) return;
    miobject = MI_OBJ{};
    miobject.objtype = MI_POINT_OBJ;
    miobject.point.pnt = {X, Y};
    miobject.point.symbol.code = static_cast<int16_t>(Symbol.Shape);
    miobject.point.symbol.color = static_cast<int32_t>(RgbValue(Symbol.Color));
    miobject.point.symbol.pointsize = static_cast<int16_t>(Symbol.Size);
    attrib_tab = AttribToTabText(Attrib);
    WriteObject();
}

void TGISWriteMFAL::Close() {
    TGISWrite::Close();
    if (TId) Mfal().close_table(TId);
    TId = nullptr;
}

void TGISWriteMFAL::Drop() {
    TGISWrite::Drop();
    for (const char* ext : {".tab", ".map", ".dat", ".id"}) std::remove((FileName + ext).c_str());
}

}  // namespace itn
