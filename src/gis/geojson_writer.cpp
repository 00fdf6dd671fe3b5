#include "gis/geojson_writer.h"

#include <cstdio>

#include "gis/gis_functions.h"

namespace itn {

namespace {

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(std::string_view t) {
    size_t i = 0;
    const size_t n = t.size();
    auto digits = [&]() {
        const size_t start = i;
        while (i < n && t[i] >= '0' && t[i] <= '9') ++i;
        return i - start;
    };
    if (i < n && t[i] == '-') ++i;
    if (i < n && t[i] == '0')
        ++i;
    else if (i >= n || t[i] < '1' || t[i] > '9' || digits() == 0)
        return false;
    if (i < n && t[i] == '.') {
        ++i;
        if (digits() == 0) return false;
    }
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == n;
}

void AppendCut(std::string& out, const std::string& v, size_t pos, size_t len) {
    if (pos < v.size()) out.append(v, pos, len);
}

}  // namespace

TGISWriteGeoJSON::TGISWriteGeoJSON() = default;
TGISWriteGeoJSON::~TGISWriteGeoJSON() = default;

void TGISWriteGeoJSON::Emit() {
    s->append(FBuf);
    FBuf.clear();
}

void TGISWriteGeoJSON::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FOutName = FileName.empty() ? std::string() : FileName + ".geojson";
    GeoJSON.clear();
    FBuf.clear();
    s = std::make_unique<TFlexWriter>(FOutName);
    FBuf = "{\"type\":\"FeatureCollection\",";
    if (epsg != 4326)
        FBuf += "\"crs\":{\"type\":\"name\",\"properties\":{\"name\":\"EPSG:" + std::to_string(epsg) + "\"}},";
    FBuf += "\"features\":[";
    Emit();
}

void TGISWriteGeoJSON::AppendNumber(const TFieldInfo& info, const std::string& value) {
    // An empty value has no number; null keeps the document valid.
    if (value.empty()) {
        FBuf += "null";
    } else if (IsJsonNumber(value)) {
        FBuf += value;
    } else {
        // Forms JSON does not accept, such as +5, .5 or 05, in their plain notation.
        double number = 0;
        if (!TryStrToFloatInv(value, number))
            throw EGISWriteError("\"" + value + "\" is not a valid number for the field " + info.Name);
        AppendFloatInv(FBuf, number);
    }
}

void TGISWriteGeoJSON::WriteAttributes(const std::string& Attrib) {
    SplitAttributes(Attrib);
    const size_t start = FBuf.size();
    try {
        if (FWrittenRecords > 0) FBuf += ',';
        WriteProperties();
    } catch (...) {
        FBuf.resize(start);  // a feature that cannot be written leaves nothing behind
        throw;
    }
    FWrittenRecords += 1;
    FBuf += "},\"geometry\":";
}

void TGISWriteGeoJSON::WriteProperties() {
    FBuf += "{\"type\":\"Feature\",\"properties\":{";
    for (int32_t i = 1; i <= FNumFields; ++i) {
        const TFieldInfo& info = FFieldInfo[i];
        const std::string& v = FSL[i - 1];
        if (i > 1) FBuf += ',';
        FBuf += '"';
        FBuf += info.Name;
        FBuf += "\":";
        switch (info.FieldType) {
            case gfChar: AppendJsonString(FBuf, v); break;
            case gfInteger:
            case gfSmallInt:
            case gfDecimal:
            case gfFloat: AppendNumber(info, v); break;
            case gfLogical: FBuf += IsTrueText(v) ? "\"true\"" : "\"false\""; break;
            case gfDate:
                FBuf += '"';
                AppendCut(FBuf, v, 0, 4), FBuf += '-', AppendCut(FBuf, v, 4, 2), FBuf += '-', AppendCut(FBuf, v, 6, 2);
                FBuf += '"';
                break;
            case gfTime:
                FBuf += '"';
                AppendCut(FBuf, v, 0, 2), FBuf += ':', AppendCut(FBuf, v, 2, 2), FBuf += ':', AppendCut(FBuf, v, 4, 2);
                FBuf += '.', AppendCut(FBuf, v, 6, 3);
                FBuf += '"';
                break;
            case gfDateTime:
                FBuf += '"';
                AppendCut(FBuf, v, 0, 4), FBuf += '-', AppendCut(FBuf, v, 4, 2), FBuf += '-', AppendCut(FBuf, v, 6, 2);
                FBuf += 'T', AppendCut(FBuf, v, 8, 2), FBuf += ':', AppendCut(FBuf, v, 10, 2), FBuf += ':';
                AppendCut(FBuf, v, 12, 2), FBuf += '.', AppendCut(FBuf, v, 14, 3);
                FBuf += '"';
                break;
        }
    }
}

