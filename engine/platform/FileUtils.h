#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/base/Data.h"

namespace engine {

// Finds resources by name under a resource root through an ordered list of search paths
// (relative to the root unless absolute), and owns the per-user writable directory.
//
// Default resource root: <executable dir>/../share/<executable name>/ when that exists (an
// installed program), else the build tree's resource directory compiled in at build time.
// Default writable path: $XDG_DATA_HOME (or ~/.local/share) / <writable directory name> /.
// The system's Roboto fonts stand in for fonts/roboto/ when no copy is among the resources.
class FileUtils {
  public:
    static FileUtils* getInstance();
    static void destroyInstance();

    void setSearchPaths(const std::vector<std::string>& searchPaths);
    const std::vector<std::string>& getSearchPaths() const { return _searchPaths; }
    void addSearchPath(const std::string& path, bool front = false);
    void setDefaultResourceRootPath(const std::string& path);
    // A name starting with `prefix` that no search path holds is looked for in `directory`
    // with the prefix taken off: an installed program uses the system's copy of a resource.
    void addFallbackDirectory(const std::string& prefix, const std::string& directory);
    const std::string& getDefaultResourceRootPath() const { return _resourceRoot; }

    // The first existing regular file along the search paths; "" when there is none. An
    // absolute name is returned as it is when the file exists.
    std::string fullPathForFilename(const std::string& filename) const;
    bool isFileExist(const std::string& filename) const;
    bool isDirectoryExist(const std::string& path) const;
    static bool isAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

    // Whole files; empty Data / string when missing or unreadable.
    Data getDataFromFile(const std::string& filename) const;
    std::string getStringFromFile(const std::string& filename) const;
    bool writeDataToFile(const Data& data, const std::string& fullPath) const;
    bool removeFile(const std::string& fullPath) const;
    bool createDirectory(const std::string& path) const;
    // Names of the regular files in a directory, sorted.
    std::vector<std::string> listFiles(const std::string& directory) const;

    // Ends with '/'; created on first use.
    std::string getWritablePath() const;
    void setWritablePath(const std::string& path);
    void setWritableDirectoryName(const std::string& name);

  private:
    FileUtils();

    std::string _resourceRoot;
    std::vector<std::string> _searchPaths;
    std::vector<std::pair<std::string, std::string>> _fallbacks;  // (prefix, directory/)
    std::string _writablePath;                                    // explicit override
    std::string _writableDirectoryName;
    mutable std::unordered_map<std::string, std::string> _fullPathCache;
};

}  // namespace engine
