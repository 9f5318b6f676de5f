#pragma once

#include <string>

// The settings store's file and its companions (-wal, -shm, -journal) on disk: what kind of path
// it is, how to open it read-only, and moving a damaged one aside. Only regular files are ever
// renamed, and only SQLite's shared-memory index is ever removed.
namespace store_files {

enum class PathKind { missing, regularFile, linkToFile, other };

bool exists(const std::string& path);         // the path itself, a dangling link included
bool isRegularFile(const std::string& path);  // the path itself, not what a link leads to
PathKind pathKind(const std::string& path);
// "it is a folder", "it is not a regular file", ...
std::string describeKind(const std::string& path);
// A -wal or -journal beside the database holds changes it must not be read without.
bool hasLogContent(const std::string& path);
std::string readOnlyUri(const std::string& path);
// The new name of the database, or empty when it could not (or may not) be moved; then `why`
// (when given) says why, and the database and its journal are where they were.
std::string moveAside(const std::string& path, std::string* why = nullptr);

}  // namespace store_files
