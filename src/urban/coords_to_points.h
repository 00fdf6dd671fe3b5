// The points of a GML coordinate text.
#pragma once

#include <string_view>

#include "gis/geometry_types.h"

namespace itn {

// Pairs "x,y" separated by runs of characters at or below the blank (space, tab, CR, LF).
// "." is the decimal point whatever the locale; a part that is not a number reads as 0, and a
// pair without comma gives x = 0 and y from the whole pair. SegList.Pnt is resized to the
// number of pairs and SegList.Count set to it.
void CoordsToPoints(std::string_view Text, TFloatPointArrayEx& SegList);

}  // namespace itn
