// The C interface of the TAB module (libitn2brinlow-tab.so), in the form of the MITAB
// library's "mitab_c_" functions. Shared by the module and the binding that loads it.
#pragma once

extern "C" {

typedef void* mitab_handle;
typedef void* mitab_feature;

// Version of the interface the writer expects (1.7.0).
#define ITN_MITAB_EXPECTED_VERSION 1007000

// Field types (mitab_c_add_field).
enum { TABFC_Char = 1, TABFC_Integer, TABFC_SmallInt, TABFC_Decimal, TABFC_Float, TABFC_Date, TABFC_Logical,
       TABFC_Time, TABFC_DateTime };
// Feature types (mitab_c_create_feature).
enum { TABFC_NoGeom = 0, TABFC_Point = 1, TABFC_Polyline = 5, TABFC_Region = 7 };

typedef int (*mitab_c_getlibversion_t)(void);
typedef mitab_handle (*mitab_c_create_t)(const char* filename, const char* mif_or_tab, const char* mif_projection,
                                         double north, double south, double east, double west);
typedef void (*mitab_c_set_charset_t)(mitab_handle dataset, const char* charset);
typedef int (*mitab_c_add_field_t)(mitab_handle dataset, const char* field_name, int field_type, int width,
                                   int precision, int indexed, int unique);
typedef mitab_feature (*mitab_c_create_feature_t)(mitab_handle dataset, int feature_type);
typedef void (*mitab_c_set_field_t)(mitab_feature feature, int field_index, const char* field_value);
typedef void (*mitab_c_set_pen_t)(mitab_feature feature, int width, int pattern, int color);
typedef void (*mitab_c_set_brush_t)(mitab_feature feature, int fg_color, int bg_color, int pattern,
                                    int transparent);
typedef void (*mitab_c_set_points_t)(mitab_feature feature, int part, int vertex_count, double* x, double* y);
typedef void (*mitab_c_set_symbol_t)(mitab_feature feature, int symbol_no, int symbol_size, int symbol_color);
typedef int (*mitab_c_write_feature_t)(mitab_handle dataset, mitab_feature feature);
typedef void (*mitab_c_destroy_feature_t)(mitab_feature feature);
typedef void (*mitab_c_close_t)(mitab_handle dataset);
typedef const char* (*mitab_c_getlasterrormsg_t)(void);

}  // extern "C"
