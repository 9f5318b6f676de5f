#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads a resource file whole by its name below the resource search paths ("packets/Tarno/
// Tarno_discover.bin"). The link does not know the engine: the application puts the engine's file
// utilities behind this, tools and tests use FileResourceReader.
class ResourceReader {
  public:
    virtual ~ResourceReader() = default;

    // The file's bytes, or an empty buffer when it is missing or unreadable.
    virtual std::vector<uint8_t> readFile(const std::string& name) const = 0;
};
