#include "link/FileResourceReader.h"

#include <sys/stat.h>
#include <cstdio>

namespace {

std::string joined(const std::string& root, const std::string& folder, const std::string& name) {
    std::string path = root;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    if (!folder.empty()) {
        path += folder;
        path += '/';
    }
    return path + name;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

FileResourceReader::FileResourceReader(std::string root) : root_(std::move(root)) {}

const std::vector<std::string>& FileResourceReader::searchPaths() {
    static const std::vector<std::string> kPaths = {"res/desktop/sd", "res", ""};
    return kPaths;
}

std::string FileResourceReader::fullPath(const std::string& name) const {
    if (name.empty()) {
        return "";
    }
    for (const std::string& folder : searchPaths()) {
        std::string path = joined(root_, folder, name);
        if (isRegularFile(path)) {
            return path;
        }
    }
    return "";
}

std::vector<uint8_t> FileResourceReader::readFile(const std::string& name) const {
    std::vector<uint8_t> bytes;
    std::string path = fullPath(name);
    if (path.empty()) {
        return bytes;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    uint8_t chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + n > kMaxFileBytes) {
            bytes.clear();
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(file);
    return bytes;
}
