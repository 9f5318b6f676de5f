#include "tools/tarno-cli/CliArguments.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

bool parseNumber(const char* text, long low, long high, long& out) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

std::string defaultResourceRoot() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return ".";
    }
    fs::path installed = exe.parent_path() / ".." / "share" / "tarno";
    if (fs::is_directory(installed, error)) {
        return installed.string();
    }
    return (exe.parent_path() / ".." / ".." / "Resources").string();
}
