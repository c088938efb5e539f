// A unit on a bench that takes no time: the real link code talks through a
// fake serial port to the unit simulator, and the clock jumps to the next
// character or the deadline instead of waiting.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "file/config_file.h"
#include "link/block_transfer.h"
#include "link/unit_session.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "workflows/transfer_window.h"
#include "link/serial_port.h"
#include "unit_sim/unit_simulator.h"
#include "platform/services.h"
#include "support/fakes.h"
#include "workspace/workspace.h"

namespace vexa::test {

// Link code that would wait for ever stops the test at once: the clock runs
// past an hour of link time, or the link asks the clock, the port or the
// event loop a million times while the clock stands and no character comes.
// The exception ends the test, which fails with the reason.
struct LinkSpins : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class FakeClock : public link::Clock {
 public:
  std::int64_t NowMs() const override {
    Asked();
    return now;
  }
  // One question of the link that brought it no further.
  void Asked() const {
    if (now != askedAt_) {
      askedAt_ = now;
      idle_ = 0;
    }
    if (now > kLongestMs) throw LinkSpins("the link waited for more than an hour");
    if (++idle_ > kMostIdle) throw LinkSpins("the link spins: the clock stands and nothing arrives");
  }
  // A character arrived: the link moves on.
  void Moved() const { idle_ = 0; }

  std::int64_t now = 0;

 private:
  static constexpr std::int64_t kLongestMs = 3'600'000;
  static constexpr long kMostIdle = 1'000'000;
  mutable std::int64_t askedAt_ = 0;
  mutable long idle_ = 0;
};

// A serial port whose far end is the unit simulator and/or characters a test
// schedules at given times.
class FakePort : public link::SerialPort {
 public:
  explicit FakePort(FakeClock& c) : clock(c) {}

  bool Open(const std::string& name) override {
    ++opens;
    openedName = name;
    if (!openSucceeds) return false;
    open = true;
    lost = false;
    return true;
  }
  void Close() override {
    open = false;
    ++closes;
  }
  bool IsOpen() const override { return open; }
  bool SetDtr(bool on) override {
    dtr = on;
    return modemLines;
  }
  bool SetRts(bool on) override {
    rts = on;
    return modemLines;
  }
  bool WriteChar(std::uint8_t c) override {
    if (!open || Lost()) return false;
    written.push_back(c);
    if (sim) sim->Receive(c, clock.now * 1000);
    return true;
  }
  std::size_t BytesWaiting() override {
    clock.Asked();
    Pump();
    return rx.size();
  }
  std::optional<std::uint8_t> ReadChar() override {
    ++reads;
    clock.Asked();
    Pump();
    if (rx.empty()) return std::nullopt;
    clock.Moved();
    const auto c = rx.front();
    rx.pop_front();
    return c;
  }
  void WaitForData(std::int64_t deadlineMs) override {
    ++waits;
    // The deadline is on the link's clock, which stood while the program
    // paused.
    if (linkClock != nullptr) deadlineMs += clock.now - linkClock->NowMs();
    clock.Asked();
    Pump();
    if (!rx.empty() || Lost()) return;
    std::int64_t next = deadlineMs;
    if (!scheduled.empty()) next = std::min(next, scheduled.front().first);
    if (sim && sim->NextOutputUs()) next = std::min(next, (*sim->NextOutputUs() + 999) / 1000);
    if (loseAtMs >= 0) next = std::min(next, loseAtMs);
    clock.now = std::max(clock.now, next);
    Pump();
  }
  bool Lost() const override { return open && (lost || (loseAtMs >= 0 && clock.now >= loseAtMs)); }

  // Characters that reach the program at `atMs` (one burst per call).
  void Schedule(std::int64_t atMs, std::vector<std::uint8_t> bytes) {
    auto at = std::upper_bound(scheduled.begin(), scheduled.end(), atMs,
                               [](std::int64_t t, const auto& e) { return t < e.first; });
    scheduled.insert(at, {atMs, std::move(bytes)});
  }
  // A frame in wire form: payload, checksum, CR.
  static std::vector<std::uint8_t> Wire(std::vector<std::uint8_t> payload) {
    const auto cs = link::FrameChecksum(payload.data(), payload.size());
    payload.push_back(cs);
    payload.push_back(link::kCR);
    return payload;
  }

  void Pump() {
    while (!scheduled.empty() && scheduled.front().first <= clock.now) {
      rx.insert(rx.end(), scheduled.front().second.begin(), scheduled.front().second.end());
      scheduled.pop_front();
    }
    // Most asks find nothing due: no output taken, nothing allocated.
    if (sim && sim->NextOutputUs().value_or(INT64_MAX) <= clock.now * 1000) {
      const auto out = sim->TakeOutput(clock.now * 1000);
      rx.insert(rx.end(), out.begin(), out.end());
    }
  }

