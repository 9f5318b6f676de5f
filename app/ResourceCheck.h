#pragma once

#include <string>
#include <vector>

#include "link/FileResourceReader.h"

// The resources Tarno cannot do without, looked up below the resource root the way the window
// and the demonstration look them up, so that an incomplete installation says what it lacks and
// where it looked instead of running blind.
class ResourceCheck {
  public:
    explicit ResourceCheck(std::string root);

    // The fonts and the waterfall shaders: without any of them the window cannot be drawn.
    std::vector<std::string> missingForDrawing() const;
    // The demonstration's recordings of every generation and signal: without them the
    // demonstration shows nothing.
    std::vector<std::string> missingRecordings() const;

    // What is missing and where it was looked for, for standard error; empty when nothing is.
    std::string drawingMessage(const std::vector<std::string>& missing) const;
    // The same for recordings in two lines (what, then where), short enough for the on-screen
    // log; none when nothing is missing.
    std::vector<std::string> recordingsReport(const std::vector<std::string>& missing) const;

    // The folders a name is looked for in, in order: "/usr/share/tarno/res/desktop/sd/, ...".
    std::string searchedFolders() const;

  private:
    std::vector<std::string> missing(const std::vector<std::string>& names) const;

    std::string root_;
    FileResourceReader reader_;
};
