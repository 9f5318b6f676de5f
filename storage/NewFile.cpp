#include "storage/NewFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Enough for every screenshot of one second; beyond it something is wrong with the directory.
constexpr int kLastSuffix = 9999;

int createExclusively(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

std::string NewFile::failure() const {
    return path + ": " + std::strerror(error);
}

std::FILE* NewFile::releaseAsStream(const char* mode) {
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, mode);
    if (stream == nullptr) {
        error = errno;
        ::close(fd);
    }
    fd = -1;
    return stream;
}

NewFile createNewFile(const std::string& directory, const std::string& stem,
                      const std::string& extension, bool numbered) {
    NewFile file;
    file.path = directory + stem + extension;
    file.fd = createExclusively(file.path);
    int error = file.fd < 0 ? errno : 0;
    for (int suffix = 2; numbered && error == EEXIST && suffix <= kLastSuffix; ++suffix) {
        file.path = directory + stem + "_" + std::to_string(suffix) + extension;
        file.fd = createExclusively(file.path);
        error = file.fd < 0 ? errno : 0;
    }
    file.error = error;
    return file;
}

NewFile createNewFile(const std::string& path, bool numbered) {
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) {
        dot = path.size();
    }
    return createNewFile(path.substr(0, nameStart), path.substr(nameStart, dot - nameStart),
                         path.substr(dot), numbered);
}
