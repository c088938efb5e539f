// The ".eep" configuration file: the EEPROM image itself, bytes 0 to U - 2,
// with no header of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codec/image.h"
#include "file/disk_file.h"
#include "platform/failure.h"
#include "platform/services.h"
#include "texts/texts.h"
#include "workspace/workspace.h"

namespace vexa {

// Saving and loading go through the same steps wherever they start (the
// window, vexa-cli, backups, the compare window): encode for a file, write;
// read, test and decode. Each step says why it failed in a Failure.

// Encodes the workspace's configuration into its image as a file holds it.
// `length` receives the file's length: the image's first U - 1 bytes, U being
// the saved file's usage figure (SavedFileUsage), so that the file always
// holds the whole image up to its end marker. False, with the field and the
// cause in `failure` (Refused), when a value cannot be encoded or the encoded
// header does not pass its test.
bool EncodeConfigForFile(Workspace& ws, long& length, Failure& failure);

// Writes the image's first `length` bytes (at most 65,536) to `path`. An
// existing file is replaced atomically: the bytes go to a temporary file in
// the same folder, which then takes the name, so a failed save leaves the old
// file as it was. Asking before overwriting is the caller's. `options` as for
// WriteFileAtomically.
bool WriteConfigImage(const std::string& path, const EepromImage& image, long length, Failure& failure,
                      const WriteFileOptions& options = {});

// Copies the file into the image from offset 0; bytes past the file's length
// keep their values. False, with the image untouched, when the file cannot be
// read, is not a regular file or is longer than the image (65,536 bytes).
// `fileLength` receives the number of bytes copied; `failure`, when given,
// the reason (a folder, a FIFO, a device, too large, no permission...). A
// load reads into an image of its own, a copy of the workspace's, so that a
// file that is refused leaves no byte behind.
bool ReadConfigFile(const std::string& path, EepromImage& image, long* fileLength = nullptr, EventLoop* loop = nullptr,
                    Failure* failure = nullptr);
// The same for bytes already in memory.
bool CopyBytesToImage(const std::uint8_t* data, std::size_t size, EepromImage& image);

// Takes an image loaded from a file of `length` bytes into the workspace when
// it holds a configuration: the header test passes, the end marker and every
// text the decoder reads lie within the file (not in bytes left over from an
// earlier image), and it decodes. Then the workspace's image and
// configuration are replaced together; otherwise both stay as they were and
// `failure` says why (Data). `beforeDecoding`, when given, runs once the
// tests passed, just before the decoder.
bool DecodeConfigImage(Workspace& ws, const EepromImage& loaded, long length, Failure& failure,
                       const std::function<void()>& beforeDecoding = {});

enum class LoadResult { Loaded, ReadError, NotValid };
// The one load of a configuration file, wherever it starts: ReadConfigFile
// over a copy of the workspace's image, then DecodeConfigImage. The
// configuration is replaced only on Loaded. `failure`, when given, gets the
// reason of a ReadError or a NotValid; `beforeDecoding` as for
// DecodeConfigImage.
LoadResult LoadConfigFile(const std::string& path, Workspace& ws, Failure* failure = nullptr,
                          const std::function<void()>& beforeDecoding = {});
LoadResult LoadConfigBytes(const std::uint8_t* data, std::size_t size, Workspace& ws);

enum class SaveResult { Saved, EncodeError, WriteError };
// The one save of a configuration, wherever it starts (the window,
// vexa-cli): EncodeConfigForFile, then WriteConfigImage. `failure`, when
// given, gets the field and the cause (EncodeError) or the system's reason
// (WriteError). Backups keep the unit's own bytes through WriteConfigImage.
SaveResult SaveConfigFile(const std::string& path, Workspace& ws, Failure* failure = nullptr);

}  // namespace vexa
