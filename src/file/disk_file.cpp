#include "file/disk_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace vexa {
namespace {

namespace fs = std::filesystem;

// Bytes between two yields to the event loop.
constexpr std::size_t kChunk = 4096;

fs::path PathFromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

bool Say(std::string* why, std::string text) {
  if (why != nullptr) *why = std::move(text);
  return false;
}
bool SaySystem(std::string* why, int error) { return Say(why, std::strerror(error)); }

// Closes a descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool IsSpecial(mode_t mode) { return !S_ISREG(mode); }

std::string KindOf(mode_t mode) { return S_ISDIR(mode) ? "a folder" : "not a regular file"; }

// Creates a new file of a unique name next to `target`; its descriptor in fd.
fs::path CreateTemporaryNextTo(const fs::path& target, Fd& fd, mode_t mode, std::string* why) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target;
    candidate += "." + std::to_string(random() % 1000000000000ULL) + ".tmp";
    fd.fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd.fd >= 0) return candidate;
    if (errno != EEXIST) {
      SaySystem(why, errno);
      return {};
    }
  }
  Say(why, "no free temporary name");
  return {};
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size, EventLoop* loop, std::string* why) {
  for (std::size_t done = 0; done < size;) {
    if (loop != nullptr) loop->Yield();
    const ssize_t n = ::write(fd, data + done, std::min(kChunk, size - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return SaySystem(why, errno);
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes, std::string* why,
                     EventLoop* loop) {
  if (path.empty()) return Say(why, "no file name");
  // Opened without blocking, so that a FIFO without a writer cannot hang us.
  Fd in{::open(PathFromUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (in.fd < 0) return SaySystem(why, errno);
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return SaySystem(why, errno);
  if (IsSpecial(st.st_mode)) return Say(why, KindOf(st.st_mode));
  const std::string tooLong = "larger than " + std::to_string(limit) + " bytes";
  if (static_cast<std::uintmax_t>(st.st_size) > limit) return Say(why, tooLong);
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t chunk[kChunk];
  for (;;) {
    if (loop != nullptr) loop->Yield();
    const ssize_t n = ::read(in.fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return SaySystem(why, errno);
    }
    if (n == 0) break;
    if (out.size() + static_cast<std::size_t>(n) > limit) return Say(why, tooLong);  // grew while read
    out.insert(out.end(), chunk, chunk + n);
  }
  bytes = std::move(out);
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size, std::string* why,
                         EventLoop* loop, bool sync) {
  if (path.empty()) return Say(why, "no file name");
  std::error_code ec;
  fs::path target = PathFromUtf8(path);
  // Replace what a link points to, not the link itself.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (ec) return Say(why, ec.message());
    target = resolved;
  }
  mode_t mode = 0666;  // less the umask, for a new file
  bool keepMode = false;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (IsSpecial(st.st_mode)) return Say(why, KindOf(st.st_mode));
    mode = st.st_mode & 07777;
    keepMode = true;
  } else if (errno != ENOENT) {
    return SaySystem(why, errno);
  }
  Fd out;
  const fs::path temporary = CreateTemporaryNextTo(target, out, mode, why);
  if (temporary.empty()) return false;
  auto fail = [&](int error) {
    ::unlink(temporary.c_str());
    return error != 0 ? SaySystem(why, error) : false;
  };
  if (!WriteAll(out.fd, data, size, loop, why)) return fail(0);
  if (keepMode && ::fchmod(out.fd, mode) != 0) return fail(errno);
  // On the disk before it takes the name: a crash leaves the old file or the new one.
  if (sync && ::fsync(out.fd) != 0) return fail(errno);
  const int closed = ::close(out.fd);
  out.fd = -1;
  if (closed != 0) return fail(errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  if (!sync) return true;
  // And the new name on the disk too.
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.fd >= 0) ::fsync(dir.fd);
  return true;
}

}  // namespace vexa
