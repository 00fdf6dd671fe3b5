#include "urban/coords_to_points.h"

#include <charconv>
#include <cmath>

namespace itn {

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// A decimal number ("." as decimal point, optional sign and exponent), or 0 for anything else.
double NumberOrZero(std::string_view Text) {
    if (Text.size() > 1 && Text[0] == '+' && Text[1] != '-') Text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (ec != std::errc() || end != Text.data() + Text.size() || !std::isfinite(value)) return 0;
    return value;
}

}  // namespace

void CoordsToPoints(std::string_view Text, TFloatPointArrayEx& SegList) {
    int32_t count = 0;
    for (size_t i = 0; i < Text.size();) {
        if (IsSeparator(Text[i])) {
            ++i;
            continue;
        }
        ++count;
        while (i < Text.size() && !IsSeparator(Text[i])) ++i;
    }
    SegList.Pnt.resize(count);
    SegList.Count = count;

    int32_t k = 0;
    for (size_t i = 0; i < Text.size();) {
        if (IsSeparator(Text[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < Text.size() && !IsSeparator(Text[i])) ++i;
        const std::string_view pair = Text.substr(start, i - start);
        const size_t comma = pair.find(',');
        TFloatPoint& p = SegList.Pnt[k++];
        if (comma == std::string_view::npos) {
            p.x = 0;
            p.y = NumberOrZero(pair);
        } else {
            p.x = NumberOrZero(pair.substr(0, comma));
            p.y = NumberOrZero(pair.substr(comma + 1));
        }
    }
}

}  // namespace itn
