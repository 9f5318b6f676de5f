#include "storage/StoreFiles.h"

#include <filesystem>
#include <system_error>

namespace store_files {

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error));
}

PathKind pathKind(const std::string& path) {
    std::error_code error;
    auto link = std::filesystem::symlink_status(path, error);
    if (!std::filesystem::exists(link)) {
        return PathKind::missing;
    }
    if (std::filesystem::is_regular_file(link)) {
        return PathKind::regularFile;
    }
    if (std::filesystem::is_symlink(link) &&
        std::filesystem::is_regular_file(std::filesystem::status(path, error))) {
        return PathKind::linkToFile;
    }
    return PathKind::other;
}

std::string describeKind(const std::string& path) {
    std::error_code error;
    auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) {
        return "it is a folder";
    }
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        return "it is a link that does not lead to a file";
    }
    return "it is not a regular file";
}

// A write-ahead log or rollback journal with content holds changes the file alone lacks.
bool hasLogContent(const std::string& path) {
    for (const char* suffix : {"-wal", "-journal"}) {
        std::error_code error;
        auto size = std::filesystem::file_size(path + suffix, error);
        if (!error && size > 0) {
            return true;
        }
    }
    return false;
}

// A read-only URI for the database. Without a log to replay the file alone is the truth, and
// `immutable` reads it with no lock, shared-memory index or log file: nothing is created beside
// it, which a read-only folder or a full disk would refuse anyway.
std::string readOnlyUri(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).string();
    if (error) {
        absolute = path;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : absolute) {
        if (c == '%' || c == '?' || c == '#' || c <= ' ' || c >= 0x7f) {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + (hasLogContent(path) ? "?mode=ro" : "?mode=ro&immutable=1");
}

// Renames the database and its journal aside. A write-ahead log left behind would otherwise be
// replayed into the fresh database that takes the old one's name. Only regular files move.
std::string moveAside(const std::string& path) {
    std::string aside = path + ".corrupt";
    for (int n = 1; exists(aside) && n < 1000; ++n) {
        aside = path + ".corrupt." + std::to_string(n);
    }
    std::error_code error;
    if (exists(aside) || !isRegularFile(path)) {
        return {};
    }
    std::filesystem::rename(path, aside, error);
    if (error) {
        return {};
    }
    for (const char* suffix : {"-wal", "-journal"}) {
        if (isRegularFile(path + suffix)) {
            std::filesystem::rename(path + suffix, aside + suffix, error);
            if (error) {
                std::filesystem::remove(path + suffix, error);
            }
        }
    }
    if (isRegularFile(path + "-shm")) {
        std::filesystem::remove(path + "-shm", error);
    }
    return aside;
}

}  // namespace store_files
