#include "tools/tarno-cli/CliArguments.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

int openInputFile(const char* command, const char* path) {
    // Non-blocking only for the open itself: a FIFO without a writer would hang it.
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        std::fprintf(stderr, "tarno-cli %s: cannot read %s: %s\n", command, path,
                     std::strerror(errno));
        return -1;
    }
    struct stat info {};
    const char* refusal = nullptr;
    if (::fstat(fd, &info) != 0) {
        refusal = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        refusal = "a directory, not a file";
    } else if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        refusal = "a pipe or socket, not a file";
    } else if (!S_ISREG(info.st_mode)) {
        refusal = "a device, not a file";
    }
    if (refusal == nullptr && ::fcntl(fd, F_SETFL, 0) != 0) {
        refusal = std::strerror(errno);
    }
    if (refusal != nullptr) {
        std::fprintf(stderr, "tarno-cli %s: cannot read %s: %s\n", command, path, refusal);
        ::close(fd);
        return -1;
    }
    return fd;
}
