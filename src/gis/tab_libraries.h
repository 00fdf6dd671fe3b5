// Run-time bindings of the two optional TAB libraries: the TAB module (mitab_c_* entry
// points over GDAL) and MapInfo's File Access Library. Each has a status: -1 not loaded yet,
// -2 library not found, -3 version entry missing, -4 wrong version or refused start-up, 0 ready.
#pragma once

#include <cstdint>
#include <string>

#include "gis/mfal_types.h"
#include "gis/mitab_api.h"

namespace itn {

constexpr const char* kTabModuleName = "libitn2brinlow-tab.so";
constexpr const char* kMfalLibraryName = "libmimfal1500.so";

struct TMitabEntries {
    mitab_c_getlibversion_t getlibversion = nullptr;
    mitab_c_create_t create = nullptr;
    mitab_c_set_charset_t set_charset = nullptr;
    mitab_c_add_field_t add_field = nullptr;
    mitab_c_create_feature_t create_feature = nullptr;
    mitab_c_set_field_t set_field = nullptr;
    mitab_c_set_pen_t set_pen = nullptr;
    mitab_c_set_brush_t set_brush = nullptr;
    mitab_c_set_points_t set_points = nullptr;
    mitab_c_set_symbol_t set_symbol = nullptr;
    mitab_c_write_feature_t write_feature = nullptr;
    mitab_c_destroy_feature_t destroy_feature = nullptr;
    mitab_c_close_t close = nullptr;
    mitab_c_getlasterrormsg_t getlasterrormsg = nullptr;  // optional
};

// Loads the TAB module once from its usual places: $ITN2BRINLOW_TAB_MODULE when set, else
// next to the program, <program>/../lib*/itn2brinlow, the installed module folder, the build
// tree, the library path.
int32_t LoadMitab();
// Loads the TAB module from one path (replacing an earlier binding); returns the status.
int32_t LoadMitabFrom(const std::string& path);
int32_t MitabStatus();
// Why the last load did not reach status 0 (empty when it did).
const std::string& MitabLoadError();
// The entry points; only valid while the status is 0.
const TMitabEntries& Mitab();

// MapInfo's File Access Library, looked up by name on the library search path. Its entries
// are the symbols mimfal_initialise, mimfal_coordsys, mimfal_create_table,
// mimfal_write_object and mimfal_close_table.
int32_t LoadMfal();
int32_t MfalStatus();
const TMfalEntries& Mfal();
// Puts an entry table in place of the library (tests); status 0, or -4 when it refuses to start.
int32_t UseMfalEntries(const TMfalEntries& entries);

}  // namespace itn
