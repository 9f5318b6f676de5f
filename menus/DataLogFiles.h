#pragma once

#include <string>
#include <vector>

// The files the data-log manager shows and may delete: regular files (not links, not folders)
// in the data directory named "Tarno_*.csv" (logs), "Tarno_*.png" (screenshots) or, for the tables
// exported from the window, "Tarno_<table>_*.csv" and "Tarno_<table>_*.json". The settings
// store and anything else living there is never listed, so it can never be deleted from the menu.
namespace DataLogFiles {

bool isManagedName(const std::string& name);
// A table export ("Tarno_SSID_", "Tarno_Utilization_", "Tarno_Peaks_"): never the open log.
bool isExportName(const std::string& name);
bool isLogName(const std::string& name);

// Newest first; equal times by name, later names first.
std::vector<std::string> list(const std::string& directory);

enum class DeleteResult { kDeleted, kNotListed, kInUse, kFailed };

// Deletes directory/name when it is still one of the listed files. A log ("*.csv") is refused
// while logIsOpen: it may be the one being written.
DeleteResult remove(const std::string& directory, const std::string& name, bool logIsOpen);

}  // namespace DataLogFiles
