// Whole files on Windows: UTF-8 paths through the wide API; only regular
// files on a disk are read or replaced (never a device name such as NUL or
// COM1, a folder, a pipe, or a reparse point another user planted); a save
// goes to a temporary file beside the target, is flushed, and takes the name
// with ReplaceFileW (MoveFileExW with write-through for a new file).
#include "os/windows/win.h"
// After windows.h, which it needs.
#include <aclapi.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>

#include "file/disk_file.h"
#include "platform/file_failure.h"
#include "platform/system.h"
#include "texts/texts.h"
#include "os/windows/wide.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using files::Fail;
using files::kChunk;
using win::Handle;
using win::Wide;

// A refusal of the system, in the user's words where the program knows them.
bool FailSystem(Failure& failure, const std::string& path, DWORD error, const char* otherwise) {
  switch (error) {
    case ERROR_ACCESS_DENIED: return Fail(failure, FailureKind::FileSystem, texts::kCauseAccessDenied, path);
    case ERROR_FILE_NOT_FOUND: return Fail(failure, FailureKind::FileSystem, texts::kCauseNoFile, path);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return Fail(failure, FailureKind::FileSystem, texts::kCauseNoFolderInPath, path);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: return Fail(failure, FailureKind::FileSystem, texts::kCauseFileInUse, path);
    default: return Fail(failure, FailureKind::FileSystem, otherwise, path, win::SystemMessage(error));
  }
}

// CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9 name devices in every folder,
// with any extension ("NUL.eep") and trailing spaces or dots; so does a path
// in the device namespace (\\.\COM1, \\?\GLOBALROOT\...).
bool IsDeviceName(const fs::path& path) {
  const std::wstring whole = path.wstring();
  if (whole.rfind(L"\\\\.\\", 0) == 0 || whole.rfind(L"//./", 0) == 0 ||
      whole.rfind(L"\\\\?\\GLOBALROOT", 0) == 0) {
    return true;
  }
  std::wstring name = path.filename().wstring();
  name = name.substr(0, name.find(L'.'));
  while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
  const bool numbered = name.size() == 4 && name.back() >= L'1' && name.back() <= L'9';
  if (numbered) name.pop_back();
  std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towupper(c)); });
  if (numbered) return name == L"COM" || name == L"LPT";
  return name == L"CON" || name == L"PRN" || name == L"AUX" || name == L"NUL";
}

// Whether the reparse point (a symbolic link or a junction) at `path` belongs
// to the user running the program.
bool OwnedByUser(const std::wstring& path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool own = false;
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
      own = EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != 0;
    }
    CloseHandle(token);
  }
  LocalFree(descriptor);
  return own;
}

// What a save to `path` replaces: the path itself, or where the user's own
// reparse point leads. False when the path may not be written: a device
// name, a folder, another user's reparse point.
bool ResolveTarget(const fs::path& path, fs::path& target, bool& exists, Failure& failure) {
  const std::string where = platform::Utf8Of(path);
  if (IsDeviceName(path)) return files::FailNotRegular(failure, files::NotRegular::Device, where);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  exists = attributes != INVALID_FILE_ATTRIBUTES;
  target = path;
  if (!exists) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;  // a new file
    return FailSystem(failure, where, error, texts::kCauseCannotStat);
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    if (!OwnedByUser(path.wstring())) return Fail(failure, FailureKind::Refused, texts::kCauseForeignLink, where);
    Handle h{CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (!h.Valid()) return FailSystem(failure, where, GetLastError(), texts::kCauseCannotReadLink);
    wchar_t final[MAX_PATH * 4];
    const DWORD n = GetFinalPathNameByHandleW(h.h, final, MAX_PATH * 4, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= MAX_PATH * 4) return FailSystem(failure, where, GetLastError(), texts::kCauseCannotReadLink);
    target = fs::path(std::wstring(final, n));
    return ResolveTarget(target, target, exists, failure);
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return files::FailNotRegular(failure, files::NotRegular::Folder, where);
  }
  return true;
}

// Refuses what an open handle shows not to be a regular file on a disk.
bool CheckRegular(HANDLE h, const std::string& path, Failure& failure) {
  switch (GetFileType(h)) {
    case FILE_TYPE_DISK: break;
    case FILE_TYPE_PIPE: return files::FailNotRegular(failure, files::NotRegular::Fifo, path);
    case FILE_TYPE_CHAR: return files::FailNotRegular(failure, files::NotRegular::Device, path);
    default: return files::FailNotRegular(failure, files::NotRegular::Other, path);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(h, &info)) return FailSystem(failure, path, GetLastError(), texts::kCauseCannotStat);
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return files::FailNotRegular(failure, files::NotRegular::Folder, path);
  }
  return true;
}

bool WriteAll(HANDLE h, const std::uint8_t* data, std::size_t size, EventLoop* loop, Failure& failure,
              const std::string& path) {
  for (std::size_t done = 0; done < size;) {
    if (loop != nullptr) loop->Yield();
    DWORD written = 0;
    if (!WriteFile(h, data + done, static_cast<DWORD>(std::min(kChunk, size - done)), &written, nullptr)) {
      return FailSystem(failure, path, GetLastError(), texts::kCauseCannotWrite);
    }
    done += written;
  }
  return true;
}

}  // namespace

