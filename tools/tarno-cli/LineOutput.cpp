#include "tools/tarno-cli/LineOutput.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "storage/NewFile.h"

LineOutput::~LineOutput() {
    if (owned_ && fd_ >= 0) {
        ::close(fd_);
    }
}

void LineOutput::useStandardOutput() {
    std::signal(SIGPIPE, SIG_IGN);
    fd_ = STDOUT_FILENO;
    owned_ = false;
}

bool LineOutput::create(const std::string& path) {
    std::signal(SIGPIPE, SIG_IGN);
    NewFile file = createNewFile(path, false);
    if (!file.ok()) {
        error_ = file.failure();
        return false;
    }
    fd_ = file.fd;
    owned_ = true;
    return true;
}

LineOutput::Result LineOutput::writeLine(const std::string& line) {
    std::string text = line;
    text += '\n';
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EPIPE) {
                return Result::kClosed;
            }
            error_ = std::strerror(errno);
            return Result::kFailed;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return Result::kWritten;
}

bool LineOutput::open(const char* command, const std::string& path) {
    if (path.empty()) {
        useStandardOutput();
        return true;
    }
    if (create(path)) {
        return true;
    }
    std::fprintf(stderr, "tarno-cli %s: cannot create %s\n", command, error_.c_str());
    return false;
}
