// Whole files on Linux: opened without following what must not be followed,
// without blocking, and replaced by rename from a temporary file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "file/disk_file.h"
#include "platform/file_failure.h"
#include "os/posix/shared_links.h"
#include "platform/system.h"
#include "texts/texts.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using files::Fail;
using files::kChunk;
using platform::PathFromUtf8;
using platform::Utf8Of;
// Links followed one after another before the chain counts as a loop (the
// kernel's own limit).
constexpr int kMaxLinks = 40;
constexpr mode_t kPrivateFile = 0600;
constexpr mode_t kPrivateFolder = 0700;

bool Fail(Failure& failure, FailureKind kind, std::string cause, const std::string& path, int error) {
  return Fail(failure, kind, std::move(cause), path, std::string(std::strerror(error)));
}

// A refusal of the system, in the user's words where the program knows them.
bool FailSystem(Failure& failure, const std::string& path, int error, const char* otherwise) {
  switch (error) {
    case EACCES:
    case EPERM: return Fail(failure, FailureKind::FileSystem, texts::kCauseAccessDenied, path);
    case ENOENT: return Fail(failure, FailureKind::FileSystem, texts::kCauseNoFile, path);
    case ENOTDIR: return Fail(failure, FailureKind::FileSystem, texts::kCauseNoFolderInPath, path);
    case ELOOP: return Fail(failure, FailureKind::FileSystem, texts::kCauseTooManyLinks, path);
    default: return Fail(failure, FailureKind::FileSystem, otherwise, path, error);
  }
}

// What a file that is not a regular one is, for the refusal.
bool FailKind(Failure& failure, mode_t mode, const std::string& path) {
  files::NotRegular what = files::NotRegular::Other;
  if (S_ISDIR(mode)) {
    what = files::NotRegular::Folder;
  } else if (S_ISFIFO(mode)) {
    what = files::NotRegular::Fifo;
  } else if (S_ISCHR(mode) || S_ISBLK(mode)) {
    what = files::NotRegular::Device;
  }
  return files::FailNotRegular(failure, what, path);
}

using files::FailTooLarge;

// Closes a descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// Creates a new file of a unique name next to `target`; its descriptor in fd.
fs::path CreateTemporaryNextTo(const fs::path& target, Fd& fd, mode_t mode, Failure& failure) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target;
    candidate += "." + std::to_string(random() % 1000000000000ULL) + ".tmp";
    fd.fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd.fd >= 0) return candidate;
    if (errno == ENOENT || errno == ENOTDIR) {
      Fail(failure, FailureKind::FileSystem, texts::kCauseNoFolderForFile, Utf8Of(target));
      return {};
    }
    if (errno != EEXIST) {
      FailSystem(failure, Utf8Of(target), errno, texts::kCauseCannotCreate);
      return {};
    }
  }
  Fail(failure, FailureKind::FileSystem, texts::kCauseCannotCreateTemporary, Utf8Of(target));
  return {};
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size, EventLoop* loop, Failure& failure,
              const std::string& path) {
  for (std::size_t done = 0; done < size;) {
    if (loop != nullptr) loop->Yield();
    const ssize_t n = ::write(fd, data + done, std::min(kChunk, size - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailSystem(failure, path, errno, texts::kCauseCannotWrite);
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a write to `path` replaces: the path itself, or where its links
// lead, each link followed only as the kernel would follow it.
bool ResolveTarget(fs::path path, fs::path& target, Failure& failure) {
  for (int followed = 0;; ++followed) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return FailSystem(failure, Utf8Of(path), errno, texts::kCauseCannotStat);
      target = path;  // a new file
      return true;
    }
    if (!S_ISLNK(st.st_mode)) {
      target = path;
      return true;
    }
    if (followed == kMaxLinks) return FailSystem(failure, Utf8Of(path), ELOOP, "");
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) {
      return FailSystem(failure, Utf8Of(folder), errno, texts::kCauseCannotReadFolder);
    }
    if (!MayFollowLink(dir.st_mode, dir.st_uid, st.st_uid, ::geteuid())) {
      return Fail(failure, FailureKind::Refused, texts::kCauseForeignLink, Utf8Of(path));
    }
    std::error_code ec;
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) return FailSystem(failure, Utf8Of(path), ec.value(), texts::kCauseCannotReadLink);
    path = next.is_absolute() ? next : (folder / next).lexically_normal();
  }
}

}  // namespace

