// Geometry types shared by the writers and the converters.
#pragma once

#include <cstdint>
#include <vector>

namespace itn {

// Geometry kind of a whole output file.
enum TObjectTypes : uint8_t { otPline = 0, otRegion = 1, otPoint = 2, otNone = 3 };

struct TFloatPoint {
    double x = 0;
    double y = 0;

    friend bool operator==(const TFloatPoint& a, const TFloatPoint& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const TFloatPoint& a, const TFloatPoint& b) { return a.x != b.x || a.y != b.y; }
};

using TFloatPointArray = std::vector<TFloatPoint>;

// One section of a feature's geometry: the first Count points of Pnt (Pnt may be longer).
struct TFloatPointArrayEx {
    TFloatPointArray Pnt;
    int32_t Count = 0;
};

using TFloatPointArrayExArray = std::vector<TFloatPointArrayEx>;

// A point run with levels and sides; the writers read only Pnt[0..Last].
struct TFloatPointArrayEx2 {
    TFloatPointArray Pnt;
    int32_t Last = -1;
    double Z1 = 0;
    double Z2 = 0;
    uint8_t Side1 = 0;
    uint8_t Side2 = 0;
    int32_t Zi1 = 0;
    int32_t Zi2 = 0;
};

struct TFloatRect {
    double xmin = 0;
    double ymin = 0;
    double xmax = 0;
    double ymax = 0;
};

using TIntegerArray = std::vector<int32_t>;
using TDoubleArray = std::vector<double>;

}  // namespace itn
