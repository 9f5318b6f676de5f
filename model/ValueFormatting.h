#pragma once

#include <string>

// Number texts shared by the status labels, readouts, menus and the data log, so that one number
// always looks the same. Callers append the unit ("s/div", "W", "Hz") and print "--" for NaN.

// "%.2f" of the value.
std::string formatFixed2(float value);

// The value scaled to f, p, n, µ (micro sign), m, none, k, M or G by its magnitude and printed as
// "%.*f %s" with `decimals` decimals; an unscaled value ends with a space ("5.00 "). Pico and
// femto serve powers in watts: a -90 dBm level is 1.00 pW, not 0.00 nW.
std::string formatEngineering(float value, int decimals);

// Three significant digits with n, μ (Greek mu), m, none, k or M, printed as "%.*f %s"; the row
// is chosen before the print rounds, so 999.9 gives "1000 ".
std::string formatThreeDigits(float value);