bool MayFollowLink(mode_t folderMode, uid_t folderOwner, uid_t linkOwner, uid_t user) {
  const bool shared = (folderMode & S_ISVTX) != 0 && (folderMode & S_IWOTH) != 0;
  return !shared || linkOwner == user || linkOwner == folderOwner;
}

bool MayReplace(const std::string& path, Failure& failure) {
  if (path.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFileName, path);
  fs::path target;
  if (!ResolveTarget(PathFromUtf8(path), target, failure)) return false;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return FailKind(failure, st.st_mode, Utf8Of(target));
  return true;
}

bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes, Failure& failure,
                     EventLoop* loop) {
  if (path.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFileName, path);
  // Opened without blocking, so that a FIFO without a writer cannot hang us.
  Fd in{::open(PathFromUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (in.fd < 0) return FailSystem(failure, path, errno, texts::kCauseCannotOpen);
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return FailSystem(failure, path, errno, texts::kCauseCannotStat);
  if (!S_ISREG(st.st_mode)) return FailKind(failure, st.st_mode, path);
  if (static_cast<std::uintmax_t>(st.st_size) > limit) return FailTooLarge(failure, limit, path);
  const auto readSome = [&](std::uint8_t* chunk, std::size_t size) -> std::optional<std::size_t> {
    for (;;) {
      const ssize_t n = ::read(in.fd, chunk, size);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) {
        FailSystem(failure, path, errno, texts::kCauseCannotRead);
        return std::nullopt;
      }
    }
  };
  return files::ReadToEnd(readSome, static_cast<std::size_t>(st.st_size), limit, loop, path, bytes, failure);
}

bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size, Failure& failure,
                         const WriteFileOptions& options) {
  if (path.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFileName, path);
  fs::path target;
  if (!ResolveTarget(PathFromUtf8(path), target, failure)) return false;
  const std::string where = Utf8Of(target);
  mode_t mode = options.privateFile ? kPrivateFile : 0666;  // less the umask
  bool setMode = options.privateFile;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return FailKind(failure, st.st_mode, where);
    if (!options.privateFile) {
      mode = st.st_mode & 07777;
      setMode = true;
    }
  } else if (errno != ENOENT) {
    return FailSystem(failure, where, errno, texts::kCauseCannotStat);
  }
  Fd out;
  const fs::path temporary = CreateTemporaryNextTo(target, out, mode, failure);
  if (temporary.empty()) return false;
  auto fail = [&](int error) {
    ::unlink(temporary.c_str());
    return error != 0 ? FailSystem(failure, where, error, texts::kCauseCannotWrite) : false;
  };
  if (!WriteAll(out.fd, data, size, options.loop, failure, where)) return fail(0);
  if (setMode && ::fchmod(out.fd, mode) != 0) return fail(errno);
  // On the disk before it takes the name: a crash leaves the old file or the new one.
  if (options.sync && ::fsync(out.fd) != 0) return fail(errno);
  const int closed = ::close(out.fd);
  out.fd = -1;
  if (closed != 0) return fail(errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  if (!options.sync) return true;
  // And the new name on the disk too.
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.fd >= 0) ::fsync(dir.fd);
  return true;
}

bool CreatePrivateFolders(const std::string& dir, Failure& failure) {
  if (dir.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFolderName, dir);
  const fs::path full = PathFromUtf8(dir);
  fs::path so_far;
  for (const fs::path& part : full) {
    so_far /= part;
    if (part.empty() || part == "/" || part == "." || part == "..") continue;
    if (::mkdir(so_far.c_str(), kPrivateFolder) == 0) {
      // The umask may have taken more than asked for.
      if (::chmod(so_far.c_str(), kPrivateFolder) != 0) {
        return FailSystem(failure, Utf8Of(so_far), errno, texts::kCauseFolderMode);
      }
      continue;
    }
    if (errno != EEXIST) return FailSystem(failure, Utf8Of(so_far), errno, texts::kCauseCannotCreateFolder);
    struct stat st {};
    if (::stat(so_far.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      return Fail(failure, FailureKind::FileSystem, texts::kCauseNotFolder, Utf8Of(so_far));
    }
  }
  return true;
}

bool MakeOwnFolderPrivate(const std::string& dir) {
  const fs::path path = PathFromUtf8(dir);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (st.st_uid != ::geteuid() || (st.st_mode & 077) == 0) return true;
  return ::chmod(path.c_str(), st.st_mode & 07700) == 0;
}

}  // namespace vexa