  FakeClock& clock;
  const link::Clock* linkClock = nullptr;  // the link's, when it is not `clock`
  link::UnitSimulator* sim = nullptr;
  bool openSucceeds = true;
  bool modemLines = false;  // like a pseudo-terminal
  bool open = false;
  bool lost = false;
  std::int64_t loseAtMs = -1;
  bool dtr = true, rts = false;
  std::string openedName;
  int opens = 0, closes = 0;
  long reads = 0, waits = 0;
  std::vector<std::uint8_t> written;
  std::deque<std::pair<std::int64_t, std::vector<std::uint8_t>>> scheduled;
  std::deque<std::uint8_t> rx;
};

// The shared fakes; the event loop counts as the link asking for progress.
using ShownMessage = fake::ShownMessage;
using FakeMessages = fake::FakeMessageBox;
using FakeProgress = fake::FakeProgress;
using FakeView = fake::FakeView;

class FakeLoop : public fake::FakeEventLoop {
 public:
  void Yield() override {
    if (clock != nullptr) clock->Asked();
    fake::FakeEventLoop::Yield();
  }
  const FakeClock* clock = nullptr;
};

// Everything one test needs: workspace, services, link and a unit.
struct LinkRig {
  explicit LinkRig(link::UnitOptions options = {}) : sim(options), progress(ws) {
    port.sim = &sim;
    port.linkClock = &unitClock;
    loop.clock = &clock;
    ws.settings.Port = "COM 1";
  }

  // Activates the unit, then forgets the traffic, the messages and the
  // progress texts of the activation, so a test sees only what follows.
  void Activate() {
    EXPECT_EQ(ActivateLink(link, ws, sv), ActivationResult::Active);
    sim.ClearLog();
    messages.shown.clear();
    progress.shownTexts.clear();
  }

  // The addresses of the requests of `code` the unit received, in order.
  std::vector<long> Addresses(std::uint8_t code) const {
    std::vector<long> a;
    for (const auto& r : sim.requests()) {
      if (r.code == code) a.push_back(r.address);
    }
    return a;
  }
  long Count(std::uint8_t code) const { return static_cast<long>(Addresses(code).size()); }

  // Takes the unit off the line: only what a test schedules arrives.
  // OpenBare also opens the port, as the link would have.
  void Unplug(std::initializer_list<std::pair<std::int64_t, std::vector<std::uint8_t>>> replies = {}) {
    port.sim = nullptr;
    for (const auto& [atMs, payload] : replies) port.Schedule(atMs, FakePort::Wire(payload));
  }
  void OpenBare() {
    Unplug();
    EXPECT_TRUE(port.Open("COM 1"));
  }

  // What the transfer functions take from the workspace, as the workflows
  // give it.
  link::Transfer transfer() { return {link.memorySize(), ws.CancelRequested, ws.settings.CheckWrite}; }

  // The program holds a question open for `ms`: the time passes, the unit
  // goes on sending, the link's clock stands.
  void PauseProgram(std::int64_t ms) {
    const link::UnitPause pause(&unitClock);
    clock.now += ms;
  }

  Workspace ws;
  FakeClock clock;
  // The link's clock: `clock` less the program's pauses.
  link::UnitClock unitClock{clock};
  FakePort port{clock};
  link::UnitSimulator sim;
  link::UnitSession link{port, unitClock};
  FakeMessages messages;
  FakeProgress progress;
  FakeLoop loop;
  FakeView view;
  Services sv{messages, progress, loop, nullptr, &view};
  // The progress window over the transfers, as the workflows show it.
  TransferWindow window{sv};
};

// A workspace loaded from a golden file.
inline Workspace FixtureWorkspace(const char* name) {
  Workspace ws;
  EXPECT_EQ(LoadConfigFile(std::string(VEXA_FIXTURES_DIR) + "/" + name, ws), LoadResult::Loaded) << name;
  return ws;
}

// An activated unit whose memory starts with `memory` (the rest as the
// simulator keeps it), with only what follows the activation on record.
struct ActiveUnit : LinkRig {
  explicit ActiveUnit(link::UnitOptions o = {}, const std::vector<std::uint8_t>& memory = {}) : LinkRig(o) {
    std::copy_n(memory.begin(), std::min(memory.size(), sim.memory().size()), sim.memory().begin());
    Activate();
  }
};

}  // namespace vexa::test
