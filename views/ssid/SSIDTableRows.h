#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct AccessPoint;

// Rows of the SSID table: a 2.4 GHz and a 5 GHz section, the chosen band first, each a header
// and its access points or one "No SSID to display" row. Pure: built from the list under
// apListLock, then asked for each row.
class SSIDTableRows {
  public:
    enum class Kind { kHeader, kAccessPoint, kEmpty, kInvalid };

    struct Row {
        Kind kind = Kind::kInvalid;
        bool band5 = false;  // section of a header, access-point or empty row
        size_t index = 0;    // into the access-point list, for access-point rows
    };

    static constexpr const char* kHeader24 = "2.4GHz SSID List";
    static constexpr const char* kHeader5 = "5GHz SSID List";
    static constexpr const char* kEmptyText = "No SSID to display";
    static constexpr const char* kInvalidText = "!";

    // Sections in list order; entries whose 5 GHz field is neither 0 nor 1 are in neither.
    void rebuild(const std::vector<std::unique_ptr<AccessPoint>>& list, int band);

    size_t rowCount() const;
    Row row(long index) const;

    const std::vector<size_t>& section24() const { return band24_; }
    const std::vector<size_t>& section5() const { return band5_; }

  private:
    std::vector<size_t> band24_;
    std::vector<size_t> band5_;
    bool fiveFirst_ = false;
};
