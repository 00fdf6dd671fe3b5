// The TAB module: the "mitab_c_" entry points the TAB writer calls, implemented over GDAL's
// MapInfo driver. Field values arrive as 8-bit text in the table's character set and are
// recoded to UTF-8 for GDAL, which writes them back in that character set.
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <mutex>
#include <string>
#include <vector>

#include <cerrno>
#include <cstring>

#include "gis/mitab_api.h"

#define ITN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string g_last_error;
std::string g_io_reason;  // the system's reason for the first failed file operation

// GDAL's messages go into the error text instead of onto the terminal; a failed write keeps
// the system's reason (a full disk, a file size limit), which GDAL's own text leaves out.
void CPL_STDCALL KeepErrors(CPLErr, CPLErrorNum Number, const char*) {
    const int code = errno;
    if (Number == CPLE_FileIO && code != 0 && g_io_reason.empty()) g_io_reason = std::strerror(code);
}

void SetLastError(const std::string& text) {
    const char* gdal = CPLGetLastErrorMsg();
    g_last_error = text;
    if (gdal && *gdal) g_last_error += std::string(": ") + gdal;
    if (!g_io_reason.empty()) g_last_error += ". " + g_io_reason;
}

bool RegisterGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        CPLSetErrorHandler(KeepErrors);
        GDALAllRegister();
    });
    return GDALGetDriverByName("MapInfo File") != nullptr;
}

struct RawPoint {
    double x = 0, y = 0;
};

struct Dataset {
    std::string filename;
    std::string projection;
    double north = 0, south = 0, east = 0, west = 0;
    std::string charset;  // MapInfo character set of the 8-bit text, written into the table at close
    GDALDatasetH ds = nullptr;
    OGRLayerH layer = nullptr;
    std::vector<int> field_types;  // TABFC_* per field
    struct Decimal {
        int width = 0, precision = 0;  // as declared
        bool widened = false;          // written one character wider, narrowed at close
    };
    std::vector<Decimal> decimals;  // per field; meaningful for Decimal fields
};

struct Feature {
    Dataset* owner = nullptr;
    int type = TABFC_NoGeom;
    OGRFeatureH feature = nullptr;
    std::vector<std::vector<RawPoint>> parts;
    std::vector<bool> starts_polygon;  // per part: a region part that begins a new polygon
    std::string pen, brush, symbol;
    std::string error;  // a value that cannot be stored; the write then fails with it
};

std::string Hex(int rgb) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06x", rgb & 0xFFFFFF);
    return buf;
}

bool EnsureLayer(Dataset* d) {
    if (d->layer) return true;
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    if (d->projection.empty() || OSRImportFromMICoordSys(srs, d->projection.c_str()) != OGRERR_NONE) {
        OSRDestroySpatialReference(srs);
        srs = nullptr;
    } else {
        // A clause names its datum by number only; an identified EPSG system carries the
        // datum shift the driver needs to write that datum number back.
        int count = 0;
        int* confidence = nullptr;
        OGRSpatialReferenceH* matches = OSRFindMatches(srs, nullptr, &count, &confidence);
        if (count > 0 && confidence[0] >= 90) {
            OSRRelease(srs);
            srs = OSRClone(matches[0]);
        }
        OSRFreeSRSArray(matches);
        CPLFree(confidence);
    }
    char** options = nullptr;
    if (d->north != 0 || d->south != 0 || d->east != 0 || d->west != 0) {
        options = CSLSetNameValue(options, "BOUNDS",
                                  CPLSPrintf("%.15g,%.15g,%.15g,%.15g", d->west, d->south, d->east, d->north));
    }
    // No recoding: values arrive in the table's character set and are stored as they are; the
    // character set is named in the table definition at close.
    options = CSLSetNameValue(options, "ENCODING", "");
    const std::string layer_name = CPLGetBasename(d->filename.c_str());
    d->layer = GDALDatasetCreateLayer(d->ds, layer_name.c_str(), srs, wkbUnknown, options);
    CSLDestroy(options);
    if (srs) OSRRelease(srs);
    if (!d->layer) SetLastError("Cannot create the TAB table \"" + d->filename + "\"");
    return d->layer != nullptr;
}


