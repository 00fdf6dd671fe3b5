#include "cli/wgs84_transform.h"

#include <proj.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "gis/gis_functions.h"

namespace itn {

namespace {

std::string PointText(const TFloatPoint& P) {
    return "(" + FloatToStrInv(P.x) + ", " + FloatToStrInv(P.y) + ")";
}

}  // namespace

struct TWgs84Transform::Impl {
    PJ_CONTEXT* Context = nullptr;
    PJ* Operation = nullptr;  // lon/lat axis order
    std::vector<PJ_COORD> Buffer;

    ~Impl() {
        if (Operation) proj_destroy(Operation);
        if (Context) proj_context_destroy(Context);
    }
};

TWgs84Transform::TWgs84Transform() : FImpl(std::make_unique<Impl>()) {
    // A context of our own: the writer may use the transform on its own thread.
    FImpl->Context = proj_context_create();
    if (!FImpl->Context) throw ETransformError("Cannot set up the transformation to WGS 84 (PROJ)");
    PJ* operation = proj_create_crs_to_crs(FImpl->Context, "EPSG:27700", "EPSG:4326", nullptr);
    if (!operation) {
        throw ETransformError(std::string("Cannot set up the transformation to WGS 84: ") +
                              proj_context_errno_string(FImpl->Context, proj_context_errno(FImpl->Context)));
    }
    // EPSG:4326 is latitude first; KML and GeoJSON want longitude first.
    FImpl->Operation = proj_normalize_for_visualization(FImpl->Context, operation);
    proj_destroy(operation);
    if (!FImpl->Operation) throw ETransformError("Cannot set up the transformation to WGS 84 (PROJ)");
}

TWgs84Transform::~TWgs84Transform() = default;

void TWgs84Transform::Transform(TFloatPoint* Points, size_t Count) {
    std::vector<PJ_COORD>& buffer = FImpl->Buffer;
    buffer.resize(Count);
    for (size_t i = 0; i < Count; ++i) buffer[i] = proj_coord(Points[i].x, Points[i].y, 0, 0);
    proj_errno_reset(FImpl->Operation);
    proj_trans_array(FImpl->Operation, PJ_FWD, Count, buffer.data());
    for (size_t i = 0; i < Count; ++i) {
        const double lon = buffer[i].xy.x, lat = buffer[i].xy.y;
        // PROJ marks a failed point with HUGE_VAL.
        if (!std::isfinite(lon) || !std::isfinite(lat) || std::fabs(lon) > 180 || std::fabs(lat) > 90)
            throw ETransformError("Cannot transform the coordinates " + PointText(Points[i]) + " to WGS 84");
        Points[i] = TFloatPoint{lon, lat};
    }
}

std::string TWgs84Transform::Description() {
    // PROJ names the operation it used once it has transformed a point; this one lies in
    // Great Britain near its middle.
    TFloatPoint probe{400000, 400000};
    Transform(&probe, 1);
    PJ* used = proj_trans_get_last_used_operation(FImpl->Operation);
    if (!used) return "unknown operation";
    std::string text = proj_pj_info(used).description ? proj_pj_info(used).description : "unknown operation";
    const double accuracy = proj_coordoperation_get_accuracy(FImpl->Context, used);
    proj_destroy(used);
    if (accuracy >= 0) {
        char metres[32];
        std::snprintf(metres, sizeof metres, "%g", accuracy);
        text += std::string(", accuracy ") + metres + " m";
    } else {
        text += ", accuracy unknown";
    }
    return text;
}

}  // namespace itn
