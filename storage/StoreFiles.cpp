#include "storage/StoreFiles.h"

#include <filesystem>
#include <iterator>
#include <system_error>

namespace store_files {

namespace {

// The companions that hold changes the database file alone lacks.
constexpr const char* kJournals[] = {"-wal", "-journal"};

}  // namespace

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

// Renames the database and its journal aside. A journal left behind would be replayed into the
// fresh database that takes the old one's name, so when it cannot follow (its new name is taken,
// it is not a regular file, the rename fails) the database goes back to its own name and both
// stay where the user had them. Only regular files move; a journal is never deleted.
std::string moveAside(const std::string& path, std::string* why) {
    auto refuse = [why](const std::string& reason) {
        if (why != nullptr) {
            *why = reason;
        }
        return std::string();
    };
    std::string aside = path + ".corrupt";
    for (int n = 1; exists(aside) && n < 1000; ++n) {
        aside = path + ".corrupt." + std::to_string(n);
    }
    std::error_code error;
    if (exists(aside)) {
        return refuse("no free name to move it to");
    }
    if (!isRegularFile(path)) {
        return refuse("it is not a regular file");
    }
    for (const char* suffix : kJournals) {
        if (!exists(path + suffix)) {
            continue;
        }
        if (!isRegularFile(path + suffix)) {
            return refuse("its journal " + path + suffix + " is not a regular file");
        }
        if (exists(aside + suffix)) {
            return refuse("its journal " + path + suffix + " cannot be moved: " + aside + suffix +
                          " exists");
        }
    }
    std::filesystem::rename(path, aside, error);
    if (error) {
        return refuse("it cannot be renamed (" + error.message() + ")");
    }
    for (size_t i = 0; i < std::size(kJournals); ++i) {
        const std::string journal = path + kJournals[i];
        if (!isRegularFile(journal)) {
            continue;
        }
        std::filesystem::rename(journal, aside + kJournals[i], error);
        if (!error) {
            continue;
        }
        const std::string reason =
            "its journal " + journal + " cannot be moved (" + error.message() + ")";
        // Whatever moved already goes back, so the pair is as it was.
        std::error_code back;
        for (size_t moved = 0; moved < i; ++moved) {
            if (isRegularFile(aside + kJournals[moved]) && !exists(path + kJournals[moved])) {
                std::filesystem::rename(aside + kJournals[moved], path + kJournals[moved], back);
            }
        }
        if (!exists(path)) {
            std::filesystem::rename(aside, path, back);
        }
        return refuse(reason);
    }
    // The shared-memory index is SQLite's scratch file, rebuilt from the database and its log.
    if (isRegularFile(path + "-shm")) {
        std::filesystem::remove(path + "-shm", error);
    }
    return aside;
}

}  // namespace store_files
