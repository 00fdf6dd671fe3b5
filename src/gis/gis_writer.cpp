#include "gis/gis_writer.h"

#include <cmath>

#include "gis/gis_functions.h"
#include "io/errors.h"

namespace itn {

const char* const kDefaultCoordSys = "CoordSys Earth Projection 1, 104";
const char* const kDefaultPRJ =
    "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137,298.257223563]],"
    "PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.017453292519943295]]";

TGISWrite::TGISWrite() {
    SetCodepage(static_cast<uint16_t>(DefaultCodepage()));
    FLine.Pnt.resize(2);
    FLine.Count = 2;
    FPoint.Pnt.resize(1);
    FPoint.Count = 1;
}

TGISWrite::~TGISWrite() = default;

void TGISWrite::NoteDroppedCharacters() {
    if (!FDroppedCharactersIn.empty()) return;
    // FFieldInfo counts from 1, FSL from 0.
    for (size_t i = 1; i < FFieldInfo.size() && i <= FSL.size(); ++i) {
        if (FFieldInfo[i].Name == "TOID" && !FSL[i - 1].empty()) {
            FDroppedCharactersIn = FSL[i - 1];
            return;
        }
    }
    FDroppedCharactersIn = "record " + std::to_string(FWrittenRecords + 1);
}

void TGISWrite::SetCodepage(uint16_t Value) {
    FCodepage = Value;
    FEncoding = std::make_unique<TCodepageEncoder>(Value);
}

void TGISWrite::SetOptimizePLinesSections(bool Value) {
    if (Value != FOptimizePLinesSections && FNumParts != FWrittenParts)
        throw EGISWriteError("Can not change the OptimizePLinesSections property during processing sections.");
    FOptimizePLinesSections = Value;
}

void TGISWrite::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    FNumFields = NumFields;
    FWrittenFields = 0;
    FObjectTypes = ObjectTypes;
    FFieldInfo.assign(static_cast<size_t>(NumFields > 0 ? NumFields + 1 : 1), TFieldInfo{});
    Fopen = true;
}

void TGISWrite::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    FWrittenFields += 1;
    // Fields beyond the announced count have no slot; keep the table consistent anyway.
    if (FWrittenFields >= static_cast<int32_t>(FFieldInfo.size())) FFieldInfo.resize(FWrittenFields + 1);
    FFieldInfo[FWrittenFields] = TFieldInfo{Field, Width, decimals, FieldName};
}

void TGISWrite::AddObject(int32_t NumParts, bool multiPolygon, const std::string& Attrib) {
    FmultiPolygon = multiPolygon;
    if (FOptimizePLinesSections && NumParts >= 2 && FObjectTypes == otPline)
        StartOptimizedObject(NumParts, Attrib);
    else
        StartObject(NumParts, Attrib);
}

void TGISWrite::AddLine(double X1, double Y1, double X2, double Y2, const std::string& Attrib) {
    if (FObjectTypes != otPline) return;
    AddObject(1, false, Attrib);
    FLine.Pnt.resize(std::max<size_t>(FLine.Pnt.size(), 2));
    FLine.Pnt[0] = {X1, Y1};
    FLine.Pnt[1] = {X2, Y2};
    FLine.Count = 2;
    AddSection(0, FLine);
}

void TGISWrite::AddLine2(const TFloatPoint& P1, const TFloatPoint& P2, const std::string& Attrib) {
    AddLine(P1.x, P1.y, P2.x, P2.y, Attrib);
}

void TGISWrite::AddPoint(double, double, const std::string&) { throw EAbstractError(); }

void TGISWrite::Close() {
    FFieldInfo.clear();
}

void TGISWrite::Drop() { Close(); }

void TGISWrite::StartOptimizedObject(int32_t NumParts, const std::string& Attrib) {
    FNumParts = NumParts;
    FOptimizedParts = NumParts;
    FAttrib = Attrib;
    FWrittenParts = 0;
}

void TGISWrite::StartObject(int32_t NumParts, const std::string&) {
    FNumParts = NumParts;
    FWrittenParts = 0;
}

void TGISWrite::WriteSection(int32_t, const TFloatPointArrayEx&) { FWrittenParts += 1; }

