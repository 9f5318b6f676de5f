#include "views/ssid/TableExportAction.h"

#include "engine/platform/FileUtils.h"
#include "model/DiagnosticSink.h"
#include "model/ExportFile.h"
#include "model/SpectrumSettings.h"

std::vector<std::string> TableExportAction::run(SpectrumSettings& model, const ExportTable& table) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return runIn(engine::FileUtils::getInstance()->getWritablePath(), local, table,
                 model.runtime.screenLog.load());
}

std::vector<std::string> TableExportAction::runIn(const std::string& directory,
                                                  const std::tm& local, const ExportTable& table,
                                                  DiagnosticSink* log) {
    std::vector<std::string> written;
    const std::string stem = ExportFile::stem(table.kind, local);
    const std::pair<const char*, std::string> files[] = {
        {".csv", TableExport::csv(table)},
        {".json", TableExport::json(table)},
    };
    for (const auto& [extension, content] : files) {
        const ExportFile::Result result = ExportFile::write(directory, stem, extension, content);
        if (result.written) {
            written.push_back(result.path);
            if (log)
                log->log(kInfoLevel, "%s table exported to %s", table.kind.c_str(),
                         result.path.c_str());
        } else if (log) {
            log->log(kErrorLevel, "%s table export failed: %s", table.kind.c_str(),
                     result.error.c_str());
        }
    }
    return written;
}
