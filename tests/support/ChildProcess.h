#pragma once

// Runs a program as a user would, in a child process with resource limits, and reports its exit
// status, its output and the most memory it held. For command-line tests that must survive full
// disks and huge inputs without trusting the program to behave.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct ChildLimits {
    rlim_t fileSizeBytes = RLIM_INFINITY;  // RLIMIT_FSIZE; SIGXFSZ is ignored so writes fail
    rlim_t cpuSeconds = 120;               // a program that spins forever is killed, not awaited
    unsigned wallSeconds = 120;            // nor one that blocks forever (SIGALRM)
};

struct ChildResult {
    int exitCode = -1;  // -1 when killed by a signal
    int signal = 0;
    long maxRssKb = 0;  // peak resident memory of the child
    std::string out;
    std::string err;
};

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline ChildResult runChild(const std::vector<std::string>& argv, const ChildLimits& limits = {}) {
    ChildResult result;
    char outPattern[] = "/tmp/tarno-child-out-XXXXXX";
    char errPattern[] = "/tmp/tarno-child-err-XXXXXX";
    int outFd = mkstemp(outPattern);
    int errFd = mkstemp(errPattern);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        signal(SIGXFSZ, SIG_IGN);  // kept across exec
        rlimit fsize{limits.fileSizeBytes, limits.fileSizeBytes};
        setrlimit(RLIMIT_FSIZE, &fsize);
        rlimit cpu{limits.cpuSeconds, limits.cpuSeconds};
        setrlimit(RLIMIT_CPU, &cpu);
        alarm(limits.wallSeconds);  // pending alarms survive exec
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        result.maxRssKb = usage.ru_maxrss;
        if (WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.signal = WTERMSIG(status);
        }
    }
    close(outFd);
    close(errFd);
    result.out = readWholeFile(outPattern);
    result.err = readWholeFile(errPattern);
    unlink(outPattern);
    unlink(errPattern);
    return result;
}
