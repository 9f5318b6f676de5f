#include "views/ssid/SSIDTableColumns.h"

const std::vector<SSIDTableColumn>& SSIDTableColumns::all() {
    static const std::vector<SSIDTableColumn> columns = {
        {SSIDTableColumn::kSecurity, "SEC.", 8, true, nullptr},
        {SSIDTableColumn::kMode, "MODE", 5, false, "a/n/ac"},
        {SSIDTableColumn::kSsid, "SSID", 2, true, "ZZZZZZZZZZZZZZZZZZZ"},
        {SSIDTableColumn::kRssi, "RSSI", 3, true, " -XXX dBm"},
        {SSIDTableColumn::kBssid, "BSSID", 1, false, "[XX:XX:XX:XX:XX:XX]"},
        {SSIDTableColumn::kChannel, "CH.", 4, true, "6L"},
        {SSIDTableColumn::kFrequency, "FREQ", 6, false, "5.999"},
        {SSIDTableColumn::kSeen, "CNT.", 7, false, "999"},
    };
    return columns;
}

std::vector<SSIDTableColumn> SSIDTableColumns::forLayout(bool compact) {
    std::vector<SSIDTableColumn> out;
    for (const SSIDTableColumn& column : all()) {
        if (!compact || column.compact) {
            out.push_back(column);
        }
    }
    return out;
}
