#include <gtest/gtest.h>

#include "link/unit_session.h"
#include "link/port_names.h"
#include "support/link_rig.h"

namespace vexa::test {
namespace {

// What the platform reports of a failed open by user "jan".
link::PortOpenFailure OpenFailure(link::PortError kind, std::string device, std::string group,
                                  std::vector<std::string> existing) {
  link::PortOpenFailure f;
  f.kind = kind;
  f.device = std::move(device);
  f.group = std::move(group);
  f.user = "jan";
  f.existingPorts = std::move(existing);
  return f;
}

TEST(PortErrors, SecondLineSaysWhy) {
  using link::PortError;
  struct Case {
    PortError kind;
    std::string device, group;
    std::vector<std::string> existing;
    std::string expected;
  };
  const Case cases[] = {
      {PortError::NotFound, "/dev/ttyUSB3", "", {"/dev/ttyS0", "/dev/ttyUSB0"},
       "Nelze otevřít port COM 1.\n/dev/ttyUSB3: zařízení neexistuje. Sériové porty v systému: /dev/ttyS0, "
       "/dev/ttyUSB0."},
      {PortError::NotFound, "/dev/ttyS0", "", {},
       "Nelze otevřít port COM 1.\n/dev/ttyS0: zařízení neexistuje. V systému není žádný sériový port."},
      {PortError::Busy, "/dev/ttyS0", "", {},
       "Nelze otevřít port COM 1.\n/dev/ttyS0: port už používá jiný program."},
      {PortError::PermissionDenied, "/dev/ttyS0", "uucp", {},
       "Nelze otevřít port COM 1.\n/dev/ttyS0: přístup odepřen. Port smějí otevřít členové skupiny uucp: sudo "
       "usermod -aG uucp jan, poté se odhlaste a znovu přihlaste."},
      {PortError::Unknown, "/dev/ttyS0", "", {}, "Nelze otevřít port COM 1.\n/dev/ttyS0: port nelze otevřít."},
      {PortError::Unknown, "", "", {}, "Nelze otevřít port COM 1."},  // nothing known: the first sentence alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(link::PortOpenMessage("COM 1", OpenFailure(c.kind, c.device, c.group, c.existing)), c.expected);
  }

  // Opening the port tells what the port reports.
  struct RefusingPort : FakePort {
    using FakePort::FakePort;
    link::PortOpenFailure LastOpenFailure() const override {
      return OpenFailure(PortError::Busy, "/dev/ttyUSB0", "", {});
    }
  };
  LinkRig rig;
  RefusingPort port(rig.clock);
  port.openSucceeds = false;
  link::UnitSession lnk(port, rig.clock);
  const auto refused = lnk.Open(rig.ws.settings.Port);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->cause, "Nelze otevřít port COM 1.\n/dev/ttyUSB0: port už používá jiný program.");
}

// A busy port names its lock file and the process in it, whichever program
// wrote the file.
TEST(PortErrors, BusyPortNamesTheLockHolder) {
  EXPECT_EQ(link::PortLockFileOf("/var/lock", "/dev/ttyUSB0"), "/var/lock/LCK..ttyUSB0");
  EXPECT_EQ(link::PortLockFileOf("/run/lock", "/dev/pts/3"), "/run/lock/LCK..pts_3");
  const struct {
    const char* content;
    long pid;
  } locks[] = {
      {"4242\nminicom\nhost\n", 4242},  // QLockFile: pid, program, host
      {"      4242\n", 4242},            // UUCP: ten columns
      {"4242", 4242},
      {"", 0},
      {"abc\n", 0},
      {"42x\n", 0},
      {"99999999999999999999\n", 0},  // no process id overflows
  };
  for (const auto& l : locks) EXPECT_EQ(link::LockFilePid(l.content), l.pid) << l.content;

  link::PortOpenFailure f = OpenFailure(link::PortError::Busy, "/dev/ttyUSB0", "", {});
  f.lockFile = "/var/lock/LCK..ttyUSB0";
  f.holderPid = 4242;
  f.holderName = "minicom";
  EXPECT_EQ(link::PortOpenMessage("COM 1", f),
            "Nelze otevřít port COM 1.\n/dev/ttyUSB0: port už používá jiný program. Zámek /var/lock/LCK..ttyUSB0 "
            "patří procesu 4242 (minicom).");
  f.holderName.clear();
  f.holderPid = 0;
  EXPECT_EQ(link::PortOpenMessage("COM 1", f),
            "Nelze otevřít port COM 1.\n/dev/ttyUSB0: port už používá jiný program. Zámek: /var/lock/LCK..ttyUSB0.");
}

}  // namespace
}  // namespace vexa::test