int Digits(const char* s, int count) {
    int v = 0;
    for (int i = 0; i < count; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

bool AllDigits(const char* s, size_t count) {
    if (std::strlen(s) != count) return false;
    for (size_t i = 0; i < count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

}  // namespace

ITN_EXPORT int mitab_c_getlibversion(void) { return RegisterGdal() ? ITN_MITAB_EXPECTED_VERSION : 0; }

ITN_EXPORT const char* mitab_c_getlasterrormsg(void) { return g_last_error.c_str(); }

ITN_EXPORT mitab_handle mitab_c_create(const char* filename, const char* mif_or_tab, const char* mif_projection,
                                       double north, double south, double east, double west) {
    CPLErrorReset();
    g_io_reason.clear();
    if (!RegisterGdal()) {
        SetLastError("GDAL's MapInfo driver is not available");
        return nullptr;
    }
    GDALDriverH driver = GDALGetDriverByName("MapInfo File");
    char** options = nullptr;
    if (mif_or_tab && EQUAL(mif_or_tab, "mif")) options = CSLSetNameValue(options, "FORMAT", "MIF");
    // Larger .map blocks mean far fewer block writes; every MapInfo version reads 512 to 32256.
    else options = CSLSetNameValue(options, "BLOCKSIZE", "16384");
    // The driver refuses to replace a table; an earlier run's table of this name is ours to replace.
    for (const char* ext : {"tab", "dat", "map", "id", "ind"}) VSIUnlink(CPLResetExtension(filename, ext));
    GDALDatasetH ds = GDALCreate(driver, filename, 0, 0, 0, GDT_Unknown, options);
    CSLDestroy(options);
    if (!ds) {
        SetLastError(std::string("Cannot create file \"") + filename + "\"");
        return nullptr;
    }
    auto* d = new Dataset;
    d->filename = filename;
    d->projection = mif_projection ? mif_projection : "";
    d->north = north;
    d->south = south;
    d->east = east;
    d->west = west;
    d->ds = ds;
    return d;
}

ITN_EXPORT void mitab_c_set_charset(mitab_handle dataset, const char* charset) {
    auto* d = static_cast<Dataset*>(dataset);
    if (!d || d->layer) return;  // fixed once the table exists
    d->charset = charset ? charset : "";
}

ITN_EXPORT int mitab_c_add_field(mitab_handle dataset, const char* field_name, int field_type, int width,
                                 int precision, int, int) {
    auto* d = static_cast<Dataset*>(dataset);
    if (!d || !EnsureLayer(d)) return -1;
    OGRFieldType type = OFTString;
    OGRFieldSubType subtype = OFSTNone;
    switch (field_type) {
        case TABFC_Integer: type = OFTInteger; width = 0; break;
        case TABFC_SmallInt: type = OFTInteger; width = 0; break;  // narrowed at close
        case TABFC_Decimal: type = OFTReal; break;  // see below for the narrowest widths
        case TABFC_Float: type = OFTReal; width = 0; precision = 0; break;
        case TABFC_Date: type = OFTDate; width = 0; break;
        case TABFC_Logical: type = OFTString; width = 1; precision = 0; break;  // retyped at close
        case TABFC_Time: type = OFTTime; width = 0; break;
        case TABFC_DateTime: type = OFTDateTime; width = 0; break;
        default: type = OFTString; precision = 0; break;
    }
    Dataset::Decimal decimal{width, precision, false};
    // The driver needs room for a decimal point and a sign digit (width >= precision + 2):
    // a Decimal(1,0) column is written as Decimal(2,0) and narrowed at close.
    if (field_type == TABFC_Decimal && precision == 0 && width == 1) {
        decimal.widened = true;
        width = 2;
    }
    OGRFieldDefnH defn = OGR_Fld_Create(field_name, type);
    OGR_Fld_SetSubType(defn, subtype);
    OGR_Fld_SetWidth(defn, width);
    OGR_Fld_SetPrecision(defn, precision);
    OGRErr err = OGR_L_CreateField(d->layer, defn, FALSE);
    OGR_Fld_Destroy(defn);
    if (err != OGRERR_NONE) {
        SetLastError(std::string("Cannot add the field ") + field_name);
        return -1;
    }
    d->field_types.push_back(field_type);
    d->decimals.push_back(decimal);
    return static_cast<int>(d->field_types.size()) - 1;
}

ITN_EXPORT mitab_feature mitab_c_create_feature(mitab_handle dataset, int feature_type) {
    auto* d = static_cast<Dataset*>(dataset);
    if (!d || !EnsureLayer(d)) return nullptr;
    auto* f = new Feature;
    f->owner = d;
    f->type = feature_type;
    f->feature = OGR_F_Create(OGR_L_GetLayerDefn(d->layer));
    return f;
}

ITN_EXPORT void mitab_c_set_field(mitab_feature feature, int field_index, const char* field_value) {
    auto* f = static_cast<Feature*>(feature);
    if (!f || !field_value || field_index < 0 ||
        field_index >= static_cast<int>(f->owner->field_types.size()))
        return;
    const int type = f->owner->field_types[field_index];
    const char* v = field_value;
    switch (type) {
        case TABFC_Logical:
            OGR_F_SetFieldString(f->feature, field_index,
                                 (v[0] == 'T' || v[0] == 't' || v[0] == '1' || v[0] == 'Y' || v[0] == 'y') ? "T" : "F");
            return;
        case TABFC_Date:  // YYYYMMDD
            if (AllDigits(v, 8))
                OGR_F_SetFieldDateTime(f->feature, field_index, Digits(v, 4), Digits(v + 4, 2), Digits(v + 6, 2), 0,
                                       0, 0, 0);
            return;
        case TABFC_Time:  // HHMMSSmmm
            if (AllDigits(v, 9))
                OGR_F_SetFieldDateTimeEx(f->feature, field_index, 0, 0, 0, Digits(v, 2), Digits(v + 2, 2),
                                         Digits(v + 4, 2) + Digits(v + 6, 3) / 1000.0f, 0);
            return;
        case TABFC_DateTime:  // YYYYMMDDHHMMSSmmm
            if (AllDigits(v, 17))
                OGR_F_SetFieldDateTimeEx(f->feature, field_index, Digits(v, 4), Digits(v + 4, 2), Digits(v + 6, 2),
                                         Digits(v + 8, 2), Digits(v + 10, 2),
                                         Digits(v + 12, 2) + Digits(v + 14, 3) / 1000.0f, 0);
            return;
        case TABFC_Char:
            OGR_F_SetFieldString(f->feature, field_index, v);
            return;
        case TABFC_Decimal: {
            if (!*v) return;  // an empty value stays unset
            const Dataset::Decimal& dec = f->owner->decimals[field_index];
            // Plain digits no longer than the column fit as they are; anything else is measured.
            const size_t len = std::strlen(v);
            bool fits = len <= static_cast<size_t>(dec.width) && std::strspn(v, "0123456789") == len;
            if (!fits) {
                char text[64];
                std::snprintf(text, sizeof text, "%.*f", dec.precision, CPLAtof(v));
                fits = static_cast<int>(std::strlen(text)) <= dec.width;
            }
            if (!fits && f->error.empty())
                f->error = std::string("the value ") + v + " does not fit the column " +
                           OGR_Fld_GetNameRef(OGR_F_GetFieldDefnRef(f->feature, field_index)) + " (Decimal " +
                           std::to_string(dec.width) + "," + std::to_string(dec.precision) + ")";
            OGR_F_SetFieldString(f->feature, field_index, v);
            return;
        }
        default:  // other numbers: an empty value stays unset
            if (*v) OGR_F_SetFieldString(f->feature, field_index, v);
            return;
    }
}

ITN_EXPORT void mitab_c_set_pen(mitab_feature feature, int width, int pattern, int color) {
    auto* f = static_cast<Feature*>(feature);
    if (!f) return;
    // MapInfo pen widths 1..7 are pixels; larger values are tenths of a point plus 10.
    const std::string w = width <= 7 ? std::to_string(width) + "px" : CPLSPrintf("%.1fpt", (width - 10) / 10.0);
    f->pen = "PEN(w:" + w + ",c:" + Hex(color) + ",id:\"mapinfo-pen-" + std::to_string(pattern) + ",ogr-pen-0\")";
}

ITN_EXPORT void mitab_c_set_brush(mitab_feature feature, int fg_color, int bg_color, int pattern, int transparent) {
    auto* f = static_cast<Feature*>(feature);
    if (!f) return;
    f->brush = "BRUSH(fc:" + Hex(fg_color) + (transparent ? std::string() : ",bc:" + Hex(bg_color)) +
               ",id:\"mapinfo-brush-" + std::to_string(pattern) + ",ogr-brush-1\")";
}

ITN_EXPORT void mitab_c_set_symbol(mitab_feature feature, int symbol_no, int symbol_size, int symbol_color) {
    auto* f = static_cast<Feature*>(feature);
    if (!f) return;
    f->symbol = "SYMBOL(c:" + Hex(symbol_color) + ",s:" + std::to_string(symbol_size) + "pt,id:\"mapinfo-sym-" +
                std::to_string(symbol_no) + ",ogr-sym-0\")";
}

ITN_EXPORT void mitab_c_set_points(mitab_feature feature, int part, int vertex_count, double* x, double* y) {
    auto* f = static_cast<Feature*>(feature);
    if (!f || vertex_count < 0) return;
    std::vector<RawPoint> pts(static_cast<size_t>(vertex_count));
    for (int i = 0; i < vertex_count; ++i) pts[i] = RawPoint{x[i], y[i]};
    // Parts arrive in order; a negative region part number starts another polygon.
    const bool new_polygon = f->parts.empty() || part < 0;
    f->parts.push_back(std::move(pts));
    f->starts_polygon.push_back(new_polygon);
}

namespace {

OGRGeometryH LineOf(const std::vector<RawPoint>& pts, OGRwkbGeometryType type) {
    OGRGeometryH g = OGR_G_CreateGeometry(type);
    OGR_G_SetPointCount(g, static_cast<int>(pts.size()));
    for (size_t i = 0; i < pts.size(); ++i) OGR_G_SetPoint_2D(g, static_cast<int>(i), pts[i].x, pts[i].y);
    return g;
}

// The MapInfo driver refuses a line of fewer than two vertices. As in MIF output, a single vertex
// becomes a zero-length line and a part without vertices is left out (no parts: no geometry).
OGRGeometryH PolylineOf(const std::vector<std::vector<RawPoint>>& parts) {
    std::vector<OGRGeometryH> lines;
    for (const auto& part : parts) {
        if (part.empty()) continue;
        lines.push_back(part.size() == 1 ? LineOf({part[0], part[0]}, wkbLineString) : LineOf(part, wkbLineString));
    }
    if (lines.empty()) return nullptr;
    if (lines.size() == 1) return lines[0];
    OGRGeometryH multi = OGR_G_CreateGeometry(wkbMultiLineString);
    for (OGRGeometryH line : lines) OGR_G_AddGeometryDirectly(multi, line);
    return multi;
}

OGRGeometryH BuildGeometry(const Feature* f) {
    if (f->parts.empty()) return nullptr;
    switch (f->type) {
        case TABFC_Point: {
            if (f->parts[0].empty()) return nullptr;
            OGRGeometryH g = OGR_G_CreateGeometry(wkbPoint);
            OGR_G_SetPoint_2D(g, 0, f->parts[0][0].x, f->parts[0][0].y);
            return g;
        }
        case TABFC_Polyline:
            return PolylineOf(f->parts);
        case TABFC_Region: {
            std::vector<OGRGeometryH> polygons;
            for (size_t i = 0; i < f->parts.size(); ++i) {
                if (f->starts_polygon[i]) polygons.push_back(OGR_G_CreateGeometry(wkbPolygon));
                OGR_G_AddGeometryDirectly(polygons.back(), LineOf(f->parts[i], wkbLinearRing));
            }
            if (polygons.size() == 1) return polygons[0];
            OGRGeometryH multi = OGR_G_CreateGeometry(wkbMultiPolygon);
            for (OGRGeometryH p : polygons) OGR_G_AddGeometryDirectly(multi, p);
            return multi;
        }
        default:
            return nullptr;
    }
}

}  // namespace

ITN_EXPORT int mitab_c_write_feature(mitab_handle dataset, mitab_feature feature) {
    auto* d = static_cast<Dataset*>(dataset);
    auto* f = static_cast<Feature*>(feature);
    if (!d || !f || !d->layer) return 0;
    if (!f->error.empty()) {
        g_last_error = f->error;
        return 0;
    }
    if (OGRGeometryH g = BuildGeometry(f)) OGR_F_SetGeometryDirectly(f->feature, g);
    std::string style;
    for (const std::string* s : {&f->pen, &f->brush, &f->symbol}) {
        if (s->empty()) continue;
        if (!style.empty()) style += ';';
        style += *s;
    }
    // The driver's own default pen is this one; leaving it out saves parsing a style per feature.
    static const std::string kDefaultPen = "PEN(w:1px,c:#000000,id:\"mapinfo-pen-2,ogr-pen-0\")";
    if (!style.empty() && style != kDefaultPen) OGR_F_SetStyleString(f->feature, style.c_str());
    CPLErrorReset();
    if (OGR_L_CreateFeature(d->layer, f->feature) != OGRERR_NONE) {
        // The caller names the file; the reason is GDAL's.
        const char* gdal = CPLGetLastErrorMsg();
        g_last_error = (gdal && *gdal) ? gdal : "the MapInfo driver refused the feature";
        if (!g_io_reason.empty()) g_last_error += ". " + g_io_reason;
        return 0;
    }
    return 1;
}

ITN_EXPORT void mitab_c_destroy_feature(mitab_feature feature) {
    auto* f = static_cast<Feature*>(feature);
    if (!f) return;
    OGR_F_Destroy(f->feature);
    delete f;
}

namespace {

// The table is written with the neutral character set (text stored as it comes) and named
// here. GDAL's driver writes no Logical and no Smallint columns, and no Decimal(1,0). They are written
// as Char(1) holding T or F, as 4-byte Integer and as Decimal(2,0), and converted here once the
// table is closed: the table definition and the .dat column descriptors name the declared
// types, Logical columns hold the byte 1 or 0, Smallint columns are narrowed to 2 bytes and
// the widened Decimal columns lose their padding blank.
bool FinishTable(const Dataset* d) {
    bool any = false;
    for (size_t i = 0; i < d->field_types.size(); ++i)
        any = any || d->field_types[i] == TABFC_Logical || d->field_types[i] == TABFC_SmallInt ||
              d->decimals[i].widened;

    const std::string tab_name = d->filename;
    std::ifstream tab_in(tab_name, std::ios::binary);
    std::string tab((std::istreambuf_iterator<char>(tab_in)), std::istreambuf_iterator<char>());
    tab_in.close();
    // The text was stored without recoding: name its character set.
    if (!d->charset.empty()) {
        for (const std::string neutral : {"!charset Neutral", "Charset \"Neutral\""}) {
            const size_t at = tab.find(neutral);
            if (at == std::string::npos) return false;
            const std::string named = neutral[0] == '!' ? "!charset " + d->charset : "Charset \"" + d->charset + "\"";
            tab.replace(at, neutral.size(), named);
        }
    }
    size_t pos = tab.find("Fields ");
    if (pos == std::string::npos) return false;
    pos = tab.find('\n', pos);
    for (size_t field = 0; field < d->field_types.size(); ++field) {
        const int t = d->field_types[field];
        if (pos == std::string::npos) return false;
        const size_t start = pos + 1;
        const size_t end = tab.find('\n', start);
        if (end == std::string::npos) return false;
        std::string line = tab.substr(start, end - start);
        const bool cr = !line.empty() && line.back() == '\r';
        const size_t name_start = line.find_first_not_of(' ');
        const size_t name_end = line.find(' ', name_start);
        if (name_start == std::string::npos || name_end == std::string::npos) return false;
        if (t == TABFC_Logical || t == TABFC_SmallInt) {
            line = line.substr(0, name_end) + (t == TABFC_Logical ? " Logical ;" : " Smallint ;") + (cr ? "\r" : "");
            tab.replace(start, end - start, line);
        } else if (d->decimals[field].widened) {
            const Dataset::Decimal& dec = d->decimals[field];
            line = line.substr(0, name_end) + " Decimal (" + std::to_string(dec.width) + "," +
                   std::to_string(dec.precision) + ") ;" + (cr ? "\r" : "");
            tab.replace(start, end - start, line);
        }
        pos = tab.find('\n', start);
    }
    std::ofstream(tab_name, std::ios::binary | std::ios::trunc) << tab;
    if (!any) return true;

    const std::string dat_name = CPLResetExtension(d->filename.c_str(), "dat");
    std::ifstream in(dat_name, std::ios::binary);
    unsigned char head[32];
    if (!in.read(reinterpret_cast<char*>(head), 32)) return false;
    const uint32_t records = head[4] | head[5] << 8 | head[6] << 16 | static_cast<uint32_t>(head[7]) << 24;
    const uint16_t header_len = static_cast<uint16_t>(head[8] | head[9] << 8);
    const uint16_t record_len = static_cast<uint16_t>(head[10] | head[11] << 8);
    const size_t nfields = (header_len - 33) / 32;
    if (nfields != d->field_types.size()) return false;
    std::vector<unsigned char> descriptors(header_len - 32);
    if (!in.read(reinterpret_cast<char*>(descriptors.data()), static_cast<std::streamsize>(descriptors.size())))
        return false;
    std::vector<int> lengths(nfields);
    uint16_t new_record_len = 1;
    for (size_t i = 0; i < nfields; ++i) {
        lengths[i] = descriptors[i * 32 + 16];
        if (d->field_types[i] == TABFC_SmallInt) {
            if (lengths[i] != 4) return false;
            descriptors[i * 32 + 16] = 2;
        }
        if (d->field_types[i] == TABFC_Logical) descriptors[i * 32 + 11] = 'L';
        if (d->decimals[i].widened) {
            if (lengths[i] != d->decimals[i].width + 1) return false;
            descriptors[i * 32 + 16] = static_cast<unsigned char>(d->decimals[i].width);
        }
        new_record_len = static_cast<uint16_t>(new_record_len + descriptors[i * 32 + 16]);
    }
    head[10] = static_cast<unsigned char>(new_record_len & 0xFF);
    head[11] = static_cast<unsigned char>(new_record_len >> 8);

    const std::string tmp_name = dat_name + ".tmp";
    std::ofstream out(tmp_name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<char*>(head), 32);
    out.write(reinterpret_cast<char*>(descriptors.data()), static_cast<std::streamsize>(descriptors.size()));
    std::vector<char> rec(record_len), narrowed(new_record_len);
    for (uint32_t r = 0; r < records; ++r) {
        if (!in.read(rec.data(), record_len)) return false;
        size_t src = 1, dst = 1;
        narrowed[0] = rec[0];
        for (size_t i = 0; i < nfields; ++i) {
            if (d->field_types[i] == TABFC_SmallInt) {
                int32_t v;
                std::memcpy(&v, &rec[src], 4);
                const auto s16 = static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
                std::memcpy(&narrowed[dst], &s16, 2);
                dst += 2;
            } else if (d->decimals[i].widened) {
                // Right-aligned text: the extra first character is the padding blank.
                const size_t w = static_cast<size_t>(d->decimals[i].width);
                std::memcpy(&narrowed[dst], &rec[src + 1], w);
                dst += w;
            } else if (d->field_types[i] == TABFC_Logical) {
                narrowed[dst++] = rec[src] == 'T' ? 1 : 0;  // stored as a byte 1 or 0
            } else {
                std::memcpy(&narrowed[dst], &rec[src], static_cast<size_t>(lengths[i]));
                dst += static_cast<size_t>(lengths[i]);
            }
            src += static_cast<size_t>(lengths[i]);
        }
        out.write(narrowed.data(), new_record_len);
    }
    // Whatever follows the records (the end-of-file mark) is kept.
    out << in.rdbuf();
    out.close();
    in.close();
    if (!out) return false;
    return std::rename(tmp_name.c_str(), dat_name.c_str()) == 0;
}

}  // namespace

ITN_EXPORT void mitab_c_close(mitab_handle dataset) {
    auto* d = static_cast<Dataset*>(dataset);
    if (!d) return;
    EnsureLayer(d);  // a table without features still gets its files
    GDALClose(d->ds);
    if (!FinishTable(d)) {
        SetLastError("Cannot set the column types of \"" + d->filename + "\"");
        VSIUnlink((std::string(CPLResetExtension(d->filename.c_str(), "dat")) + ".tmp").c_str());
    }
    delete d;
}
