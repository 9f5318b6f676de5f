#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A console the link can print to, read back by the test.
class ConsoleCapture {
  public:
    ConsoleCapture() { file_ = open_memstream(&buffer_, &size_); }
    ~ConsoleCapture() {
        std::fclose(file_);
        std::free(buffer_);
    }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::FILE* file() { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

  private:
    std::FILE* file_ = nullptr;
    char* buffer_ = nullptr;
    size_t size_ = 0;
};
