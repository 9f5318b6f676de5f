#pragma once

#include <string>

class SpectrumSettings;

// The stored part of the settings model as readable text, one setting per line: its name, its
// value and, where the menus show one, the word they show ("traceModes  6, 0, 0  (HEAT MAP,
// NONE, NONE)"). Used by `tarno-cli config show`.
std::string describeConfiguration(const SpectrumSettings& settings);
