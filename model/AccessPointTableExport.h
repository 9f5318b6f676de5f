#pragma once

#include <memory>
#include <vector>

#include "model/TableExport.h"

struct AccessPoint;
struct ScanStatistics;

// The access-point tables as exported: the same access points, in the same order and with the
// same texts as on screen, plus the numbers behind them.
class AccessPointTableExport {
  public:
    // Every access point of the list, both bands (the SSID table).
    static ExportTable ssid(const std::vector<std::unique_ptr<AccessPoint>>& list);
    // The 2.4 GHz access points, those selected for optimisation first (the utilization table).
    static ExportTable utilization(const std::vector<std::unique_ptr<AccessPoint>>& list,
                                   const ScanStatistics& statistics);

    // "%.*f" of a finite value; empty (null in JSON) otherwise.
    static ExportCell number(double value, int decimals);
    // "#rrggbb" of an access point's outline colour.
    static std::string colourText(const AccessPoint& ap);
};