bool MayReplace(const std::string& path, Failure& failure) {
  if (path.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFileName, path);
  fs::path target;
  bool exists = false;
  return ResolveTarget(platform::PathFromUtf8(path), target, exists, failure);
}

bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes, Failure& failure,
                     EventLoop* loop) {
  if (path.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFileName, path);
  const fs::path p = platform::PathFromUtf8(path);
  // A device is refused by its name: opening COM1 would already move its lines.
  if (IsDeviceName(p)) return files::FailNotRegular(failure, files::NotRegular::Device, path);
  Handle in{CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
  if (!in.Valid()) return FailSystem(failure, path, GetLastError(), texts::kCauseCannotOpen);
  if (!CheckRegular(in.h, path, failure)) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(in.h, &size)) return FailSystem(failure, path, GetLastError(), texts::kCauseCannotStat);
  if (static_cast<std::uintmax_t>(size.QuadPart) > limit) return files::FailTooLarge(failure, limit, path);
  const auto readSome = [&](std::uint8_t* chunk, std::size_t chunkSize) -> std::optional<std::size_t> {
    DWORD n = 0;
    if (!ReadFile(in.h, chunk, static_cast<DWORD>(chunkSize), &n, nullptr)) {
      FailSystem(failure, path, GetLastError(), texts::kCauseCannotRead);
      return std::nullopt;
    }
    return n;
  };
  return files::ReadToEnd(readSome, static_cast<std::size_t>(size.QuadPart), limit, loop, path, bytes, failure);
}

bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size, Failure& failure,
                         const WriteFileOptions& options) {
  if (path.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFileName, path);
  fs::path target;
  bool exists = false;
  if (!ResolveTarget(platform::PathFromUtf8(path), target, exists, failure)) return false;
  const std::string where = platform::Utf8Of(target);
  if (exists) {
    // ReplaceFileW would refuse it with a bare "access denied".
    if ((GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY) != 0) {
      return Fail(failure, FailureKind::FileSystem, texts::kCauseReadOnlyFile, where);
    }
    // Opened as the replacement will need it: a file another program holds
    // open without letting it go is refused before anything is written.
    Handle probe{CreateFileW(target.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                             nullptr)};
    if (!probe.Valid()) return FailSystem(failure, where, GetLastError(), texts::kCauseCannotStat);
    if (!CheckRegular(probe.h, where, failure)) return false;
  }

  static std::mt19937_64 random{std::random_device{}()};
  fs::path temporary;
  Handle out;
  for (int attempt = 0; attempt < 100 && !out.Valid(); ++attempt) {
    temporary = target;
    temporary += "." + std::to_string(random() % 1000000000000ULL) + ".tmp";
    out.h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
    if (out.Valid()) break;
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) {
      return Fail(failure, FailureKind::FileSystem, texts::kCauseNoFolderForFile, where);
    }
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return FailSystem(failure, where, error, texts::kCauseCannotCreate);
    }
  }
  if (!out.Valid()) return Fail(failure, FailureKind::FileSystem, texts::kCauseCannotCreateTemporary, where);
  auto fail = [&](DWORD error, const char* cause) {
    out.Reset();
    DeleteFileW(temporary.c_str());
    return error != 0 ? FailSystem(failure, where, error, cause) : false;
  };
  if (!WriteAll(out.h, data, size, options.loop, failure, where)) return fail(0, nullptr);
  // On the disk before it takes the name: a crash leaves the old file or the new one.
  if (options.sync && !FlushFileBuffers(out.h)) return fail(GetLastError(), texts::kCauseCannotWrite);
  out.Reset();
  if (exists) {
    // The replaced file's attributes and rights go over to the new one.
    if (!ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
      return fail(GetLastError(), texts::kCauseCannotWrite);
    }
  } else if (!MoveFileExW(temporary.c_str(), target.c_str(), options.sync ? MOVEFILE_WRITE_THROUGH : 0)) {
    return fail(GetLastError(), texts::kCauseCannotWrite);
  }
  return true;
}

bool CreatePrivateFolders(const std::string& dir, Failure& failure) {
  if (dir.empty()) return Fail(failure, FailureKind::Refused, texts::kCauseNoFolderName, dir);
  // The user's local application data is the user's alone; a folder made
  // there inherits that.
  const fs::path full = platform::PathFromUtf8(dir);
  fs::path soFar;
  for (const fs::path& part : full) {
    soFar /= part;
    soFar.make_preferred();  // named in a message as Windows writes it
    if (part.empty() || part == full.root_name() || part == full.root_directory() || part == "." || part == "..") {
      continue;
    }
    if (CreateDirectoryW(soFar.c_str(), nullptr)) continue;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
      return FailSystem(failure, platform::Utf8Of(soFar), error, texts::kCauseCannotCreateFolder);
    }
    const DWORD attributes = GetFileAttributesW(soFar.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      if (error == ERROR_ACCESS_DENIED) {
        return FailSystem(failure, platform::Utf8Of(soFar), error, texts::kCauseCannotCreateFolder);
      }
      return Fail(failure, FailureKind::FileSystem, texts::kCauseNotFolder, platform::Utf8Of(soFar));
    }
  }
  return true;
}

bool MakeOwnFolderPrivate(const std::string& dir) {
  // Its rights come from the user's profile; there is nothing to take away.
  const DWORD attributes = GetFileAttributesW(platform::PathFromUtf8(dir).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace vexa
