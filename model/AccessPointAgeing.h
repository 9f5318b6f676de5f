#pragma once

#include <cstdint>

class SpectrumSettings;

// Removes access points not seen for a while; the main scene runs it every 10 s while an
// access-point table is shown. Selection slots of the removed ones are freed with them, so the
// selection never fills up with access points that are gone.
class AccessPointAgeing {
  public:
    static constexpr uint64_t kMaxAgeMs = 180000;
    static constexpr uint64_t kIntervalMs = 10000;

    // Removes entries whose last sighting is kMaxAgeMs or more before `now`, unless the list is
    // held still (scanPaused). Sets both table flags when something went. Caller holds apListLock.
    // Returns the number removed.
    static int ageOut(SpectrumSettings& model, uint64_t now);
};
