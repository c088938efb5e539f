// One program run's session with the unit: the port, the ledger of the
// exchanges on it and what this activation has learned about the unit.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "codec/image.h"
#include "codec/serial_frame.h"
#include "link/frame.h"
#include "link/ledger.h"
#include "link/serial_port.h"
#include "platform/event_loop.h"
#include "platform/failure.h"
#include "workspace/workspace.h"

namespace vexa::link {

class Trace;

// What the unit is known to hold: its bytes 0 up to `readTo` (exclusive) as
// the last read (full or quick) or completed write of this activation left
// them. Within one activation the unit's memory changes only through this
// program, so a write takes these bytes as its backup and as the base of
// the changed-blocks write instead of reading the unit again. Shared, since
// the image is large and never changed once known.
struct KnownUnitImage {
  std::shared_ptr<const EepromImage> bytes;
  long readTo = 0;
};

using BlockCallback = std::function<void(long done, long total)>;

// One program run's session with the unit: the serial port, the link's
// clock and the ledger of the exchanges on it. Every frame goes on the line
// through the ledger, so every request is recorded as owed an answer.
class UnitSession {
 public:
  UnitSession(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}
  UnitSession(const UnitSession&) = delete;
  UnitSession& operator=(const UnitSession&) = delete;

  const SerialPort& port() const { return port_; }
  const Clock& clock() const { return clock_; }

  // Opens the port named `port` (the one chosen in the window) with the line
  // settings, then switches DTR off and RTS on (a port without modem lines is
  // accepted). On failure the port stays closed and the failure's cause is
  // "Nelze otevřít port <port>." with, on a second line, the device and why
  // it could not be opened (PortOpenMessage); the workflows show it.
  std::optional<Failure> Open(const std::string& port);
  // Closes the port when it is open; the unit's image and memory size are no
  // longer known.
  void Close();
  // Discards all waiting input (at least one read is made).
  void FlushInput();

  // The ledger's exchange (link/ledger.h) on this session's line.
  ExchangeResult Exchange(EventLoop& loop, const SerialFrame& request, std::uint8_t expected, const Ladder& ladder,
                          const ReplyCheck& check = {});
  // Markers until nothing but markers is owed an answer, for up to
  // `budgetMs`.
  bool Settle(EventLoop& loop, int budgetMs) { return ledger_.Settle(*this, loop, budgetMs); }
  // A new unit (or the same one activated again): nothing is owed, nothing
  // learned, neither its image nor its memory size known.
  void Forget();
  // Whether `cancel` (Storno, Ctrl+C) ends the wait for a silent unit.
  void WatchCancel(const bool* cancel) { ledger_.WatchCancel(cancel); }
  const ExchangeLedger& ledger() const { return ledger_; }

  // Where every frame is recorded for support; null records nothing.
  void SetTrace(Trace* trace) { trace_ = trace; }
  Trace* trace() const { return trace_; }

  // Called after every block of a whole-memory transfer with the blocks done
  // and the blocks planned.
  void SetOnBlock(BlockCallback f) { onBlock_ = std::move(f); }
  const BlockCallback& onBlock() const { return onBlock_; }
  // The same for the progress bar of the whole command (a command of several
  // phases maps each phase's blocks onto its one bar).
  void SetOnProgress(BlockCallback f) { onProgress_ = std::move(f); }
  const BlockCallback& onProgress() const { return onProgress_; }
  // Tells both that `done` of `total` blocks are done (total 0: not known
  // yet).
  void ReportBlocks(long done, long total) const;

  // Why the last block of a whole-memory transfer failed all its attempts:
  // the block, the attempts made and the fault of the last one. Cleared when
  // a transfer starts; the workflows show its reason under their failure
  // message.
  const std::optional<Failure>& lastFailure() const { return lastFailure_; }
  void SetLastFailure(std::optional<Failure> f) { lastFailure_ = std::move(f); }

  // The unit's usable memory in bytes, as its memory query told; nullopt
  // while not known (no activation, or a code the program does not know).
  std::optional<long> memorySize() const { return memorySize_; }
  void SetMemorySize(std::optional<long> bytes) { memorySize_ = bytes; }

  // The link as the window shows it, and what the unit told of itself when
  // it was activated (every field "?" while it is not).
  LinkState state() const { return state_; }
  void SetState(LinkState state) { state_ = state; }
  const DeviceInfo& device() const { return device_; }
  void SetDevice(DeviceInfo device) { device_ = std::move(device); }

  // What the unit holds, as far as this activation knows: empty until a
  // read or a write tells; forgotten with the activation and when a read or
  // a write fails or is stopped.
  const std::optional<KnownUnitImage>& unitImage() const { return unitImage_; }
  void SetUnitImage(std::optional<KnownUnitImage> known) { unitImage_ = std::move(known); }

 private:
  friend class ExchangeLedger;
  // Writes the frame in wire form: payload, checksum, CR. False when the
  // port did not take every character (or the frame length is not 1..256).
  // `note` goes behind the request's meaning in the trace.
  bool SendFrame(const SerialFrame& frame, const std::string& note);

  SerialPort& port_;
  Clock& clock_;
  BlockCallback onBlock_;
  BlockCallback onProgress_;
  Trace* trace_ = nullptr;
  ExchangeLedger ledger_;
  std::optional<Failure> lastFailure_;
  std::optional<KnownUnitImage> unitImage_;
  std::optional<long> memorySize_;
  LinkState state_ = LinkState::Neaktivni;
  DeviceInfo device_;
};

// Points the session's ledger at a cancel flag for as long as it lives.
class CancelWatch {
 public:
  CancelWatch(UnitSession& session, const bool& cancel) : session_(session) { session_.WatchCancel(&cancel); }
  ~CancelWatch() { session_.WatchCancel(nullptr); }
  CancelWatch(const CancelWatch&) = delete;
  CancelWatch& operator=(const CancelWatch&) = delete;

 private:
  UnitSession& session_;
};

}  // namespace vexa::link
