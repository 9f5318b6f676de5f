#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/AccessPoint.h"

class SpectrumSettings;

// Keeps the access-point list that the two tables show fresh: every few seconds of frame time
// it drops the access points no scan has seen for three minutes, and whenever the list changed
// it re-sorts it for the table on screen. Time is what the caller passes in (the application's
// injected clock), so simulated-time runs age as they should. Main thread only.
class AccessPointAgeing {
  public:
    static constexpr float kCheckPeriod = 10.f;      // s of frame time between checks
    static constexpr uint64_t kLifetimeMs = 180000;  // unseen this long: gone
    static constexpr uint64_t kMaxAgeMs = kLifetimeMs;

    // Adds dt to the check timer (it runs whether or not a table is shown). When a table is
    // shown, the scan is not paused and a period has passed: restarts the timer, drops the
    // access points last seen kLifetimeMs or more before `now` and raises both table flags.
    // Answers whether it checked.
    bool advance(SpectrumSettings& model, float dt, bool tableShown, uint64_t now);

    // When either table flag is raised: sorts the list by the criterion of each shown table,
    // then lowers both flags. Answers whether the flags were raised (the tables refresh then).
    static bool sortForTables(SpectrumSettings& model, bool ssidTableShown,
                              bool utilizationTableShown);

    // Unless the list is held still (scanPaused): drops the unseen access points, frees the
    // selection slots they held (so the selection never fills with access points that are gone)
    // and, when something went, raises both table flags. Answers how
    // many went.
    static int ageOut(SpectrumSettings& model, uint64_t now);

    // Drops the access points last seen kLifetimeMs or more before `now`, keeping the order of
    // the rest; answers how many went.
    static size_t removeUnseen(std::vector<std::unique_ptr<AccessPoint>>& list, uint64_t now);

    float timer() const { return timer_; }

  private:
    float timer_ = 0;
};
