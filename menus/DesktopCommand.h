#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Starts a desktop helper (xdg-email, xdg-open) without a shell: the arguments reach it as they
// are, whatever a file name holds. The caller polls for its end so the window never waits.
namespace DesktopCommand {

// The child's pid, or -1 when it could not be started (not installed, no resources).
pid_t start(const std::vector<std::string>& argv);

// -1 while it runs; its exit status once it ended (reaped); 127 for a lost or killed child.
int poll(pid_t pid);

// Blocks until the child has ended, without reaping it, so the next poll reports its status.
// For whoever must know the helper is done before going on (tests, an orderly exit), instead
// of guessing how long it takes. False when there is no such child.
bool awaitExit(pid_t pid);

}  // namespace DesktopCommand
