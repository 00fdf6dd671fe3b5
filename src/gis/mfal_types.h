// Records and entry points of MapInfo's File Access Library, as the MFAL writer uses them.
#pragma once

#include <cstdint>

namespace itn {

struct MI_ATTRDEF {
    char name[32];
    uint8_t fieldtype;
    uint8_t width;
    uint8_t decPlaces;
    uint8_t filler1;
    int16_t bIndexed;
};

struct DPNT {
    double x;
    double y;
};

struct MI_CPEN {
    int16_t width;
    int32_t pat;
    int32_t style;
    int32_t color;
};

struct MI_LINE {
    DPNT lbeg;
    DPNT lend;
    MI_CPEN pen;
};

struct MI_PLINE {
    int32_t points;
    int32_t bSmooth;
    MI_CPEN pen;
    DPNT* data;
};

struct MI_POLY {
    int32_t points;
    int32_t noOfHOles;
    DPNT* pPnts;
};

struct MI_MULTIPLINE {
    int32_t plines;
    int32_t bSmooth;
    MI_CPEN pen;
    DPNT centroid;
    MI_POLY* data;
};

struct MI_SYMBOL {
    int16_t code;
    int32_t color;
    int16_t pointsize;
};

struct MI_POINT {
    DPNT pnt;
    MI_SYMBOL symbol;
};

struct MI_XBRUSH {
    int32_t pat;
    int32_t forecolor;
    int32_t backcolor;
    uint8_t transparent;
};

struct MI_REGION {
    int32_t regions;
    MI_CPEN pen;
    MI_XBRUSH brush;
    DPNT centroid;
    MI_POLY* data;
};

struct MI_OBJ {
    uint8_t objtype;
    bool hasNoOfHolesSet;
    union {
        MI_LINE line;
        MI_PLINE pline;
        MI_MULTIPLINE multipline;
        MI_POINT point;
        MI_REGION region;
    };
};

// Object type codes.
enum : uint8_t { MI_NOGEOM = 200, MI_POINT_OBJ = 201, MI_LINE_OBJ = 202, MI_PLINE_OBJ = 204, MI_REGION_OBJ = 205,
                 MI_MULTIPLINE_OBJ = 210 };

// Projection record filled by the coordinate system translation; opaque to the writer.
struct MI_PROJECTION {
    unsigned char data[512];
};

using mfal_table = void*;

// The five entries, by their ordinals in the Windows library.
struct TMfalEntries {
    int16_t (*initialise)(int32_t version) = nullptr;                                          // 133
    void (*coordsys)(const char* coordsys, MI_PROJECTION* projection) = nullptr;               // 150
    mfal_table (*create_table)(const char* tab_name, MI_ATTRDEF* fields, int32_t count,
                               MI_PROJECTION* projection, int32_t mode) = nullptr;             // 106
    void (*write_object)(mfal_table table, const char* attributes, MI_OBJ* object,
                         int32_t* result) = nullptr;                                            // 134
    void (*close_table)(mfal_table table) = nullptr;                                           // 102
};

}  // namespace itn
