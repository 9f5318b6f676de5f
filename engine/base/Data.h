#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

// An owned byte buffer: file contents and stored blobs.
class Data {
  public:
    Data() = default;
    Data(const unsigned char* bytes, size_t size) { copy(bytes, size); }

    void copy(const unsigned char* bytes, size_t size) { _bytes.assign(bytes, bytes + size); }
    unsigned char* getBytes() { return _bytes.empty() ? nullptr : _bytes.data(); }
    const unsigned char* getBytes() const { return _bytes.empty() ? nullptr : _bytes.data(); }
    size_t getSize() const { return _bytes.size(); }
    bool isNull() const { return _bytes.empty(); }
    void clear() { _bytes.clear(); }
    std::vector<unsigned char>& bytes() { return _bytes; }

    bool operator==(const Data& o) const { return _bytes == o._bytes; }

    static const Data Null;

  private:
    std::vector<unsigned char> _bytes;
};

}  // namespace engine
