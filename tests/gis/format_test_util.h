// Small helpers shared by the format writer tests: sections and reading binary fields.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "gis/geometry_types.h"

namespace itn::test {

inline TFloatPointArrayEx Section(std::initializer_list<TFloatPoint> pts) {
    TFloatPointArrayEx s;
    s.Pnt.assign(pts);
    s.Count = static_cast<int32_t>(s.Pnt.size());
    return s;
}

inline uint32_t Le32(const std::string& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

inline uint16_t Le16(const std::string& b, size_t at) {
    uint16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

inline uint32_t Be32(const std::string& b, size_t at) { return __builtin_bswap32(Le32(b, at)); }

inline double LeDouble(const std::string& b, size_t at) {
    double v;
    std::memcpy(&v, b.data() + at, 8);
    return v;
}

inline size_t CountOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

}  // namespace itn::test
