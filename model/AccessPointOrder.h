#pragma once

#include <string>

#include "model/AccessPoint.h"

// Orderings of the access-point tables. Criteria are SpectrumSettings::SSIDSortCriteria values.

// Rank of an access point's `security` for the "SEC." column: open 0, WEP 1, WPA 2, WPA2 3,
// WPS 4, unknown 10.
int securityRank(int security);

// "a/", "b/", "g/", "n/", "ac/" for the set bits of the standards byte, in that order.
std::string modeSortText(unsigned standards);

// Strict ascending order of `a` before `b` for criteria 1..11; false for every other criterion.
// A NaN level or grade sorts below every number so the order stays a strict weak order.
bool accessPointLess(const AccessPoint& a, const AccessPoint& b, int criterion);
