// A stand-in for the TAB module that records every call, so tests can check what the TAB
// writer passes. Built three ways: a working one, one with another version, one without
// a version entry.
#include <cstdio>
#include <string>

#include "gis/mitab_api.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string g_log;
int g_handles = 0;

void Log(const std::string& line) { g_log += line + "\n"; }

std::string Num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}
}  // namespace

FAKE_EXPORT const char* fake_mitab_log() { return g_log.c_str(); }
FAKE_EXPORT void fake_mitab_reset() { g_log.clear(); }

#ifndef FAKE_MITAB_NOVERSION
FAKE_EXPORT int mitab_c_getlibversion(void) {
#ifdef FAKE_MITAB_OLDVERSION
    return 1006000;
#else
    return ITN_MITAB_EXPECTED_VERSION;
#endif
}
#endif

FAKE_EXPORT mitab_handle mitab_c_create(const char* filename, const char* kind, const char* projection, double north,
                                        double south, double east, double west) {
    Log(std::string("create|") + filename + "|" + kind + "|" + projection + "|" + Num(north) + "|" + Num(south) + "|" +
        Num(east) + "|" + Num(west));
    if (std::string(filename).find("refused") != std::string::npos) return nullptr;
    return reinterpret_cast<mitab_handle>(static_cast<intptr_t>(++g_handles));
}
FAKE_EXPORT const char* mitab_c_getlasterrormsg(void) { return "fake refusal"; }
FAKE_EXPORT void mitab_c_set_charset(mitab_handle, const char* charset) { Log(std::string("charset|") + charset); }
FAKE_EXPORT int mitab_c_add_field(mitab_handle, const char* name, int type, int width, int precision, int indexed,
                                  int unique) {
    Log(std::string("field|") + name + "|" + std::to_string(type) + "|" + std::to_string(width) + "|" +
        std::to_string(precision) + "|" + std::to_string(indexed) + "|" + std::to_string(unique));
    return 0;
}
FAKE_EXPORT mitab_feature mitab_c_create_feature(mitab_handle, int type) {
    Log("feature|" + std::to_string(type));
    return reinterpret_cast<mitab_feature>(static_cast<intptr_t>(1000 + ++g_handles));
}
FAKE_EXPORT void mitab_c_set_field(mitab_feature, int index, const char* value) {
    Log("set_field|" + std::to_string(index) + "|" + value);
}
FAKE_EXPORT void mitab_c_set_pen(mitab_feature, int width, int pattern, int color) {
    Log("pen|" + std::to_string(width) + "|" + std::to_string(pattern) + "|" + std::to_string(color));
}
FAKE_EXPORT void mitab_c_set_brush(mitab_feature, int fg, int bg, int pattern, int transparent) {
    Log("brush|" + std::to_string(fg) + "|" + std::to_string(bg) + "|" + std::to_string(pattern) + "|" +
        std::to_string(transparent));
}
FAKE_EXPORT void mitab_c_set_points(mitab_feature, int part, int count, double* x, double* y) {
    std::string line = "points|" + std::to_string(part) + "|" + std::to_string(count);
    for (int i = 0; i < count; ++i) line += "|" + Num(x[i]) + " " + Num(y[i]);
    Log(line);
}
FAKE_EXPORT void mitab_c_set_symbol(mitab_feature, int shape, int size, int color) {
    Log("symbol|" + std::to_string(shape) + "|" + std::to_string(size) + "|" + std::to_string(color));
}
FAKE_EXPORT int mitab_c_write_feature(mitab_handle, mitab_feature) {
    Log("write");
    return 1;
}
FAKE_EXPORT void mitab_c_destroy_feature(mitab_feature) { Log("destroy"); }
FAKE_EXPORT void mitab_c_close(mitab_handle) { Log("close"); }
