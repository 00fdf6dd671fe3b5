#include <gtest/gtest.h>

#include "gis/array_writer.h"
#include "gis/csv_writer.h"
#include "gis/dbf_writer.h"
#include "gis/geojson_writer.h"
#include "gis/gml2_writer.h"
#include "gis/kml_writer.h"
#include "gis/shp_writer.h"

namespace itn {
namespace {

template <typename T>
bool Is(TGISFormat format) {
    auto w = TGISWrite::GetGISObject(format);
    return dynamic_cast<T*>(w.get()) != nullptr;
}

TEST(GetGISObject, ReturnsTheWriterOfEachFileFormat) {
    EXPECT_TRUE(Is<TGISWriteDBF>(gfDBF));
    EXPECT_FALSE(Is<TGISWriteSHP>(gfDBF));
    EXPECT_TRUE(Is<TGISWriteSHP>(gfSHP));
    EXPECT_TRUE(Is<TGISWriteGML2>(gfGML2));
    EXPECT_TRUE(Is<TGISWriteKML2>(gfKML2));
    EXPECT_TRUE(Is<TGISWriteGeoJSON>(gfGeoJSON));
    EXPECT_TRUE(Is<TGISWriteCSV>(gfCSV));
    EXPECT_TRUE(Is<TGISWriteArray>(gfArray));
    EXPECT_NE(TGISWrite::GetGISObject(gfArray)->GISarray, nullptr);
}

}  // namespace
}  // namespace itn
