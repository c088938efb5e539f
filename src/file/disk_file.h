// Whole files on the PC's disk, read and written so that a bad choice of file
// can neither hang the program nor lose data: only regular files are read,
// without blocking and up to a limit; a file is replaced only through a
// temporary file in its folder that is on the disk before it takes the name.
// Implemented per system in os/posix/ and os/windows/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/services.h"

namespace vexa {

// Reads the whole regular file at `path` (a UTF-8 path). False, with the
// reason in `failure` (a folder, a FIFO, a device, larger than `limit` bytes,
// no permission, the system's words), when it is not a regular file, is
// longer than `limit` bytes or cannot be read. `loop`, when given, gets a
// yield between chunks.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes, Failure& failure,
                     EventLoop* loop = nullptr);
// The same with the reason as one line of text.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                     std::string* why = nullptr, EventLoop* loop = nullptr);

struct WriteFileOptions {
  EventLoop* loop = nullptr;  // gets a yield between chunks
  // False skips the flushes to the disk, for a caller that must not wait on
  // them (the unit simulator answers within a reply time).
  bool sync = true;
  // Readable by the user alone (0600) whatever the umask: backups, which
  // hold the unit's PIN and phone numbers.
  bool privateFile = false;
};

// Replaces (or creates) the regular file at `path` with `size` bytes: written
// to a new temporary file of a unique name in the same folder, flushed to the
// disk, renamed over the target, and the folder flushed too. A new file gets
// 0666 less the umask (0600 when private), a replaced one keeps its mode. A
// link is followed as the kernel follows one: in a sticky folder that every
// user may write (/tmp), a link that belongs neither to the user nor to the
// folder's owner is refused, with the link named in `failure`. A folder or a
// special file is refused too. On Windows the temporary file is flushed with
// FlushFileBuffers and takes the name with ReplaceFileW (MoveFileExW with
// write-through for a new file); a device name (NUL, COM1), a folder or a
// reparse point (a link or junction) at the path is refused, and the
// replaced file keeps its attributes. On failure the old file is as it was
// and no temporary file is left.
bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size, Failure& failure,
                         const WriteFileOptions& options = {});
// The same with the reason as one line of text.
bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                         std::string* why = nullptr, EventLoop* loop = nullptr, bool sync = true);

// What WriteFileAtomically would refuse before it writes anything: a link it
// may not follow, a folder or a special file. True when none of these.
bool MayReplace(const std::string& path, Failure& failure);

// Creates `dir` and the folders above it that are missing, each created one
// readable by the user alone (0700) whatever the umask; folders that exist
// are left as they are. False, with the reason, when one cannot be made.
bool CreatePrivateFolders(const std::string& dir, Failure& failure);
// Takes the group's and others' rights away from the user's own folder `dir`
// (a folder of someone else's is left as it is). False when it could not.
bool MakeOwnFolderPrivate(const std::string& dir);

}  // namespace vexa
