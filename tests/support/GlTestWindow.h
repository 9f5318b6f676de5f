#pragma once

#include <string>
#include <vector>

namespace gltest {

// How a test program's window is made. Contexts are slow to make on llvmpipe, so a program
// makes one, before its first test, and every test shares it.
struct WindowSetup {
    std::string title;
    int width = 0;
    int height = 0;
    // Resource root and search paths for shaders, fonts and images; empty: the engine's own.
    std::string resourceRoot;
    std::vector<std::string> searchPaths;
    // Points XDG_DATA_HOME at a scratch directory so the tests never touch the user's store.
    bool privateDataHome = false;
};

// Registers the window with the test framework; call from a static initialiser. Without an X
// server SDL's offscreen driver gives an EGL context.
bool installWindow(const WindowSetup& setup);

// A directory for the files a test program writes, with a trailing slash; removed at exit.
std::string scratchDirectory();

}  // namespace gltest
