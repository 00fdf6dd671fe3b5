#include "gis/array_writer.h"
#include "gis/csv_writer.h"
#include "gis/dbf_writer.h"
#include "gis/geojson_writer.h"
#include "gis/gis_writer.h"
#include "gis/gml2_writer.h"
#include "gis/kml_writer.h"
#include "gis/mfal_writer.h"
#include "gis/mif_writer.h"
#include "gis/mitab_writer.h"
#include "gis/shp_writer.h"
#include "gis/tab_libraries.h"

namespace itn {

bool TGISWrite::MITAB_supported() { return LoadMitab() == 0; }
bool TGISWrite::MFAL_supported() { return LoadMfal() == 0; }

// TAB routes fall back to MIF/MID when their library is missing.
std::unique_ptr<TGISWrite> TGISWrite::GetGISObject(TGISFormat Inp) {
    if (Inp == gfMITAB && MITAB_supported()) return std::make_unique<TGISWriteMITAB>();
    if (Inp == gfMFAL && MFAL_supported()) return std::make_unique<TGISWriteMFAL>();
    switch (Inp) {
        case gfGML2: return std::make_unique<TGISWriteGML2>();
        case gfKML2: return std::make_unique<TGISWriteKML2>();
        case gfArray: return std::make_unique<TGISWriteArray>();
        case gfSHP: return std::make_unique<TGISWriteSHP>();
        case gfCSV: return std::make_unique<TGISWriteCSV>();
        case gfDBF: return std::make_unique<TGISWriteDBF>();
        case gfGeoJSON: return std::make_unique<TGISWriteGeoJSON>();
        case gfMIF8: return std::make_unique<TGISWriteMIF8>();
        default: return std::make_unique<TGISWriteMIF>();
    }
}

}  // namespace itn
