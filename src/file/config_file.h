// The ".eep" configuration file: the EEPROM image itself, bytes 0 to U - 2,
// with no header of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/image.h"
#include "file/disk_file.h"
#include "platform/failure.h"
#include "platform/services.h"
#include "platform/texts.h"
#include "workspace/workspace.h"

namespace vexa {

// Writes image bytes 0 to usage - 2 (usage - 1 bytes, at least one) to
// `path`. An existing file is replaced atomically: the bytes go to a
// temporary file in the same folder, which then takes the name, so a failed
// save leaves the old file as it was. Asking before overwriting is the
// caller's. `options` as for WriteFileAtomically; `failure`, when given,
// gets the reason.
bool WriteConfigFile(const std::string& path, const EepromImage& image, int usage,
                     const WriteFileOptions& options = {}, Failure* failure = nullptr);

// Copies the file into the image from offset 0; bytes past the file's length
// keep their values. False, with the image untouched, when the file cannot be
// read, is not a regular file or is longer than the image (65,536 bytes).
// `fileLength` receives the number of bytes copied; `failure`, when given,
// the reason (a folder, a FIFO, a device, too large, no permission...).
bool ReadConfigFile(const std::string& path, EepromImage& image, long* fileLength = nullptr, EventLoop* loop = nullptr,
                    Failure* failure = nullptr);
// The same for bytes already in memory.
bool CopyBytesToImage(const std::uint8_t* data, std::size_t size, EepromImage& image);

// True when an image loaded from a file of `fileLength` bytes holds a
// configuration: the header test passes and the end marker, with every text
// the decoder reads, lies within the file (not in bytes left over from an
// earlier image).
bool IsLoadedImageValid(const EepromImage& image, long fileLength);

enum class LoadResult { Loaded, ReadError, NotValid };
// Reads the file into the workspace's image, tests it and decodes it. The
// configuration is replaced only on Loaded.
// `failure`, on ReadError, gets the reason.
LoadResult LoadConfigFile(const std::string& path, Workspace& ws, Failure* failure = nullptr);
LoadResult LoadConfigBytes(const std::uint8_t* data, std::size_t size, Workspace& ws);

enum class SaveResult { Saved, EncodeError, WriteError };
// Encodes the workspace's configuration into its image, tests the header and
// writes the file with the configuration's usage figure as U. `why`, on
// failure, names the field and the cause (EncodeError) or the system's reason
// (WriteError).
SaveResult SaveConfigFile(const std::string& path, Workspace& ws, EventLoop* loop = nullptr,
                          std::string* why = nullptr);
// The bytes SaveConfigFile writes (Saved or EncodeError).
SaveResult EncodeConfigBytes(Workspace& ws, std::vector<std::uint8_t>& bytes, std::string* why = nullptr);

}  // namespace vexa
