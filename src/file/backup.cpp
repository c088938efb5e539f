#include "file/backup.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include "codec/cp1250.h"
#include "codec/text.h"
#include "file/config_file.h"
#include "file/disk_file.h"
#include "platform/system.h"
#include "texts/texts.h"
#include "workspace/usage.h"

namespace vexa {
namespace fs = std::filesystem;
using platform::PathFromUtf8;
using platform::Utf8Of;

namespace {

bool IsSafe(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// "2026-12-07_143012", then "_" and more or ".eep" at once (a unit that
// named neither its product nor its station): every backup name is so.
bool IsBackupName(const std::string& name) {
  static constexpr char kPattern[] = "dddd-dd-dd_dddddd";
  constexpr std::size_t kStamp = sizeof kPattern - 1;
  if (name.size() < kStamp + 4 || name.compare(name.size() - 4, 4, ".eep") != 0) return false;
  for (std::size_t i = 0; i < kStamp; ++i) {
    const bool digit = name[i] >= '0' && name[i] <= '9';
    if (kPattern[i] == 'd' ? !digit : name[i] != kPattern[i]) return false;
  }
  return name[kStamp] == '_' || name.size() == kStamp + 4;
}

std::string WithSuffix(const std::string& fileName, int n) {
  if (n <= 1) return fileName;
  const std::string stem = fileName.substr(0, fileName.size() - 4);
  return stem + "_" + std::to_string(n) + ".eep";
}

}  // namespace

std::string DefaultBackupDir(const char* xdgDataHome, const char* home) {
  fs::path base;
  if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute()) {
    base = xdgDataHome;
  } else if (home && *home) {
    base = fs::path(home) / ".local" / "share";
  } else {
    return {};
  }
  return (base / "vexa-init" / "backups").string();
}

std::string DefaultBackupDir() { return platform::DefaultBackupDir(); }

std::string FileNameSafe(const std::string& utf8, std::size_t limit) {
  std::string out;
  bool gap = false;
  for (std::size_t i = 0; i < utf8.size();) {
    // A malformed sequence is left out, as any character without a plain form.
    const Utf8Char u = ReadUtf8Char(utf8, i);
    i += u.size;
    const char32_t c = u.valid ? u.ch : 0xFFFD;
    std::string piece;
    if (c < 0x80 && IsSafe(static_cast<char>(c))) {
      piece.assign(1, static_cast<char>(c));
    } else {
      piece = Cp1250PlainLetter(c);
    }
    if (piece.empty()) {
      gap = true;
      continue;
    }
    if (gap && !out.empty()) out.push_back('-');
    gap = false;
    out += piece;
  }
  if (out.size() > limit) out.resize(limit);
  while (!out.empty() && out.back() == '-') out.pop_back();
  return out;
}

std::string BackupFileName(const std::tm& when, const std::string& product, const std::string& station) {
  char stamp[96];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d", when.tm_year + 1900, when.tm_mon + 1, when.tm_mday,
                when.tm_hour, when.tm_min, when.tm_sec);
  std::string name = stamp;
  for (const std::string* part : {&product, &station}) {
    const std::string safe = FileNameSafe(*part);
    if (!safe.empty()) name += "_" + safe;
  }
  return name + ".eep";
}

std::optional<std::string> SaveBackup(const std::string& dir, const std::string& fileName, const EepromImage& image,
                                      int usage, Failure* failure) {
  Failure local;
  Failure& f = failure != nullptr ? *failure : local;
  // A backup holds the unit's PIN and its phone numbers: folders the program
  // makes for it and the file itself are the user's alone.
  if (!CreatePrivateFolders(dir, f)) return std::nullopt;
  // The program's own backup folder, when an earlier version left it open to
  // others, is closed now; a folder the user chose keeps its rights.
  if (dir == DefaultBackupDir()) MakeOwnFolderPrivate(dir);
  std::error_code ec;
  // The whole file goes to a hidden name first; it then gets its own name by
  // a hard link, which fails rather than replace a file of that name.
  std::random_device rd;
  const fs::path folder = PathFromUtf8(dir);
  const fs::path part = folder / PathFromUtf8("." + fileName + "." + std::to_string(rd()) + ".part");
  if (!WriteConfigImage(Utf8Of(part), image, SavedFileLength(usage), f, {.privateFile = true})) {
    // The user knows the backup by its own name, not by the hidden one.
    f.path = Utf8Of(folder / PathFromUtf8(fileName));
    return std::nullopt;
  }
  std::optional<std::string> saved;
  bool refused = false;
  for (int n = 1; n < 10000 && !saved && !refused; ++n) {
    const fs::path target = folder / PathFromUtf8(WithSuffix(fileName, n));
    fs::create_hard_link(part, target, ec);
    if (!ec) {
      saved = Utf8Of(target);
    } else if (ec == std::errc::file_exists) {
      continue;
    } else if (std::error_code probe; !fs::exists(target, probe)) {
      // A folder without hard links: a rename that finds the name free.
      fs::rename(part, target, ec);
      if (ec) {
        f = Failure::Of(FailureKind::FileSystem, texts::kCauseBackupNotSaved).AtPath(Utf8Of(target));
        f.WithSystemError(ec.message());
        refused = true;
      } else {
        saved = Utf8Of(target);
      }
    }
  }
  if (!saved && !refused) {
    f = Failure::Of(FailureKind::FileSystem, texts::kCauseNoFreeBackupName)
            .AtPath(Utf8Of(folder / PathFromUtf8(fileName)));
  }
  fs::remove(part, ec);
  return saved;
}

int PruneBackups(const std::string& dir, int keep) {
  std::vector<fs::path> backups;
  std::error_code ec;
  for (fs::directory_iterator it(PathFromUtf8(dir), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && IsBackupName(Utf8Of(it->path().filename()))) backups.push_back(it->path());
  }
  if (static_cast<int>(backups.size()) <= keep) return 0;
  // Names start with the date and time, so they sort by age.
  std::sort(backups.begin(), backups.end());
  int removed = 0;
  for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < backups.size(); ++i) {
    if (fs::remove(backups[i], ec)) ++removed;
  }
  return removed;
}

}  // namespace vexa
