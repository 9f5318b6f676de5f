#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "model/AccessPoint.h"

// The rows of the SSID table: the band on screen first, the other band second, each a header
// row followed by its access points (or one "No SSID to display" row). Entries whose 5 GHz
// field is neither 0 nor 1 belong to no section.
class SSIDTableSections {
  public:
    enum class RowKind { kHeader, kEmpty, kAccessPoint, kInvalid };
    struct Row {
        RowKind kind = RowKind::kInvalid;
        bool band5 = false;  // the section's band (header, empty and access-point rows)
        size_t index = 0;    // into the access-point list (access-point rows)
    };

    // Collects both sections in list order; band 1 puts 5 GHz first.
    void rebuild(const std::vector<std::unique_ptr<AccessPoint>>& list, int band);

    ssize_t rowCount() const;
    // Rows past either section (a stale index from the table) are kInvalid.
    Row row(ssize_t idx) const;

    const std::vector<size_t>& firstSection() const { return first_; }
    const std::vector<size_t>& secondSection() const { return second_; }
    bool fiveGHzFirst() const { return fiveFirst_; }

  private:
    std::vector<size_t> first_;
    std::vector<size_t> second_;
    bool fiveFirst_ = false;
};
