#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

// A console the link can print to, read back by the test. A temporary file rather than
// open_memstream: umockdev's preload replaces fclose(), which confuses ThreadSanitizer's
// bookkeeping of memory streams.
class ConsoleCapture {
  public:
    ConsoleCapture() : file_(std::tmpfile()) {}
    ~ConsoleCapture() { std::fclose(file_); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::FILE* file() { return file_; }
    std::string text() {
        std::fflush(file_);
        std::string contents;
        char chunk[512];
        off_t offset = 0;
        ssize_t count = 0;
        while ((count = pread(fileno(file_), chunk, sizeof(chunk), offset)) > 0) {
            contents.append(chunk, static_cast<size_t>(count));
            offset += count;
        }
        return contents;
    }

  private:
    std::FILE* file_;
};
