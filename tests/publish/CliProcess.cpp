#include "CliProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace CliProcess {

Result run(const std::string& command) {
    Result result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        result.out.append(chunk, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> split(const std::string& line, const std::string& separator) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        const size_t at = line.find(separator, start);
        out.push_back(line.substr(start, at - start));
        if (at == std::string::npos) {
            return out;
        }
        start = at + separator.size();
    }
}

Child::Child(const std::vector<std::string>& argv) {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    fd_ = fds[0];
}

Child::~Child() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool Child::readLine(std::string& line) {
    while (true) {
        const size_t newline = buffer_.find('\n');
        if (newline != std::string::npos) {
            line = buffer_.substr(0, newline);
            buffer_.erase(0, newline + 1);
            return true;
        }
        char chunk[4096];
        const ssize_t n = fd_ >= 0 ? read(fd_, chunk, sizeof chunk) : 0;
        if (n <= 0) {
            return false;
        }
        buffer_.append(chunk, static_cast<size_t>(n));
    }
}

void Child::signal(int number) {
    if (pid_ > 0) {
        kill(pid_, number);
    }
}

int Child::wait() {
    if (pid_ <= 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace CliProcess
