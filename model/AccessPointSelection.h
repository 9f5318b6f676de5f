#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/AccessPoint.h"
#include "model/MeasurementRecords.h"

// The access points the user picked for channel recommendations: 20 BSSID slots in
// scanStatistics, an all-zero slot being free.
class AccessPointSelection {
  public:
    static constexpr int kSlots = 20;

    // Refused (false) for an all-zero BSSID and when every slot is taken. A BSSID already
    // selected succeeds without taking a second slot.
    static bool add(ScanStatistics& statistics, const uint8_t bssid[6]);

    // False when the BSSID is not selected.
    static bool remove(ScanStatistics& statistics, const uint8_t bssid[6]);

    static bool contains(const ScanStatistics& statistics, const uint8_t bssid[6]);

    // Frees the slots whose access point is no longer in `list` (aged out or trimmed), so the
    // selection does not fill up with access points that are gone. Returns the slots freed.
    static int releaseDeparted(ScanStatistics& statistics,
                               const std::vector<std::unique_ptr<AccessPoint>>& list);

    // Parses "aa:bb:cc:dd:ee:ff" (hexadecimal, either case); false for anything else.
    static bool parseBssid(const char* text, uint8_t bssid[6]);
};
