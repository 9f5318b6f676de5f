#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/MeasurementRecords.h"

struct AccessPoint;

// Rows of the utilization table: only 2.4 GHz access points, the selected ones under "Selected
// for Optimization", all others under "SSID List", each section in list order. Pure: built from
// the list and the selection.
class UtilizationTableRows {
  public:
    enum class Kind { kHeader, kAccessPoint, kEmpty, kInvalid };

    struct Row {
        Kind kind = Kind::kInvalid;
        bool selectedSection = false;
        size_t index = 0;  // into the access-point list, for access-point rows
    };

    static constexpr const char* kSelectedHeader = "Selected for Optimization";
    static constexpr const char* kListHeader = "SSID List";
    static constexpr const char* kSelectedEmpty = "Press Edit to add access point";
    static constexpr const char* kListEmpty = "No SSID to display";

    void rebuild(const std::vector<std::unique_ptr<AccessPoint>>& list,
                 const ScanStatistics& statistics);

    size_t rowCount() const;
    Row row(long index) const;

  private:
    std::vector<size_t> selected_;
    std::vector<size_t> others_;
};
