// QtSerialPort against the unit simulator on a real pseudo-terminal.
#include <gtest/gtest.h>
#include <time.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <thread>

#include "../tools/vexa-unit-sim/pty_unit.h"
#include "link/block_transfer.h"
#include "link/unit_session.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "workflows/transfer_window.h"
#include "qt/qt_serial_port.h"
#include "support/fakes.h"

namespace vexa::test {
namespace {

class QtLoop : public EventLoop {
 public:
  void Yield() override { QCoreApplication::processEvents(); }
};

double ThreadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// A unit answering on a pseudo-terminal from its own thread.
struct PtyBench {
  explicit PtyBench(link::UnitOptions o = {}) : unit(o) {
    std::string error;
    ok = pty.Open(&error);
    EXPECT_TRUE(ok) << error;
    if (ok) server = std::thread([this] { pty.Serve(unit, stop); });
  }
  ~PtyBench() {
    stop = true;
    if (server.joinable()) server.join();
  }
  link::UnitSimulator unit;
  sim::PtyUnit pty;
  std::atomic<bool> stop{false};
  std::thread server;
  bool ok = false;
};

struct Program {
  explicit Program(std::string port = "COM 1") { ws.settings.Port = std::move(port); }
  Workspace ws;
  link::SteadyClock clock;
  QTemporaryDir home;
  qt::QtSerialPort port{clock, link::DosDevicesDirOf(home.path().toStdString())};
  link::UnitSession link{port, clock};
  fake::FakeMessageBox messages;
  fake::FakeProgress progress;
  QtLoop loop;
  Services sv{messages, progress, loop};
  TransferWindow window{sv};
};

TEST(QtSerialPort, OpensAPseudoTerminalThatHasNoModemLines) {
  PtyBench bench;
  Program p(bench.pty.slavePath());
  ASSERT_FALSE(p.link.Open(p.ws.settings.Port).has_value());
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_TRUE(p.messages.texts().empty());
  p.link.Close();
  EXPECT_FALSE(p.port.IsOpen());
  // The port can be opened again after closing (activation closes and reopens).
  ASSERT_FALSE(p.link.Open(p.ws.settings.Port).has_value());
}

TEST(QtSerialPort, ComEntriesFindTheirDeviceThroughTheUsersLinks) {
  PtyBench bench;
  Program p;
  const std::string dir = link::DosDevicesDirOf(p.home.path().toStdString());
  std::filesystem::create_directories(dir);
  std::filesystem::create_symlink(bench.pty.slavePath(), dir + "/COM2");

  p.ws.settings.Port = "COM 2";
  ASSERT_FALSE(p.link.Open(p.ws.settings.Port).has_value());
  EXPECT_EQ(p.port.device(), std::filesystem::canonical(bench.pty.slavePath()).string());
  EXPECT_EQ(ActivateLink(p.link, p.ws, p.sv), ActivationResult::Active);
  EXPECT_EQ(p.link.device().Product, "VEXA");
  EXPECT_TRUE(DeactivateLink(p.link, p.sv));
}

TEST(QtSerialPort, OpenFailuresSayWhichDeviceAndWhy) {
  Program p;
  const std::string dir = link::DosDevicesDirOf(p.home.path().toStdString());
  std::filesystem::create_directories(dir);
  const std::string missing = p.home.path().toStdString() + "/no-such-tty";
  std::filesystem::create_symlink(missing, dir + "/COM3");
  p.ws.settings.Port = "COM 3";
  const auto refused = p.link.Open(p.ws.settings.Port);
  ASSERT_TRUE(refused.has_value());
  const std::string first = "Nelze otevřít port COM 3.\n";
  EXPECT_EQ(refused->cause.substr(0, first.size()), first);
  EXPECT_EQ(p.port.LastOpenFailure().kind, link::PortError::NotFound);
  // The missing device the link points to, not the link.
  EXPECT_NE(refused->cause.find(missing + ": zařízení neexistuje."), std::string::npos);
  EXPECT_FALSE(p.port.IsOpen());

  // A port the program holds open cannot be opened a second time.
  PtyBench bench;
  p.ws.settings.Port = bench.pty.slavePath();
  ASSERT_FALSE(p.link.Open(p.ws.settings.Port).has_value());
  Program other(bench.pty.slavePath());
  const auto busy = other.link.Open(other.ws.settings.Port);
  ASSERT_TRUE(busy.has_value());
  EXPECT_EQ(other.port.LastOpenFailure().kind, link::PortError::Busy);
  EXPECT_NE(busy->cause.find(": port už používá jiný program."), std::string::npos);
}

TEST(QtSerialPort, WaitingSleepsUntilTheDeadlineAndKeepsEventsFlowing) {
  PtyBench bench;
  Program p(bench.pty.slavePath());
  ASSERT_FALSE(p.link.Open(p.ws.settings.Port).has_value());
  bool timerFired = false;
  QTimer::singleShot(50, [&] { timerFired = true; });  // stands for a Storno click
  const double cpu0 = ThreadCpuMs();
  const auto t0 = p.clock.NowMs();
  // The unit is not asked: nothing comes.
  while (p.clock.NowMs() < t0 + 300 && p.port.BytesWaiting() == 0) p.port.WaitForData(t0 + 300);
  const auto elapsed = p.clock.NowMs() - t0;
  const double cpu = ThreadCpuMs() - cpu0;
  EXPECT_EQ(p.port.BytesWaiting(), 0u);
  EXPECT_GE(elapsed, 300);
  EXPECT_LT(elapsed, 2000);
  EXPECT_TRUE(timerFired);
  EXPECT_LT(cpu, 60.0) << "waiting must not spin";
}

TEST(QtSerialPort, ExchangesFramesAndBlocksWithTheUnit) {
  PtyBench bench;
  Program p(bench.pty.slavePath());
  for (std::size_t i = 0; i < bench.unit.memory().size(); ++i) bench.unit.memory()[i] = static_cast<std::uint8_t>(i);
  ASSERT_EQ(ActivateLink(p.link, p.ws, p.sv), ActivationResult::Active);
  for (long a : {0L, 64L, 264L, 8120L}) {
    ASSERT_TRUE(link::ReadBlockWithRetries(p.link, p.ws.image, p.loop, a)) << a;
    for (long i = a; i < a + 8; ++i) EXPECT_EQ(p.ws.image.data()[i], static_cast<std::uint8_t>(i));
  }
  for (long i = 272; i < 280; ++i) p.ws.image.data()[i] = 0xA5;
  const link::Transfer verified{8128, p.ws.CancelRequested, true};
  ASSERT_EQ(link::WriteBlocks(p.link, p.ws.image, verified, p.sv.loop, p.window, {{272, false}}), link::WriteOutcome::Completed);
  EXPECT_TRUE(DeactivateLink(p.link, p.sv));
  EXPECT_EQ(p.messages.texts(), std::vector<std::string>{texts::kMsgInstruction});
}

TEST(QtSerialPort, PulledCableEndsTheReceiveAtOnce) {
  PtyBench bench;
  Program p(bench.pty.slavePath());
  ASSERT_FALSE(p.link.Open(p.ws.settings.Port).has_value());
  QTimer::singleShot(100, [&] { bench.pty.PullCable(); });
  const auto t0 = p.clock.NowMs();
  for (int i = 0; i < 20 && !p.port.Lost() && p.port.IsOpen(); ++i) {
    p.port.WaitForData(p.clock.NowMs() + 500);
    p.port.ReadChar();
  }
  EXPECT_LT(p.clock.NowMs() - t0, 1500);
  EXPECT_TRUE(p.port.Lost() || !p.port.IsOpen());
}

}  // namespace
}  // namespace vexa::test
