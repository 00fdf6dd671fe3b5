// Coordinate texts of GML and the position of a point along a polyline.
#pragma once

#include <cstdint>
#include <string_view>

#include "gis/geometry_types.h"

namespace itn {

// A decimal number with "." as decimal point, blanks around it ignored; 0 when the text is
// not a number.
double ParseDecimal(std::string_view Text);

// "x,y": the parts before and after the first comma.
TFloatPoint ParseCoordPair(std::string_view Text);

// Tuples separated by runs of blanks, each "x,y". Points.Count becomes the number of tuples;
// the point array grows when needed and never shrinks.
void ParseCoordinates(std::string_view Text, TFloatPointArrayEx& Points);

// Raises EXmlConvertError naming the value and the feature Fid when a value of a coordinate
// text is not a finite number of a size a grid can have (nan, inf, 1e308).
void CheckCoordinates(std::string_view Text, std::string_view Fid);

// The number of tuples of a coordinate text, and its first and last point (left unchanged when
// there are none), without parsing the others.
int32_t ScanCoordinateEnds(std::string_view Text, TFloatPoint& First, TFloatPoint& Last);

struct TPointOnLine {
    double percent = 0;    // along / total length, 0 for a line of length 0
    int32_t pntindex = 0;  // end vertex of the nearest segment (first one on a tie)
};

TPointOnLine LocatePointOnLine(const TFloatPoint& X, const TFloatPoint* P, int32_t L);

}  // namespace itn
