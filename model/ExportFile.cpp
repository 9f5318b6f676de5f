#include "model/ExportFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/NewFile.h"

namespace {

// Writes everything, resuming after a signal or a short write; false with errno set otherwise.
bool writeAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string ExportFile::stem(const std::string& kind, const std::tm& local) {
    char time[40];
    std::snprintf(time, sizeof time, "%d%.2d%.2d_%.2d%.2d%.2d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return "Tarno_" + kind + "_" + time;
}

ExportFile::Result ExportFile::write(const std::string& directory, const std::string& stemText,
                                     const std::string& extension, const std::string& content) {
    Result result;
    // A taken name (a file, or a link we must not follow) moves on to "_2", "_3", ...
    NewFile created = createNewFile(directory, stemText, extension);
    if (!created.ok()) {
        result.error = "cannot create " + created.failure();
        return result;
    }
    bool ok = writeAll(created.fd, content) && ::fsync(created.fd) == 0;
    const int writeError = errno;
    ok = ::close(created.fd) == 0 && ok;
    if (!ok) {
        // Ours, made a moment ago: a half-written export is worse than none.
        ::unlink(created.path.c_str());
        result.error = "cannot write " + created.path + ": " + std::strerror(writeError);
        return result;
    }
    result.written = true;
    result.path = created.path;
    return result;
}
