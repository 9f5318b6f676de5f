#pragma once

#include <ctime>
#include <functional>
#include <string>

// "Tarno_" + local date and time + extension, as the data logs are named. When that name is
// taken (two screenshots in one second) "_2", "_3", ... is added before the extension, so no
// picture overwrites another.
std::string captureFileName(const std::tm& local, const std::string& extension,
                            const std::function<bool(const std::string& name)>& taken);
