// Child processes for black-box tests: fork, exec, non-blocking pipes, time limits.
#include "Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace varn::test {

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::string& workingDirectory,
                 const std::map<std::string, std::string>& env) {
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    dup2(errPipe[1], STDERR_FILENO);
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    close(outPipe[0]);
    close(errPipe[0]);
    if (chdir(workingDirectory.c_str()) != 0) _exit(126);
    for (const auto& [name, value] : env) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  outFd_ = outPipe[0];
  errFd_ = errPipe[0];
  fcntl(outFd_, F_SETFL, O_NONBLOCK);
  fcntl(errFd_, F_SETFL, O_NONBLOCK);
}

Process::~Process() {
  if (!finished_) finish(0.0);
}

bool Process::pump(double seconds) {
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  const int waited = poll(fds, 2, static_cast<int>(seconds * 1000.0));
  if (waited <= 0) return outFd_ >= 0 || errFd_ >= 0;
  char buffer[4096];
  for (int i = 0; i < 2; ++i) {
    int& fd = i == 0 ? outFd_ : errFd_;
    if (fd < 0 || fds[i].revents == 0) continue;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      (i == 0 ? result_.out : result_.err).append(buffer, static_cast<size_t>(got));
    } else if (got == 0) {
      close(fd);
      fd = -1;
    }
  }
  return outFd_ >= 0 || errFd_ >= 0;
}

bool Process::waitForOutput(const std::string& needle, double seconds) {
  const auto start = std::chrono::steady_clock::now();
  while (result_.out.find(needle) == std::string::npos) {
    const double left = seconds - secondsSince(start);
    if (left <= 0.0 || !pump(left < 0.1 ? left : 0.1)) return result_.out.find(needle) != std::string::npos;
  }
  return true;
}

ProcessResult Process::finish(double seconds) {
  if (finished_) return result_;
  finished_ = true;
  if (pid_ <= 0) return result_;
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  while (true) {
    pump(0.05);
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (secondsSince(start) > seconds) {
      result_.timedOut = true;
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
  }
  while (pump(0.05)) {
  }
  result_.exitStatus = WIFEXITED(status) && !result_.timedOut ? WEXITSTATUS(status) : -1;
  return result_;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workingDirectory, double seconds,
                         const std::map<std::string, std::string>& env) {
  Process process(argv, workingDirectory, env);
  return process.finish(seconds);
}

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace varn::test
