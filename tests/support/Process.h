// Runs a program as a child process with its output in files and a hard time limit,
// so black-box tests of the shipped game can never hang.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"

namespace varn::test {

struct ProcessResult {
  int exitStatus = -1;  // -1 when killed by a signal or by the time limit
  bool timedOut = false;
  std::string out, err;  // standard output and standard error
};

// Polls every 20 ms until done() holds (true) or the time runs out (false).
template <typename Done>
bool pollFor(double seconds, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// A forked child, reaped without blocking once it has ended, and killed if it outstays its time.
class Child {
 public:
  bool hasExited() {
    if (!reaped_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return reaped_;
  }
  bool waitForExit(double seconds) {
    return pollFor(seconds, [&] { return hasExited(); });
  }
  void kill() {
    if (pid_ <= 0 || hasExited()) return;
    ::kill(pid_, SIGKILL);
    reaped_ = waitpid(pid_, &status_, 0) == pid_;
  }

 protected:
  pid_t pid_ = -1;
  int status_ = 0;
  bool reaped_ = false;
};

class Process : public Child {
 public:
  // argv[0] is a path. Standard input is /dev/null; standard output and error go to files.
  Process(const std::vector<std::string>& argv, const std::string& workingDirectory) {
    pid_ = fork();
    if (pid_ != 0) return;
    dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
    dup2(open((files_.path() / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    dup2(open((files_.path() / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    if (chdir(workingDirectory.c_str()) != 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  ~Process() { finish(0.0); }

  std::string out() const { return finished_ ? result_.out : read("out"); }
  // Waits until needle appears on standard output (true) or the time runs out.
  bool waitForOutput(const std::string& needle, double seconds) const {
    return pollFor(seconds, [&] { return out().find(needle) != std::string::npos; });
  }
  // Waits for the exit; past the time limit the child is killed.
  ProcessResult finish(double seconds) {
    if (finished_ || pid_ <= 0) return result_;
    finished_ = true;
    result_.timedOut = !waitForExit(seconds);
    if (result_.timedOut) kill();
    result_.exitStatus = WIFEXITED(status_) && !result_.timedOut ? WEXITSTATUS(status_) : -1;
    result_.out = read("out");
    result_.err = read("err");
    return result_;
  }

 private:
  std::string read(const char* name) const { return readFile(files_.path() / name); }
  TempDir files_;
  bool finished_ = false;
  ProcessResult result_;
};

// The lines of a program's output, without their line ends.
inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

// Runs a shell command (xdotool and friends), returning its exit status.
inline int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace varn::test
