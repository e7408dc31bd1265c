// Runs a program as a child process with captured output and a hard time limit,
// so black-box tests of the shipped game can never hang.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace varn::test {

struct ProcessResult {
  int exitStatus = -1;  // -1 when killed by a signal or by the time limit
  bool timedOut = false;
  std::string out;  // standard output
  std::string err;  // standard error
};

class Process {
 public:
  // env: variables to set ("" unsets one). The child gets /dev/null as standard input.
  Process(const std::vector<std::string>& argv, const std::string& workingDirectory,
          const std::map<std::string, std::string>& env = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Reads output until needle appears on standard output (true) or the time runs out.
  bool waitForOutput(const std::string& needle, double seconds);
  // Waits for the exit; past the time limit the child is killed.
  ProcessResult finish(double seconds);
  const std::string& out() const { return result_.out; }
  pid_t pid() const { return pid_; }

 private:
  bool pump(double seconds);  // reads what is available; false once both pipes closed
  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  bool finished_ = false;
  ProcessResult result_;
};

// Convenience: start, wait, collect.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workingDirectory, double seconds,
                         const std::map<std::string, std::string>& env = {});

// Runs a shell command (xdotool and friends), returning its exit status.
int shell(const std::string& command);

}  // namespace varn::test
