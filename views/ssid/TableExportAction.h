#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "model/TableExport.h"

class DiagnosticSink;
class SpectrumSettings;

// What a table's EXPORT button (and the E key) does: the table as CSV and as JSON next to the
// data logs, named like them ("Tarno_SSID_20261208_184500.csv"), never over an existing file,
// and each file (or why it failed) announced in the on-screen log. MANAGE FILES lists them.
class TableExportAction {
  public:
    static constexpr int kInfoLevel = 4;
    static constexpr int kErrorLevel = 1;

    // Into the engine's writable directory at the local time; the model's on-screen log.
    static std::vector<std::string> run(SpectrumSettings& model, const ExportTable& table);
    // The paths written, CSV first; empty when neither could be written.
    static std::vector<std::string> runIn(const std::string& directory, const std::tm& local,
                                          const ExportTable& table, DiagnosticSink* log);
};
