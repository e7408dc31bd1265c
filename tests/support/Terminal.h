// A child process on a pseudo-terminal, as a player's console would run it: what it
// prints is read from the terminal, keys are typed into it, and the terminal's modes
// can be inspected after the child has gone.
#pragma once

#include <pty.h>
#include <termios.h>
#include <utmp.h>

#include <functional>
#include <string>

#include "Process.h"

namespace varn::test {

class TerminalProcess : public Child {
 public:
  // typedAhead is typed before the child starts, as keys pressed during play would be.
  // The child runs body with the terminal as its controlling terminal and standard streams.
  TerminalProcess(const std::function<void()>& body, const std::string& typedAhead = "") {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
    fcntl(master_, F_SETFL, O_NONBLOCK);
    type(typedAhead);
    // The terminal takes typed keys in asynchronously; the child starts only once they
    // have reached its input (their echo is back), as keys pressed during play would have.
    if (!waitForShown(echoOf(typedAhead), kTypeAheadLimit)) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(master_);
      if (login_tty(dup(slave_)) != 0) _exit(126);
      body();
      _exit(0);
    }
  }
  ~TerminalProcess() {
    kill();
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }
  TerminalProcess(const TerminalProcess&) = delete;
  TerminalProcess& operator=(const TerminalProcess&) = delete;

  bool started() const { return pid_ > 0; }
  void type(const std::string& keys) const {
    if (keys.empty()) return;
    [[maybe_unused]] const ssize_t written = write(master_, keys.data(), keys.size());
  }
  // Everything the terminal has shown so far.
  const std::string& shown() {
    char buffer[4096];
    for (ssize_t n; (n = read(master_, buffer, sizeof buffer)) > 0;) shown_.append(buffer, static_cast<size_t>(n));
    return shown_;
  }
  bool waitForShown(const std::string& needle, double seconds) {
    return pollFor(seconds, [&] { return shown().find(needle) != std::string::npos; });
  }
  int exitStatus() const { return reaped_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
  int endingSignal() const { return reaped_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0; }
  // The terminal's modes as the child left them.
  termios modes() const {
    termios t{};
    tcgetattr(slave_, &t);
    return t;
  }
  // Input the child left unread: what the shell would get next.
  std::string unreadInput() const {
    termios raw = modes();
    raw.c_lflag &= static_cast<tcflag_t>(~ICANON);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    tcsetattr(slave_, TCSANOW, &raw);
    std::string left;
    char buffer[64];
    for (ssize_t n; (n = read(slave_, buffer, sizeof buffer)) > 0;) left.append(buffer, static_cast<size_t>(n));
    return left;
  }

 private:
  static constexpr double kTypeAheadLimit = 20.0;  // seconds: it takes microseconds

  // What the terminal echoes for keys typed in line mode: control bytes as ^X.
  static std::string echoOf(const std::string& keys) {
    std::string echo;
    for (const char c : keys) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
        echo += '^';
        echo += static_cast<char>(c + 0x40);
      } else {
        echo += c;
      }
    }
    return echo;
  }

  int master_ = -1;
  int slave_ = -1;
  std::string shown_;
};

}  // namespace varn::test
