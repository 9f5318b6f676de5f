#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "model/DiagnosticSink.h"

// Keeps every formatted line with its level.
class CapturingSink : public DiagnosticSink {
  public:
    void vlog(int level, const char* format, va_list args) override {
        char buffer[512];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        levels.push_back(level);
        lines.emplace_back(buffer);
    }

    std::vector<int> levels;
    std::vector<std::string> lines;
};
