#include "storage/WritableDirectory.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

std::string dataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    std::string home = homeDirectory();
    return home.empty() ? home : home + "/.local/share";
}

}  // namespace

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    // The account's own entry (reentrant: the link's threads may ask too).
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (1u << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

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
