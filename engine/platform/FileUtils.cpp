#include "engine/platform/FileUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "storage/WritableDirectory.h"

namespace engine {

namespace fs = std::filesystem;

static FileUtils* s_fileUtils = nullptr;

static std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

FileUtils* FileUtils::getInstance() {
    if (!s_fileUtils)
        s_fileUtils = new FileUtils();
    return s_fileUtils;
}

void FileUtils::destroyInstance() {
    delete s_fileUtils;
    s_fileUtils = nullptr;
}

FileUtils::FileUtils() : _searchPaths{""} {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    std::string exeName = ec ? std::string("engine") : exe.filename().string();
    _writableDirectoryName = exeName;
    if (!ec) {
        fs::path installed = exe.parent_path() / ".." / "share" / exeName;
        if (fs::is_directory(installed, ec)) {
            _resourceRoot = withSlash(fs::weakly_canonical(installed, ec).string());
        }
    }
#ifdef ENGINE_BUILD_RESOURCE_ROOT
    if (_resourceRoot.empty())
        _resourceRoot = withSlash(ENGINE_BUILD_RESOURCE_ROOT);
#endif
#ifdef ENGINE_SYSTEM_ROBOTO_DIR
    addFallbackDirectory("fonts/roboto/", ENGINE_SYSTEM_ROBOTO_DIR);
#endif
}

void FileUtils::addFallbackDirectory(const std::string& prefix, const std::string& directory) {
    _fallbacks.emplace_back(prefix, withSlash(directory));
    _fullPathCache.clear();
}

void FileUtils::setSearchPaths(const std::vector<std::string>& searchPaths) {
    _searchPaths = searchPaths;
    _fullPathCache.clear();
}

void FileUtils::addSearchPath(const std::string& path, bool front) {
    if (front) {
        _searchPaths.insert(_searchPaths.begin(), path);
    } else {
        _searchPaths.push_back(path);
    }
    _fullPathCache.clear();
}

void FileUtils::setDefaultResourceRootPath(const std::string& path) {
    _resourceRoot = withSlash(path);
    _fullPathCache.clear();
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    if (filename.empty())
        return "";
    std::error_code ec;
    if (isAbsolutePath(filename))
        return fs::is_regular_file(filename, ec) ? filename : "";
    auto cached = _fullPathCache.find(filename);
    if (cached != _fullPathCache.end()) {
        if (fs::is_regular_file(cached->second, ec))
            return cached->second;
        _fullPathCache.erase(cached);
    }
    for (const std::string& searchPath : _searchPaths) {
        std::string base = isAbsolutePath(searchPath) ? withSlash(searchPath)
                                                      : _resourceRoot + withSlash(searchPath);
        std::string candidate = base + filename;
        if (fs::is_regular_file(candidate, ec)) {
            // Misses are not cached: files such as generated packets may appear later.
            _fullPathCache.emplace(filename, candidate);
            return candidate;
        }
    }
    for (const auto& [prefix, directory] : _fallbacks) {
        if (filename.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string candidate = directory + filename.substr(prefix.size());
        if (fs::is_regular_file(candidate, ec)) {
            _fullPathCache.emplace(filename, candidate);
            return candidate;
        }
    }
    return "";
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

bool FileUtils::isDirectoryExist(const std::string& path) const {
    std::error_code ec;
    std::string full = isAbsolutePath(path) ? path : _resourceRoot + path;
    return fs::is_directory(full, ec);
}

Data FileUtils::getDataFromFile(const std::string& filename) const {
    Data data;
    std::string path = fullPathForFilename(filename);
    if (path.empty())
        return data;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return data;
    data.bytes().assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        data.clear();
    return data;
}

std::string FileUtils::getStringFromFile(const std::string& filename) const {
    Data data = getDataFromFile(filename);
    if (data.isNull())
        return "";
    return std::string(reinterpret_cast<const char*>(data.getBytes()), data.getSize());
}

bool FileUtils::writeDataToFile(const Data& data, const std::string& fullPath) const {
    std::FILE* file = std::fopen(fullPath.c_str(), "wb");
    if (!file)
        return false;
    size_t written = data.getSize() ? std::fwrite(data.getBytes(), 1, data.getSize(), file) : 0;
    bool ok = written == data.getSize();
    // A full disk can surface only at close.
    if (std::fclose(file) != 0)
        ok = false;
    return ok;
}

bool FileUtils::removeFile(const std::string& fullPath) const {
    std::error_code ec;
    return fs::remove(fullPath, ec) && !ec;
}

bool FileUtils::createDirectory(const std::string& path) const {
    std::error_code ec;
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

std::vector<std::string> FileUtils::listFiles(const std::string& directory) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string FileUtils::getWritablePath() const {
    std::string path = _writablePath;
    if (path.empty()) {
        const char* xdg = std::getenv("XDG_DATA_HOME");
        std::string base;
        if (xdg && isAbsolutePath(xdg)) {
            base = xdg;
        } else {
            // Never a shared directory: another account could plant links there.
            std::string home = homeDirectory();
            if (home.empty()) {
                std::fprintf(stderr,
                             "%s: no home directory known; writing into the current "
                             "directory\n",
                             _writableDirectoryName.c_str());
                return "";
            }
            base = home + "/.local/share";
        }
        path = withSlash(base) + _writableDirectoryName + "/";
    }
    createDirectory(path);
    return path;
}

void FileUtils::setWritablePath(const std::string& path) {
    _writablePath = withSlash(path);
}

void FileUtils::setWritableDirectoryName(const std::string& name) {
    _writableDirectoryName = name;
}

}  // namespace engine
