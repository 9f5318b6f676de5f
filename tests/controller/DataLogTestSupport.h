// What the data-log tests share: a scratch folder and a logger wired to a clock.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "model/DataLogger.h"
#include "model/DiagnosticSink.h"
#include "model/PowerLogReader.h"
#include "tests/controller/ControllerTestSupport.h"

namespace datalogtest {

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/tarno-log-XXXXXX";
        path = mkdtemp(pattern);
        path += '/';
    }
    ~TempDir() {
        std::string command = "rm -rf '" + path + "'";
        [[maybe_unused]] int ignored = std::system(command.c_str());
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path + name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string path;
};

const std::string kName = "Tarno_20260304_050607.csv";
const std::string kStamp = "2026-03-04 05:06:07.000,";

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        out.push_back(line);
    }
    return out;
}

inline std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) {
        out.push_back(field);
    }
    return out;
}

// A model, a clock and a log step writing into a temporary directory.
struct LogRig {
    LogRig() : file(dir.path, &clock, fixedLocalTime), logger(file) {
        model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    }
    std::string text() const { return dir.read(kName); }

    TempDir dir;
    ManualClock clock{50000};
    SpectrumSettings model;
    DataLogFile file;
    DataLogger logger;
};

inline std::vector<float> ramp(size_t n, float start = -90.0f) {
    std::vector<float> v(n);
    for (size_t i = 0; i < n; ++i) {
        v[i] = start + 0.25f * static_cast<float>(i % 200);
    }
    return v;
}

}  // namespace datalogtest
