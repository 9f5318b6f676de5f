#pragma once

#include <string>
#include <vector>

#include "link/ResourceReader.h"

// Resources from the file system: a name is looked up below the root in the search paths
// "res/desktop/sd", "res" and "" in that order, as the application's file utilities do.
class FileResourceReader : public ResourceReader {
  public:
    // Files larger than this are not resources of ours; refusing them keeps a stray path from
    // loading gigabytes into a playback buffer.
    static constexpr size_t kMaxFileBytes = 64u << 20;

    explicit FileResourceReader(std::string root);

    std::vector<uint8_t> readFile(const std::string& name) const override;
    // The full path the name resolves to, or an empty text when no search path holds it.
    std::string fullPath(const std::string& name) const;

    static const std::vector<std::string>& searchPaths();

  private:
    std::string root_;
};
