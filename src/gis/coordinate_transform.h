// A change of coordinate system applied by a writer to every coordinate it writes. The
// writers know no coordinate systems; a front end that wants its output in another system
// than the input's gives the writer one of these.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gis/geometry_types.h"

namespace itn {

class TCoordinateTransform {
public:
    virtual ~TCoordinateTransform() = default;

    // EPSG code of the coordinates Transform gives (4326 for WGS 84 longitude/latitude).
    virtual int32_t TargetEpsg() const = 0;
    // Transforms Count points in place; raises when a point cannot be transformed. Called by
    // one thread at a time.
    virtual void Transform(TFloatPoint* Points, size_t Count) = 0;
};

}  // namespace itn