void TGISWrite::AddSection(int32_t Index, TFloatPointArrayEx& SegList) {
    if (FObjectTypes == otRegion) {
        if (SegList.Count <= 3) throw EGISWriteError("Region objects must have >=4 points");
        if (SegList.Pnt[SegList.Count - 1] != SegList.Pnt[0]) throw EGISWriteError("Region objects must be closed");
    }
    if (!FOptimizePLinesSections || FNumParts < 2 || FObjectTypes != otPline) {
        TFloatPointArrayEx& section = Transformed(SegList);
        DensifyGreatCircle(section);
        WriteSection(Index, section);
        return;
    }
    CollectSection(SegList);
    if (FWrittenParts != FNumParts) return;
    StartObject(FOptimizedParts, FAttrib);
    for (int32_t i = 0; i < FOptimizedParts; ++i) {
        if (Transform) Transform->Transform(FSegments[i].Pnt.data(), static_cast<size_t>(FSegments[i].Count));
        DensifyGreatCircle(FSegments[i]);
        WriteSection(0, FSegments[i]);
    }
    FFreeItems = static_cast<int32_t>(FSegments.size());
    FFreeIndex = 0;
}

void TGISWrite::TransformPoint(double& X, double& Y) {
    if (!Transform) return;
    TFloatPoint point{X, Y};
    Transform->Transform(&point, 1);
    X = point.x;
    Y = point.y;
}

TFloatPointArrayEx& TGISWrite::Transformed(TFloatPointArrayEx& SegList) {
    if (!Transform) return SegList;
    FTransformed.Pnt.assign(SegList.Pnt.begin(), SegList.Pnt.begin() + SegList.Count);
    FTransformed.Count = SegList.Count;
    Transform->Transform(FTransformed.Pnt.data(), static_cast<size_t>(FTransformed.Count));
    return FTransformed;
}

void TGISWrite::CollectSection(const TFloatPointArrayEx& SegList) {
    const TFloatPoint& first = SegList.Pnt[0];
    auto joins_previous = [&]() {
        if (FFreeIndex <= 0) return false;
        const TFloatPointArrayEx& prev = FSegments[FFreeIndex - 1];
        return prev.Pnt[prev.Count - 1] == first;
    };
    if (FFreeItems == 0 && (FFreeIndex == -1 || (FFreeIndex > 0 && !joins_previous()))) {
        FFreeIndex = static_cast<int32_t>(FSegments.size());
        if (static_cast<int32_t>(FSegments.size()) < FNumParts) FSegments.resize(FNumParts);
        FFreeItems = static_cast<int32_t>(FSegments.size()) - FFreeIndex;
    }
    FWrittenParts += 1;
    if (joins_previous()) {
        TFloatPointArrayEx& prev = FSegments[FFreeIndex - 1];
        const int32_t needed = prev.Count + SegList.Count - 1;
        if (static_cast<int32_t>(prev.Pnt.size()) < needed) prev.Pnt.resize(needed);
        for (int32_t j = 1; j < SegList.Count; ++j) prev.Pnt[prev.Count + j - 1] = SegList.Pnt[j];
        prev.Count = needed;
        FOptimizedParts -= 1;
        return;
    }
    TFloatPointArrayEx& slot = FSegments[FFreeIndex];
    if (static_cast<int32_t>(slot.Pnt.size()) < SegList.Count) slot.Pnt.resize(SegList.Count);
    std::copy(SegList.Pnt.begin(), SegList.Pnt.begin() + SegList.Count, slot.Pnt.begin());
    slot.Count = SegList.Count;
    FFreeItems -= 1;
    FFreeIndex += 1;
}

void TGISWrite::AddSection1(int32_t Index, const TFloatPointArrayEx2& SegList, bool swapdirection) {
    TFloatPointArrayEx seg;
    const int32_t n = SegList.Last + 1;
    seg.Pnt.resize(n > 0 ? n : 0);
    for (int32_t j = 0; j < n; ++j) seg.Pnt[j] = SegList.Pnt[swapdirection ? SegList.Last - j : j];
    seg.Count = n;
    AddSection(Index, seg);
}

void TGISWrite::AddSection2(int32_t Index, double X1, double Y1, double X2, double Y2) {
    FLine.Pnt.resize(std::max<size_t>(FLine.Pnt.size(), 2));
    FLine.Pnt[0] = {X1, Y1};
    FLine.Pnt[1] = {X2, Y2};
    FLine.Count = 2;
    AddSection(Index, FLine);
}

void TGISWrite::AddSection3(int32_t Index, const TFloatPoint& P1, const TFloatPoint& P2) {
    AddSection2(Index, P1.x, P1.y, P2.x, P2.y);
}

