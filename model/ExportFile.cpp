#include "model/ExportFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        const std::string name =
            stemText + (suffix == 1 ? "" : "_" + std::to_string(suffix)) + extension;
        const std::string path = directory + name;
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;  // taken (a file, or a link we must not follow): the next name
            result.error = "cannot create " + path + ": " + std::strerror(errno);
            return result;
        }
        bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
        const int writeError = errno;
        ok = ::close(fd) == 0 && ok;
        if (!ok) {
            // Ours, made a moment ago: a half-written export is worse than none.
            ::unlink(path.c_str());
            result.error = "cannot write " + path + ": " + std::strerror(writeError);
            return result;
        }
        result.written = true;
        result.path = path;
        return result;
    }
    result.error = "no free name for " + directory + stemText + extension;
    return result;
}
