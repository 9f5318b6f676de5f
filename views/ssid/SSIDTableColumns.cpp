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

std::vector<SSIDTableColumn> SSIDTableColumns::utilization(bool compact) {
    if (compact) {
        return {
            {SSIDTableColumn::kSsid, "SSID", 2, true, "ZZZZZZZZZZZZZZZZZZZ"},
            {SSIDTableColumn::kRssi, "RSSI", 3, true, " -XXX dBm"},
            {SSIDTableColumn::kRecommendedChannel, "CH.", 4, true, "13L->13L"},
            {SSIDTableColumn::kGradeCompact, "GRADE%", 10, true, "A(100%)"},
        };
    }
    return {
        {SSIDTableColumn::kSsid, "SSID", 2, false, "ZZZZZZZZZZZZZZZZZZZ"},
        {SSIDTableColumn::kRssi, "RSSI", 3, false, " -XXX dBm"},
        {SSIDTableColumn::kRecommendedChannel, "CHANNEL", 4, false, "13L->13L"},
        {SSIDTableColumn::kGradePercent, "GRADE %", 10, false, "100%"},
        {SSIDTableColumn::kGradeLetter, "GRADE", 11, false, "A"},
    };
}
