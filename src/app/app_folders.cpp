#include "app/app_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/app_errors.h"
#include "app/app_info.h"

namespace itn {

namespace fs = std::filesystem;

namespace {

std::string WithSeparator(std::string Folder) {
    if (!Folder.empty() && Folder.back() != '/') Folder += '/';
    return Folder;
}

std::string Environment(const char* Name) {
    const char* value = std::getenv(Name);
    return value ? std::string(value) : std::string();
}

}  // namespace

std::string ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return std::string();
    return WithSeparator(exe.parent_path().string());
}

std::string SettingsFolderPath() {
    const std::string forced = Environment("ITN2BRINLOW_SETTINGS_DIR");
    if (!forced.empty()) return WithSeparator(forced);
    std::string base = Environment("XDG_CONFIG_HOME");
    if (base.empty() || base.front() != '/') {  // a relative value is to be ignored
        const std::string home = Environment("HOME");
        base = (home.empty() ? std::string("/tmp") : home) + "/.config";
    }
    return WithSeparator(base) + kProductKey + "/";
}

void ForceFolder(const std::string& Folder) {
    std::error_code ec;
    if (fs::is_directory(Folder, ec)) return;
    fs::create_directories(Folder, ec);
    if (ec || !fs::is_directory(Folder)) {
        const std::string reason = ec ? ec.message() : std::string("a file of that name exists");
        throw EInOutError("Unable to create folder \"" + Folder + "\": " + reason);
    }
}

std::string HelpDocumentPath(const std::string& ProgramFolder) {
    std::vector<std::string> candidates;
    if (!ProgramFolder.empty()) {
        candidates.push_back(ProgramFolder + kHelpFileName);
        candidates.push_back(ProgramFolder + "../share/doc/itn2brinlow/manual.html");
    }
#ifdef ITN_MANUAL_INSTALL_PATH
    candidates.push_back(ITN_MANUAL_INSTALL_PATH);
#endif
#ifdef ITN_MANUAL_SOURCE_PATH
    candidates.push_back(ITN_MANUAL_SOURCE_PATH);
#endif
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        if (!fs::is_regular_file(candidate, ec)) continue;
        const fs::path tidy = fs::weakly_canonical(candidate, ec);
        return ec ? candidate : tidy.string();
    }
    return std::string();
}

}  // namespace itn
