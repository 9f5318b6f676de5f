#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// tarno-cli run as a user runs it: through the shell, or as a child whose standard output the test
// reads line by line.
namespace CliProcess {

struct Result {
    std::string out;
    int status = -1;  // exit status; -1 when the command did not exit normally
};

// Runs `command` with /bin/sh; standard output only.
Result run(const std::string& command);

std::vector<std::string> lines(const std::string& text);
std::vector<std::string> split(const std::string& line, const std::string& separator);

// A child with its standard output on a pipe.
class Child {
  public:
    explicit Child(const std::vector<std::string>& argv);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The next whole line (without its newline); false at the end of the output.
    bool readLine(std::string& line);
    void signal(int number);
    // Waits for the exit; the exit status, or -1 when a signal ended the child.
    int wait();

  private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace CliProcess
