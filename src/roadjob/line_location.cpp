#include "roadjob/line_location.h"

#include <charconv>
#include <cmath>
#include <string>

#include "gis/gis_functions.h"
#include "input/xml_errors.h"

namespace itn {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

double ParseDecimal(std::string_view Text) {
    size_t b = 0, e = Text.size();
    while (b < e && IsBlank(Text[b])) ++b;
    while (e > b && IsBlank(Text[e - 1])) --e;
    if (b < e && Text[b] == '+') ++b;
    double value = 0;
    const auto result = std::from_chars(Text.data() + b, Text.data() + e, value, std::chars_format::general);
    return result.ec == std::errc() ? value : 0;
}

TFloatPoint ParseCoordPair(std::string_view Text) {
    const size_t comma = Text.find(',');
    if (comma == std::string_view::npos) return TFloatPoint{0, ParseDecimal(Text)};
    std::string_view y = Text.substr(comma + 1);
    // A third value (a height) after another comma is not part of y.
    const size_t second = y.find(',');
    if (second != std::string_view::npos) y = y.substr(0, second);
    return TFloatPoint{ParseDecimal(Text.substr(0, comma)), ParseDecimal(y)};
}

void ParseCoordinates(std::string_view Text, TFloatPointArrayEx& Points) {
    int32_t count = 0;
    size_t i = 0;
    const size_t n = Text.size();
    while (true) {
        while (i < n && IsBlank(Text[i])) ++i;
        if (i >= n) break;
        const size_t start = i;
        while (i < n && !IsBlank(Text[i])) ++i;
        if (static_cast<size_t>(count) >= Points.Pnt.size()) Points.Pnt.resize(Points.Pnt.size() * 2 + 16);
        Points.Pnt[count++] = ParseCoordPair(Text.substr(start, i - start));
    }
    Points.Count = count;
}

void CheckCoordinates(std::string_view Text, std::string_view Fid) {
    const std::string_view value = UnusableCoordinate(Text);
    if (!value.empty()) {
        throw EXmlConvertError("'" + std::string(value) + "' is not a finite coordinate in feature " + std::string(Fid));
    }
}

int32_t ScanCoordinateEnds(std::string_view Text, TFloatPoint& First, TFloatPoint& Last) {
    int32_t count = 0;
    size_t i = 0, lastStart = 0, lastEnd = 0;
    const size_t n = Text.size();
    while (true) {
        while (i < n && IsBlank(Text[i])) ++i;
        if (i >= n) break;
        const size_t start = i;
        while (i < n && !IsBlank(Text[i])) ++i;
        if (count == 0) First = ParseCoordPair(Text.substr(start, i - start));
        lastStart = start;
        lastEnd = i;
        ++count;
    }
    if (count > 0) Last = ParseCoordPair(Text.substr(lastStart, lastEnd - lastStart));
    return count;
}

TPointOnLine LocatePointOnLine(const TFloatPoint& X, const TFloatPoint* P, int32_t L) {
    TPointOnLine result;
    double best = 1e38, total = 0, along = 0;
    for (int32_t i = 1; i < L; ++i) {
        const TFloatPoint& A = P[i - 1];
        const TFloatPoint& B = P[i];
        const double a2 = (A.x - X.x) * (A.x - X.x) + (A.y - X.y) * (A.y - X.y);
        const double s2 = (A.x - B.x) * (A.x - B.x) + (A.y - B.y) * (A.y - B.y);
        const double len = std::sqrt(s2);
        const double cross = (A.y - B.y) * X.x + (B.x - A.x) * X.y + (A.x * B.y - B.x * A.y);
        double d, t;
        if (s2 == 0 || a2 == 0) {
            d = std::sqrt(a2);
            t = 0;
        } else {
            const double b2 = (B.x - X.x) * (B.x - X.x) + (B.y - X.y) * (B.y - X.y);
            if (b2 == 0) {
                d = 0;
                t = len;
            } else if (b2 > s2 + a2) {
                d = std::sqrt(a2);
                t = 0;
            } else if (a2 > s2 + b2) {
                d = std::sqrt(b2);
                t = len;
            } else {
                d = std::fabs(cross) / len;
                t = len * ((X.x - A.x) * (B.x - A.x) + (X.y - A.y) * (B.y - A.y)) / s2;
            }
        }
        if (d < best) {
            best = d;
            along = total + t;
            result.pntindex = i;
        }
        total += len;
    }
    result.percent = total == 0 ? 0 : along / total;
    return result;
}

}  // namespace itn
