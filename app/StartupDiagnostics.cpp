#include "app/StartupDiagnostics.h"

#include <cstdio>

void StartupDiagnostics::vlog(int level, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard guard(lock_);
    messages_.emplace_back(level, text);
}

void StartupDiagnostics::forwardTo(DiagnosticSink& sink) {
    std::vector<std::pair<int, std::string>> messages;
    {
        std::lock_guard guard(lock_);
        messages.swap(messages_);
    }
    for (const auto& [level, text] : messages) {
        sink.log(level, "%s", text.c_str());
    }
}
