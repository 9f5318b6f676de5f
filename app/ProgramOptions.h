// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// tarno's command line. Unknown options and stray arguments are errors, so a mistyped option
// never opens the window as if nothing had been asked.
class ProgramOptions {
  public:
    enum class Action { Run, ShowHelp, ShowVersion, Fail };

    static ProgramOptions parse(int argc, const char* const* argv);

    // For --help: usage, options, files and environment (help2man makes tarno(1) of it).
    static std::string helpText();
    // For --version: the name, the project version and the licence.
    static std::string versionText();

    Action action = Action::Run;
    bool stats = false;             // frame counts and frame CPU on exit
    bool redrawEveryFrame = false;  // draw even when nothing changed, to compare
    bool wholeFrames = false;       // draw every drawn frame whole, to compare
    std::string brokerUrl;          // --broker URL: where the PUBLISH setting sends messages
    std::string openTable;          // --open-table ssid|utilization: shown from the start
    std::string error;              // why parsing failed, one line
};
