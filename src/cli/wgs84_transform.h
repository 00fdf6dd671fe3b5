// British National Grid (EPSG:27700) to WGS 84 longitude/latitude (EPSG:4326) through PROJ,
// for the output formats defined in WGS 84 (KML, RFC 7946 GeoJSON).
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "gis/coordinate_transform.h"

namespace itn {

// PROJ's failure to set up or apply the transformation.
class ETransformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TWgs84Transform : public TCoordinateTransform {
public:
    // Raises ETransformError when PROJ cannot set up the transformation (no proj.db).
    TWgs84Transform();
    ~TWgs84Transform() override;
    TWgs84Transform(const TWgs84Transform&) = delete;
    TWgs84Transform& operator=(const TWgs84Transform&) = delete;

    int32_t TargetEpsg() const override { return 4326; }
    // Longitude in x, latitude in y. A point PROJ cannot transform raises ETransformError.
    void Transform(TFloatPoint* Points, size_t Count) override;

    // The operation PROJ chooses for a point in Great Britain and its accuracy, for example
    // "Inverse of British National Grid + OSGB36 to WGS 84 (6) + axis order change (2D),
    // accuracy 2 m". PROJ picks per point among the operations whose area holds it; the
    // OSTN15 grid, when installed, is preferred to the Helmert transformation.
    std::string Description();

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

}  // namespace itn