void SplitCommaText(const std::string& text, std::vector<std::string>& values) {
    values.clear();
    const size_t n = text.size();
    auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t i = 0;
    while (i < n && is_blank(text[i])) ++i;
    while (i < n) {
        std::string value;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
        } else {
            size_t start = i;
            while (i < n && text[i] != ',' && !is_blank(text[i])) ++i;
            value.assign(text, start, i - start);
        }
        values.push_back(std::move(value));
        while (i < n && is_blank(text[i])) ++i;
        if (i < n && text[i] == ',') {
            ++i;
            if (i == n) {
                values.emplace_back();  // a trailing comma adds one empty value
                break;
            }
            while (i < n && is_blank(text[i])) ++i;
        }
    }
}

void TGISWrite::SplitAttributes(const std::string& Attrib) {
    SplitCommaText(Attrib, FSL);
    const auto count = static_cast<int32_t>(FSL.size());
    if (count != FNumFields)
        throw EGISWriteError("Number of values must match number of fields. NumVal = " + std::to_string(count) +
                             ", NumFields = " + std::to_string(FNumFields) + ", string = \"" + Attrib + "\"");
}

namespace {

constexpr double kEarthRadiusKm = 6378.13;

double Clamp1(double v) { return v < -1 ? -1 : (v > 1 ? 1 : v); }

// The k points strictly between a and b on their great circle, in order from a.
void GreatCirclePoints(const TFloatPoint& a, const TFloatPoint& b, int k, TFloatPoint* out) {
    const double r = M_PI / 180.0;
    const double lam1 = a.x * r, phi1 = a.y * r, lam2 = b.x * r, phi2 = b.y * r;
    const double s1 = std::sin((phi1 - phi2) / 2), s2 = std::sin((lam1 - lam2) / 2);
    const double d = 2 * std::asin(std::min(1.0, std::sqrt(s1 * s1 + std::cos(phi1) * std::cos(phi2) * s2 * s2)));
    const double denom = std::sin(d) * std::cos(phi1);
    if (std::fabs(std::cos(phi1)) < 1e-12) {
        // Leaving a pole every course points along the meridian of the destination.
        for (int m = 1; m <= k; ++m) {
            const double t = static_cast<double>(m) / (k + 1);
            out[m - 1] = {b.x, a.y + (b.y - a.y) * t};
        }
        return;
    }
    double c;
    if (std::fabs(denom) < 1e-12) {
        // Antipodal points: every great circle joins them; take the one heading north.
        c = 0;
    } else {
        c = std::acos(Clamp1((std::sin(phi2) - std::sin(phi1) * std::cos(d)) / denom));
        if (std::sin(lam2 - lam1) > 0) c = 2 * M_PI - c;
    }
    for (int m = 1; m <= k; ++m) {
        const double delta = d * m / (k + 1);
        const double phi = std::asin(Clamp1(std::sin(phi1) * std::cos(delta) + std::cos(phi1) * std::sin(delta) * std::cos(c)));
        const double dlam = std::atan2(std::sin(c) * std::sin(delta) * std::cos(phi1),
                                       std::cos(delta) - std::sin(phi1) * std::sin(phi));
        double lam = std::fmod(lam1 - dlam + M_PI, 2 * M_PI);
        if (lam < 0) lam += 2 * M_PI;
        lam -= M_PI;
        out[m - 1] = {lam / r, phi / r};
    }
}

}  // namespace

void TGISWrite::DensifyGreatCircle(TFloatPointArrayEx& SegList) {
    if (GreatCircleDist <= 0 || SegList.Count < 2) return;
    const int32_t n = SegList.Count;
    std::vector<int32_t> k(static_cast<size_t>(n - 1));
    int64_t total = 0;
    for (int32_t i = 0; i + 1 < n; ++i) {
        const double steps = GreatCircleAngle(SegList.Pnt[i], SegList.Pnt[i + 1]) * kEarthRadiusKm / GreatCircleDist;
        k[i] = std::isfinite(steps) && steps > 0 ? static_cast<int32_t>(std::min(steps, 1e7)) : 0;
        total += k[i];
    }
    if (total <= 0) return;
    const auto new_count = static_cast<int32_t>(n + total);
    if (static_cast<int32_t>(SegList.Pnt.size()) < new_count) SegList.Pnt.resize(new_count);
    // Work from the last segment back so that every source point is read before it moves.
    int64_t before = total;  // inserted points in segments 0..i
    for (int32_t i = n - 2; i >= 0; --i) {
        const TFloatPoint a = SegList.Pnt[i];
        const TFloatPoint b = SegList.Pnt[i + 1];
        SegList.Pnt[i + 1 + before] = b;
        before -= k[i];
        if (k[i] > 0) GreatCirclePoints(a, b, k[i], &SegList.Pnt[i + before + 1]);
    }
    SegList.Count = new_count;
}

}  // namespace itn
