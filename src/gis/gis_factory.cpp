#include "gis/gis_writer.h"
#include "gis/mfal_writer.h"
#include "gis/mif_writer.h"
#include "gis/mitab_writer.h"
#include "gis/tab_libraries.h"

namespace itn {

bool TGISWrite::MITAB_supported() { return LoadMitab() == 0; }
bool TGISWrite::MFAL_supported() { return LoadMfal() == 0; }

// TAB routes fall back to MIF/MID when their library is missing.
std::unique_ptr<TGISWrite> TGISWrite::GetGISObject(TGISFormat Inp) {
    if (Inp == gfMITAB && MITAB_supported()) return std::make_unique<TGISWriteMITAB>();
    if (Inp == gfMFAL && MFAL_supported()) return std::make_unique<TGISWriteMFAL>();
    switch (Inp) {
        case gfMIF8: return std::make_unique<TGISWriteMIF8>();
        default: return std::make_unique<TGISWriteMIF>();
    }
}

}  // namespace itn
