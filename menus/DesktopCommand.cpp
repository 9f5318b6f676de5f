#include "menus/DesktopCommand.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace DesktopCommand {

pid_t start(const std::vector<std::string>& argv) {
    if (argv.empty())
        return -1;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return -1;
    return pid;
}

int poll(pid_t pid) {
    if (pid <= 0)
        return 127;
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == 0)
        return -1;
    if (done < 0 || !WIFEXITED(status))
        return 127;
    return WEXITSTATUS(status);
}

bool awaitExit(pid_t pid) {
    if (pid <= 0)
        return false;
    siginfo_t info{};
    int result = 0;
    do {
        result = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

}  // namespace DesktopCommand
