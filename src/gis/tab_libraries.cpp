#include "gis/tab_libraries.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

namespace itn {

namespace {

std::mutex g_mitab_lock;
int32_t g_mitab_status = -1;
std::string g_mitab_error;
TMitabEntries g_mitab;

std::mutex g_mfal_lock;
int32_t g_mfal_status = -1;
TMfalEntries g_mfal;
constexpr int32_t kMfalVersion = 6510;

std::string ProgramFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

template <typename T>
bool Resolve(void* lib, const char* name, T& slot) {
    slot = reinterpret_cast<T>(dlsym(lib, name));
    return slot != nullptr;
}

// Binds the entry points of an opened library; sets the status and the error text.
int32_t Bind(void* lib, const std::string& where) {
    TMitabEntries e;
    if (!Resolve(lib, "mitab_c_getlibversion", e.getlibversion)) {
        g_mitab_error = where + ": no mitab_c_getlibversion entry";
        return -3;
    }
    const int version = e.getlibversion();
    if (version != ITN_MITAB_EXPECTED_VERSION) {
        g_mitab_error = where + ": version " + std::to_string(version) + " instead of " +
                        std::to_string(ITN_MITAB_EXPECTED_VERSION);
        return -4;
    }
    bool ok = Resolve(lib, "mitab_c_create", e.create) && Resolve(lib, "mitab_c_set_charset", e.set_charset) &&
              Resolve(lib, "mitab_c_add_field", e.add_field) &&
              Resolve(lib, "mitab_c_create_feature", e.create_feature) &&
              Resolve(lib, "mitab_c_set_field", e.set_field) && Resolve(lib, "mitab_c_set_pen", e.set_pen) &&
              Resolve(lib, "mitab_c_set_brush", e.set_brush) && Resolve(lib, "mitab_c_set_points", e.set_points) &&
              Resolve(lib, "mitab_c_set_symbol", e.set_symbol) &&
              Resolve(lib, "mitab_c_write_feature", e.write_feature) &&
              Resolve(lib, "mitab_c_destroy_feature", e.destroy_feature) && Resolve(lib, "mitab_c_close", e.close);
    if (!ok) {
        // A library missing an entry point must never be called.
        g_mitab_error = where + ": an entry point is missing";
        return -4;
    }
    Resolve(lib, "mitab_c_getlasterrormsg", e.getlasterrormsg);
    g_mitab = e;
    g_mitab_error.clear();
    return 0;
}

int32_t LoadFromLocked(const std::string& path) {
    // Libraries stay loaded until the program ends, so no dlclose.
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        const char* why = dlerror();
        g_mitab_error = why ? why : path + ": cannot be loaded";
        return g_mitab_status = -2;
    }
    return g_mitab_status = Bind(lib, path);
}

}  // namespace

int32_t LoadMitabFrom(const std::string& path) {
    std::lock_guard<std::mutex> guard(g_mitab_lock);
    g_mitab = TMitabEntries{};
    return LoadFromLocked(path);
}

int32_t LoadMitab() {
    std::lock_guard<std::mutex> guard(g_mitab_lock);
    if (g_mitab_status != -1) return g_mitab_status;
    if (const char* forced = std::getenv("ITN2BRINLOW_TAB_MODULE"); forced && *forced)
        return LoadFromLocked(forced);
    std::vector<std::string> candidates;
    const std::string program = ProgramFolder();
    if (!program.empty()) {
        candidates.push_back(program + "/" + kTabModuleName);
        // An installed tree moved to another prefix keeps the module beside its programs.
        for (const char* libdir : {"lib", "lib64", "lib/x86_64-linux-gnu", "lib/aarch64-linux-gnu"})
            candidates.push_back(program + "/../" + libdir + "/itn2brinlow/" + kTabModuleName);
    }
#ifdef ITN_TAB_MODULE_INSTALL_DIR
    candidates.push_back(std::string(ITN_TAB_MODULE_INSTALL_DIR) + "/" + kTabModuleName);
#endif
#ifdef ITN_TAB_MODULE_BUILD_DIR
    candidates.push_back(std::string(ITN_TAB_MODULE_BUILD_DIR) + "/" + kTabModuleName);
#endif
    for (const std::string& c : candidates) {
        std::error_code ec;
        if (std::filesystem::exists(c, ec)) return LoadFromLocked(c);
    }
    return LoadFromLocked(kTabModuleName);  // the library search path
}

int32_t MitabStatus() {
    std::lock_guard<std::mutex> guard(g_mitab_lock);
    return g_mitab_status;
}

const std::string& MitabLoadError() { return g_mitab_error; }

const TMitabEntries& Mitab() { return g_mitab; }

namespace {

int32_t UseMfalLocked(const TMfalEntries& e) {
    g_mfal = e;
    if (!e.initialise || e.initialise(kMfalVersion) == 0) return g_mfal_status = -4;
    if (!e.coordsys || !e.create_table || !e.write_object || !e.close_table) return g_mfal_status = -4;
    return g_mfal_status = 0;
}

}  // namespace

int32_t LoadMfal() {
    std::lock_guard<std::mutex> guard(g_mfal_lock);
    if (g_mfal_status != -1) return g_mfal_status;
    void* lib = dlopen(kMfalLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!lib) return g_mfal_status = -2;
    TMfalEntries e;
    Resolve(lib, "mimfal_initialise", e.initialise);
    Resolve(lib, "mimfal_coordsys", e.coordsys);
    Resolve(lib, "mimfal_create_table", e.create_table);
    Resolve(lib, "mimfal_write_object", e.write_object);
    Resolve(lib, "mimfal_close_table", e.close_table);
    return UseMfalLocked(e);
}

int32_t MfalStatus() {
    std::lock_guard<std::mutex> guard(g_mfal_lock);
    return g_mfal_status;
}

const TMfalEntries& Mfal() { return g_mfal; }

int32_t UseMfalEntries(const TMfalEntries& entries) {
    std::lock_guard<std::mutex> guard(g_mfal_lock);
    return UseMfalLocked(entries);
}

}  // namespace itn
