#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "model/DiagnosticSink.h"

// The diagnostics of start-up that arrive before the on-screen log exists (the settings store
// could not be read, a stored value was out of range), kept and handed to the log once it does,
// so the user sees them in the window and not only on stderr.
class StartupDiagnostics final : public DiagnosticSink {
  public:
    void vlog(int level, const char* format, va_list args) override;
    // Logs every kept message into `sink`, oldest first, and forgets them.
    void forwardTo(DiagnosticSink& sink);

  private:
    std::mutex lock_;
    std::vector<std::pair<int, std::string>> messages_;
};
