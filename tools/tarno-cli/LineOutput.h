#pragma once

#include <string>

// Where a streaming command's lines go: standard output or a file it creates. Every line is
// written through at once, so a reader at the other end of a pipe sees each as it is made.
class LineOutput {
  public:
    enum class Result { kWritten, kClosed, kFailed };

    LineOutput() = default;
    ~LineOutput();
    LineOutput(const LineOutput&) = delete;
    LineOutput& operator=(const LineOutput&) = delete;

    // Standard output. A reader that goes away must end the command, not kill it: SIGPIPE is
    // ignored from here on so that the write reports EPIPE instead.
    void useStandardOutput();
    // Creates `path`; never replaces an existing file and never follows a symbolic link. False,
    // with the reason in error(), when the file cannot be created.
    bool create(const std::string& path);
    // Standard output for an empty `path`, else create(path); on failure says why on stderr
    // in `command`'s name and returns false.
    bool open(const char* command, const std::string& path);

    // Writes the line and a newline. kClosed: the reader went away (a closed pipe).
    Result writeLine(const std::string& line);

    const std::string& error() const { return error_; }

  private:
    int fd_ = -1;
    bool owned_ = false;
    std::string error_;
};
