#include "storage/WritableDirectory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string dataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* entry = getpwuid(getuid());
        home = entry != nullptr ? entry->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return std::string(home) + "/.local/share";
}

}  // namespace

std::string writableDirectory() {
    std::string base = dataHome();
    if (base.empty()) {
        std::fprintf(stderr, "Tarno: no home directory known; settings cannot be saved\n");
        return {};
    }
    std::filesystem::path dir = std::filesystem::path(base) / "Tarno";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir, error)) {
        std::fprintf(stderr, "Tarno: cannot create %s: %s\n", dir.c_str(),
                     error ? error.message().c_str() : "not a directory");
        return {};
    }
    return dir.string() + "/";
}
