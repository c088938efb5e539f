// Why an operation did not succeed, as a value that travels up from where the
// failure happened to where the user is told. Each layer it passes adds what
// it knows (the file, the block, the attempts, the system's own words); the
// window shows the operation's own message with Reason() on the line beneath,
// and vexa-cli prints the same lines and picks its exit code from the kind.
#pragma once

#include <optional>
#include <string>

namespace vexa {

enum class FailureKind {
  Cancelled,   // the user stopped it
  Refused,     // the input or the configuration is not acceptable as it is
  FileSystem,  // the system refused a file operation
  Port,        // the serial port could not be used
  Device,      // the unit or the line did not do what was asked
  Data,        // what arrived (from a file or a unit) is damaged
};

struct Failure {
  FailureKind kind = FailureKind::Device;
  std::string cause;            // what went wrong, in the user's words (Czech), no final full stop
  std::string path;             // the file concerned; empty when none
  std::optional<long> block;    // the block address concerned
  int attempts = 0;             // attempts made at that block; 0 when not counted
  std::string systemError;      // the system's own words (strerror); empty when none

  static Failure Of(FailureKind kind, std::string cause) {
    Failure f;
    f.kind = kind;
    f.cause = std::move(cause);
    return f;
  }
  Failure& AtPath(std::string p) {
    path = std::move(p);
    return *this;
  }
  Failure& AtBlock(long address, int attemptCount = 0) {
    block = address;
    attempts = attemptCount;
    return *this;
  }
  Failure& WithSystemError(std::string e) {
    systemError = std::move(e);
    return *this;
  }

  // One line for the user, for example
  //   "Blok 0x0110: zařízení neodpovědělo (10 pokusů)."
  //   "/home/x/a.eep: nelze zapsat soubor: Na zařízení není volné místo."
  std::string Reason() const;
};

// "10 pokusů", "1 pokus", "3 pokusy".
std::string AttemptsText(int attempts);

// The operation's own message with the reason on the line beneath; the
// message alone when the reason is empty.
std::string WithReason(const std::string& message, const std::string& reason);
inline std::string WithReason(const std::string& message, const Failure& failure) {
  return WithReason(message, failure.Reason());
}

}  // namespace vexa
