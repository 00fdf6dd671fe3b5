#include "gis/gis_writer.h"
#include "gis/mif_writer.h"

namespace itn {

bool TGISWrite::MITAB_supported() { return false; }
bool TGISWrite::MFAL_supported() { return false; }

std::unique_ptr<TGISWrite> TGISWrite::GetGISObject(TGISFormat Inp) {
    switch (Inp) {
        case gfMIF8: return std::make_unique<TGISWriteMIF8>();
        default: return std::make_unique<TGISWriteMIF>();
    }
}

}  // namespace itn