void TGISWriteGeoJSON::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    FBuf.clear();
    WriteAttributes(Attrib);
    FMulti = FmultiPolygon;
    // An attribute-only file has no geometry kind: its features carry null.
    FGeometryOpen = NumParts > 0 && FObjectTypes != otNone;
    FPositions = 0;
    if (!FGeometryOpen) {
        FBuf += "null}";
        Emit();
        return;
    }
    const char* type = "MultiPoint";
    if (FObjectTypes == otPline)
        type = NumParts < 2 ? "LineString" : "MultiLineString";
    else if (FObjectTypes == otRegion)
        type = FMulti ? "MultiPolygon" : "Polygon";
    FBuf += "{\"type\":\"";
    FBuf += type;
    FBuf += "\",\"coordinates\":";
}

void TGISWriteGeoJSON::WriteCoordinates(const TFloatPointArrayEx& SegList) {
    FBuf += '[';
    for (int32_t j = 0; j < SegList.Count; ++j) {
        if (j > 0) FBuf += ',';
        FBuf += '[';
        AppendFloatInv(FBuf, SegList.Pnt[j].x);
        FBuf += ',';
        AppendFloatInv(FBuf, SegList.Pnt[j].y);
        FBuf += ']';
    }
    FBuf += ']';
}

void TGISWriteGeoJSON::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    if (!FGeometryOpen) return;
    const bool first = FWrittenParts == 1;
    const bool last = FWrittenParts == FNumParts;
    if (FObjectTypes == otRegion) {
        // Rings of one polygon in an array; a MultiPolygon starts a polygon at every outer ring.
        if (first)
            FBuf += FMulti ? "[[" : "[";
        else
            FBuf += FMulti && Index < 1 ? "],[" : ",";
        WriteCoordinates(SegList);
        if (last) FBuf += FMulti ? "]]" : "]";
    } else if (FObjectTypes == otPline && FNumParts < 2) {
        WriteCoordinates(SegList);
    } else if (FObjectTypes == otPline) {
        FBuf += first ? "[" : ",";
        WriteCoordinates(SegList);
        if (last) FBuf += ']';
    } else {
        // A point file fed with sections: all their points as one MultiPoint.
        for (int32_t j = 0; j < SegList.Count; ++j) {
            FBuf += FPositions == 0 ? '[' : ',';
            ++FPositions;
            FBuf += '[';
            AppendFloatInv(FBuf, SegList.Pnt[j].x);
            FBuf += ',';
            AppendFloatInv(FBuf, SegList.Pnt[j].y);
            FBuf += ']';
        }
        if (last) FBuf += FPositions == 0 ? "[]" : "]";
    }
    if (!last) return;
    FBuf += "}}";
    Emit();
}

void TGISWriteGeoJSON::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    FBuf.clear();
    WriteAttributes(Attrib);
    FBuf += "{\"type\":\"Point\",\"coordinates\":[";
    AppendFloatInv(FBuf, X);
    FBuf += ',';
    AppendFloatInv(FBuf, Y);
    FBuf += "]}}";
    Emit();
}

void TGISWriteGeoJSON::Close() {
    TGISWrite::Close();
    if (!s) return;
    Fopen = false;
    std::unique_ptr<TFlexWriter> out = std::move(s);
    FBuf += "]}";
    out->append(FBuf);
    FBuf.clear();
    GeoJSON = out->ToString();
    out->Close();
}

void TGISWriteGeoJSON::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The result is discarded anyway.
    }
    if (!FOutName.empty()) std::remove(FOutName.c_str());
    GeoJSON.clear();
}

}  // namespace itn
