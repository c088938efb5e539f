// Whole files on the PC's disk, read and written so that a bad choice of file
// can neither hang the program nor lose data: only regular files are read,
// without blocking and up to a limit; a file is replaced only through a
// temporary file in its folder that is on the disk before it takes the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/services.h"

namespace vexa {

// Reads the whole regular file at `path` (a UTF-8 path). False, with the
// reason in `why` (the system's words, or "not a regular file", or "larger
// than N bytes"), when it is not a regular file (folder, FIFO, device...), is
// longer than `limit` bytes or cannot be read. `loop`, when given, gets a
// yield between chunks.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                     std::string* why = nullptr, EventLoop* loop = nullptr);

// Replaces (or creates) the regular file at `path` with `size` bytes: written
// to a new temporary file of a unique name in the same folder, flushed to the
// disk, renamed over the target, and the folder flushed too. A link is
// followed; a folder or a special file is refused. On failure the old file is
// as it was, no temporary file is left and `why` says what went wrong.
// `sync` false skips the flushes to the disk, for a caller that must not wait
// on them (the unit simulator answers within a reply time).
bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                         std::string* why = nullptr, EventLoop* loop = nullptr, bool sync = true);

}  // namespace vexa
