#pragma once

#include <cstdarg>

// Where protocols and the link write their diagnostics. The on-screen log implements it on the
// engine side; the model only holds the pointer, so nothing below the views needs the engine.
// Implementations must accept calls from any thread.
class DiagnosticSink {
  public:
    virtual ~DiagnosticSink() = default;

    // printf-style. A message is kept only when `level` shares a bit with the sink's level mask.
    virtual void vlog(int level, const char* format, va_list args) = 0;

    void log(int level, const char* format, ...) __attribute__((format(printf, 3, 4))) {
        va_list args;
        va_start(args, format);
        vlog(level, format, args);
        va_end(args);
    }
};
