#include "menus/DataLogFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace DataLogFiles {

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string joined(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

// lstat: a link is never followed, so a link named like a log is not "a regular file".
bool isRegularFile(const std::string& path, struct stat* info) {
    return ::lstat(path.c_str(), info) == 0 && S_ISREG(info->st_mode);
}

}  // namespace

bool isManagedName(const std::string& name) {
    if (name.size() <= 10 || name.rfind("Tarno_", 0) != 0)
        return false;
    if (name.find('/') != std::string::npos)
        return false;
    return endsWith(name, ".csv") || endsWith(name, ".png") || endsWith(name, ".json");
}

bool isExportName(const std::string& name) {
    for (const char* prefix : {"Tarno_SSID_", "Tarno_Utilization_", "Tarno_Peaks_"}) {
        if (name.rfind(prefix, 0) == 0)
            return isManagedName(name);
    }
    return false;
}

bool isLogName(const std::string& name) {
    return isManagedName(name) && endsWith(name, ".csv") && !isExportName(name);
}

std::vector<std::string> list(const std::string& directory) {
    std::vector<std::pair<std::string, struct timespec>> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        struct stat info {};
        if (isManagedName(name) && isRegularFile(joined(directory, name), &info))
            found.emplace_back(name, info.st_mtim);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.second.tv_sec != b.second.tv_sec)
            return a.second.tv_sec > b.second.tv_sec;
        if (a.second.tv_nsec != b.second.tv_nsec)
            return a.second.tv_nsec > b.second.tv_nsec;
        return a.first > b.first;
    });
    std::vector<std::string> names;
    names.reserve(found.size());
    for (auto& entry : found)
        names.push_back(std::move(entry.first));
    return names;
}

DeleteResult remove(const std::string& directory, const std::string& name, bool logIsOpen) {
    struct stat info {};
    // Checked again just before: the name must still be a listed kind of regular file.
    if (!isManagedName(name) || !isRegularFile(joined(directory, name), &info))
        return DeleteResult::kNotListed;
    if (logIsOpen && isLogName(name))
        return DeleteResult::kInUse;
    return std::remove(joined(directory, name).c_str()) == 0 ? DeleteResult::kDeleted
                                                             : DeleteResult::kFailed;
}

}  // namespace DataLogFiles
