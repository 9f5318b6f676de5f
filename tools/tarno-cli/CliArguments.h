#pragma once

#include <string>

// Argument helpers the tarno-cli commands share.

// A whole number in [low, high]; false for anything else (empty, trailing text, out of range).
bool parseNumber(const char* text, long low, long high, long& out);

// The resources next to the program: <exe>/../share/tarno when installed, else the build tree's
// Resources folder (build/<dir>/tools/tarno-cli/tarno-cli -> build/<dir>/Resources).
std::string defaultResourceRoot();

// Opens a file a command reads. Only regular files: a directory, a FIFO or a device such as
// /dev/zero would block, fail late or never end. On failure prints "tarno-cli COMMAND: PATH:
// reason" and returns -1; otherwise a descriptor in blocking mode, closed on exec.
int openInputFile(const char* command, const char* path);
