#pragma once

#include <string>

#include <vector>

struct AccessPoint;
struct ScanStatistics;
class SpectrumSettings;

// The JSON lines of an access-point survey, as `tarno-cli survey` prints them and the publisher
// sends them.
namespace SurveyJson {

// One access point: BSSID, name, channel, band, level, width, security, standards, how often seen,
// and for 2.4 GHz its utilization and grade, with the recommended channel when `selected`.
std::string accessPoint(const AccessPoint& ap, bool selected);
// The 2.4 GHz channels' utilization and access-point counts.
std::string channels(const ScanStatistics& statistics, bool graded);
// The whole survey: every access point, strongest first, then the channels.
std::vector<std::string> lines(const SpectrumSettings& model);

}  // namespace SurveyJson
