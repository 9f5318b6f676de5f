#include "menus/CaptureFileName.h"

#include <cstdio>

std::string captureFileName(const std::tm& local, const std::string& extension,
                            const std::function<bool(const std::string& name)>& taken) {
    char stem[64];
    std::snprintf(stem, sizeof stem, "Tarno_%d%.2d%.2d_%.2d%.2d%.2d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    std::string name = stem + extension;
    for (int suffix = 2; taken && taken(name) && suffix < 10000; ++suffix)
        name = std::string(stem) + "_" + std::to_string(suffix) + extension;
    return name;
}
