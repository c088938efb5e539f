// The unit simulator behind a pseudo-terminal: the program opens the slave
// side as if it were the unit's serial port, the simulator answers on the
// master side. Used by vexa-unit-sim, the end-to-end tests and the benchmark.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "unit_sim/unit_simulator.h"

namespace vexa::sim {

class PtyUnit {
 public:
  PtyUnit() = default;
  PtyUnit(const PtyUnit&) = delete;
  PtyUnit& operator=(const PtyUnit&) = delete;
  ~PtyUnit() { Close(); }

  // Creates the pseudo-terminal in raw mode. The simulator keeps a slave
  // descriptor of its own, so the master does not hang up while the program
  // has the port closed.
  bool Open(std::string* error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return Fail(error, "posix_openpt");
    const char* name = ::ptsname(master_);
    if (!name) return Fail(error, "ptsname");
    slavePath_ = name;
    termios t{};
    if (::tcgetattr(master_, &t) == 0) {
      ::cfmakeraw(&t);
      ::cfsetispeed(&t, B19200);
      ::cfsetospeed(&t, B19200);
      ::tcsetattr(master_, TCSANOW, &t);
    }
    keepSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (keepSlave_ < 0) return Fail(error, "open slave");
    if (::tcgetattr(keepSlave_, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(keepSlave_, TCSANOW, &t);
    }
    return true;
  }

  const std::string& slavePath() const { return slavePath_; }
  bool isOpen() const { return master_ >= 0; }

  // Answers the program until `stop` is set or the master side fails.
  // `afterInput` runs after each batch of characters the simulator took in.
  void Serve(link::UnitSimulator& sim, const std::atomic<bool>& stop, const std::function<void()>& afterInput = {}) {
    std::uint8_t buf[512];
    while (!stop.load(std::memory_order_relaxed) && master_ >= 0) {
      if (pullCable_.load()) {
        Close();
        return;
      }
      const std::int64_t now = NowUs();
      const auto out = sim.TakeOutput(now);
      if (!out.empty() && !WriteAll(out)) return;
      const auto next = sim.NextOutputUs();
      std::int64_t waitUs = next ? *next - now : kIdleUs;
      if (waitUs > kIdleUs) waitUs = kIdleUs;
      if (waitUs < 0) waitUs = 0;
      timespec ts{static_cast<time_t>(waitUs / 1'000'000), static_cast<long>((waitUs % 1'000'000) * 1000)};
      pollfd p{master_, POLLIN, 0};
      const int r = ::ppoll(&p, 1, &ts, nullptr);
      if (r < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (r == 0) continue;
      if (p.revents & POLLIN) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
          const std::int64_t at = NowUs();
          for (ssize_t i = 0; i < n; ++i) sim.Receive(buf[i], at);
          if (afterInput) afterInput();
          continue;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      }
      if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
        // Nobody at the other end for now; do not spin.
        ::usleep(10'000);
      }
    }
  }

  // Asks a running Serve (on another thread) to pull the cable: it closes
  // both sides and returns, and the program's port fails.
  void PullCable() { pullCable_ = true; }

  void Close() {
    if (keepSlave_ >= 0) ::close(keepSlave_);
    if (master_ >= 0) ::close(master_);
    keepSlave_ = master_ = -1;
  }

  static std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  // Time of one character (start bit, 8 data bits, stop bit) at `baud`.
  static std::int64_t CharTimeUs(long baud) { return baud > 0 ? (10'000'000 + baud / 2) / baud : 0; }

 private:
  static constexpr std::int64_t kIdleUs = 50'000;

  bool Fail(std::string* error, const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    Close();
    return false;
  }

  bool WriteAll(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        ::usleep(1000);
      } else {
        return false;
      }
    }
    return true;
  }

  std::atomic<bool> pullCable_{false};
  int master_ = -1;
  int keepSlave_ = -1;
  std::string slavePath_;
};

}  // namespace vexa::sim
