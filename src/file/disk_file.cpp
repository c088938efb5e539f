// The parts of the whole-file reading and writing that are the same on every
// system; the rest is in os/posix/ and os/windows/.
#include "file/disk_file.h"

namespace vexa {

bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes, std::string* why,
                     EventLoop* loop) {
  Failure failure;
  if (ReadRegularFile(path, limit, bytes, failure, loop)) return true;
  if (why != nullptr) *why = failure.Reason();
  return false;
}

bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size, std::string* why,
                         EventLoop* loop, bool sync) {
  Failure failure;
  if (WriteFileAtomically(path, data, size, failure, {.loop = loop, .sync = sync})) return true;
  if (why != nullptr) *why = failure.Reason();
  return false;
}

}  // namespace vexa
