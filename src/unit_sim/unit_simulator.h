// The unit's side of the serial protocol, for trying the program without a
// unit: characters in, characters out, with an EEPROM behind the block
// commands.
//
// Time is passed in by the caller (microseconds on any monotonic scale), so
// the same simulator answers a test's fake clock and a real pseudo-terminal.
// With a character time set, the line is paced: a request is received only
// once all its characters have crossed the line, and a reply becomes readable
// when its last character has.
//
// The unit's processor serves one request at a time. What happens to a
// request that arrives while it is still busy with the one before is the
// busy model: a "queue" unit answers it after the one before, a "forget" unit
// was not listening and never sees it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace vexa::link {

// Faults the simulator can inject.
enum class SimFault {
  DropReply,        // the unit does not answer
  CorruptChecksum,  // the reply's checksum byte is wrong
  LateReply,        // the unit takes lateByUs longer over the request (later replies wait)
  FlipWrittenByte,  // a written block is stored with one byte changed (the reply is normal)
};

enum class BusyModel {
  Queue,   // a request that arrives while the unit is busy waits its turn
  Forget,  // a request that arrives while the unit is busy is lost
};

struct UnitOptions {
  std::uint32_t productCode = 0x21D382;  // "VEXA": bytes 130, 211, 33
  std::uint8_t versionMajor = 1;
  std::uint8_t versionMinor = 5;
  std::uint8_t memoryCode = 6;       // 8128 usable bytes
  std::uint8_t modemCode = 4;        // "TC35 Siemens"
  int pollsBeforeAnswer = 0;         // polls left unanswered before the unit enters programming mode
  std::int64_t responseDelayUs = 0;  // the unit's work on a request, before its reply's first character
  BusyModel busy = BusyModel::Queue;
  std::int64_t charTimeUs = 0;       // one character on the line; 0 = instant (19200 baud 8N1: 521)
  // A slow EEPROM: the block commands (read and write) are answered this much
  // later on top of responseDelayUs, blockDelayMinUs when blockDelayMaxUs is
  // not above it, otherwise a time drawn for each answer within [min, max].
  // Only blocks starting in [slowFrom, slowTo) are slow. The unit is busy
  // from a request's arrival until its reply has been sent.
  std::int64_t blockDelayMinUs = 0;
  std::int64_t blockDelayMaxUs = 0;
  long slowFrom = 0;
  long slowTo = 65536;
  // Every answer (the poll's, the identification's, ...) takes up to this
  // much longer on top, drawn for each answer.
  std::int64_t answerJitterUs = 0;
  // A slow poll and a slow identification: their answers come this much later.
  std::int64_t pollDelayUs = 0;
  std::int64_t identifyDelayUs = 0;
  // Seeded random faults: probability per reply (flip: per written block).
  double dropRate = 0;
  double corruptRate = 0;
  double lateRate = 0;
  double flipRate = 0;
  std::int64_t lateByUs = 1'500'000;
  // A late reply takes a time drawn within [lateByUs, lateByMaxUs] when
  // lateByMaxUs is above lateByUs.
  std::int64_t lateByMaxUs = 0;
  std::uint32_t seed = 1;
  // Physical EEPROM size; 0 = 2^(memoryCode+7) bytes, at most 65,536. The
  // usable size the unit reports is 64 bytes less.
  long memoryBytes = 0;
  std::uint8_t erasedValue = 0xFF;
};

// One request the simulator recognised.
struct UnitRequest {
  std::uint8_t code = 0;
  long address = -1;  // block commands only
  bool answered = false;
};

class UnitSimulator {
 public:
  explicit UnitSimulator(UnitOptions options = {});

  // One character from the program, arriving at `nowUs`.
  void Receive(std::uint8_t c, std::int64_t nowUs);
  // The characters that have reached the program by `nowUs`, in order.
  std::vector<std::uint8_t> TakeOutput(std::int64_t nowUs);
  // When the next character becomes readable; nullopt when nothing is queued.
  std::optional<std::int64_t> NextOutputUs() const;

  // Applies `f` to the next `count` replies (FlipWrittenByte: to the next
  // `count` written blocks), before any random fault; with `onlyCommand`, to
  // the next replies to that command only.
  void InjectFault(SimFault f, int count = 1, std::uint8_t onlyCommand = 0);

  std::vector<std::uint8_t>& memory() { return memory_; }
  const std::vector<std::uint8_t>& memory() const { return memory_; }
  // Copies `bytes` into the EEPROM from address 0 (as much as fits).
  void Load(const std::vector<std::uint8_t>& bytes);
  long usableSize() const { return static_cast<long>(memory_.size()) - 64; }

  bool inProgrammingMode() const { return programming_; }
  int pollsSeen() const { return polls_; }
  const std::vector<UnitRequest>& requests() const { return requests_; }
  void ClearLog() { requests_.clear(); }
  const UnitOptions& options() const { return options_; }
  // Answers lost on the line from now on (a line that turns noisy).
  void SetDropRate(double p) { options_.dropRate = p; }
  // The faults that befell its answers so far: lost, garbled, late.
  struct FaultCounts {
    long dropped = 0, corrupted = 0, late = 0;
  };
  const FaultCounts& faults() const { return faults_; }

  // Usable bytes of memory code n: 2^(n+7) - 64.
  static long UsableSizeOf(int memoryCode);

 private:
  struct Pending {
    std::int64_t dueUs;
    std::vector<std::uint8_t> bytes;
  };

  void Handle(const std::vector<std::uint8_t>& payload, std::int64_t receivedUs);
  // The block commands: the reply with the block, or the block stored.
  void ReadBlock(const std::vector<std::uint8_t>& payload, std::int64_t receivedUs);
  void WriteBlock(const std::vector<std::uint8_t>& payload, std::int64_t receivedUs);
  void Reply(std::vector<std::uint8_t> payload, std::int64_t receivedUs, std::int64_t extraDelayUs = 0);
  std::int64_t BlockDelayUs(long address);
  std::int64_t Draw(std::int64_t lo, std::int64_t hi);
  bool Chance(double p);
  std::optional<SimFault> NextReplyFault(std::uint8_t command);

  UnitOptions options_;
  std::vector<std::uint8_t> memory_;
  std::vector<std::uint8_t> rx_;
  std::int64_t rxDoneUs_ = 0;
  std::int64_t txFreeUs_ = 0;
  std::int64_t busyUntilUs_ = 0;  // the processor's current request ends here
  std::deque<Pending> tx_;
  std::deque<std::pair<SimFault, std::uint8_t>> scripted_;  // fault, command (0: any)
  int scriptedFlips_ = 0;
  bool programming_ = false;
  int polls_ = 0;
  std::mt19937 rng_;
  std::vector<UnitRequest> requests_;
  FaultCounts faults_;
};

}  // namespace vexa::link
