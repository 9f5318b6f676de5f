#pragma once

#include <vector>

// The columns of the access-point tables, left to right, with the sort criterion of their header
// and the text that sizes them. The SSID table's compact layout (display class 0) keeps SEC.,
// SSID, RSSI and CH.; the utilization table's keeps SSID, RSSI, CH. and GRADE%.
struct SSIDTableColumn {
    enum Id {
        kSecurity,
        kMode,
        kSsid,
        kRssi,
        kBssid,
        kChannel,
        kFrequency,
        kSeen,
        kRecommendedChannel,  // channel, with the recommendation of a selected access point
        kGradePercent,
        kGradeLetter,
        kGradeCompact,
    };

    Id id;
    const char* name;
    int criterion;
    bool compact;
    const char* sizing;  // nullptr: sized by the header alone
};

class SSIDTableColumns {
  public:
    static const std::vector<SSIDTableColumn>& all();
    static std::vector<SSIDTableColumn> forLayout(bool compact);
    static std::vector<SSIDTableColumn> utilization(bool compact);
};
