#pragma once

#include <vector>

// The columns of the SSID table, left to right, with the sort criterion of their header and the
// text that sizes them. The compact layout (display class 0) keeps SEC., SSID, RSSI and CH.
struct SSIDTableColumn {
    enum Id { kSecurity, kMode, kSsid, kRssi, kBssid, kChannel, kFrequency, kSeen, kCount };

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
};
