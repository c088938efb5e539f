// Everything the program keeps from start to exit. One object, passed by
// reference; there are no globals.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/image.h"
#include "model/device_config.h"
#include "model/reference_tables.h"

namespace vexa {

// What the unit reported at activation; every field reads "?" until then.
// The unit session (link/unit_session.h) holds the one of its activation.
struct DeviceInfo {
  std::string Product = "?";
  std::string ProcessorVersion = "?";
  std::string MemorySize = "?";  // e.g. "  8128 byte"
  std::string ModemType = "?";
};

enum class LinkState { Neaktivni, Aktivni, AktivniSpatnaVerze };


struct Workspace {
  Workspace();  // runs the start-up sequence of the configuration

  DeviceConfig config;
  ProgramSettings settings;
  std::array<AnalogScale, kRows> scales;
  ReferenceTables tables;
  EepromImage image;  // all zeros at start

  // Set while a decoded configuration is being filled in and right after a
  // cross-field rule reported a conflict; silences the cross-field rules.
  bool validationSuppressed = false;
  // Set by Storno of the progress window and by closing an editor.
  bool CancelRequested = false;
  // The running (or last) write has begun to send its blocks: stopping it
  // now leaves the unit without a valid configuration. Before, in its backup
  // read, nothing has been written yet.
  bool writeSending = false;

  // Decimal separator of the user's notation ("," or "."); the program sets it
  // from the system locale.
  char decimalSeparator = '.';
};

// The start values that are computed rather than fixed: the analog levels
// CL1 = Min and CL2 = Max of each channel ("0"/"100", "0"/"27" for BAT).
void ApplyStartupDefaults(DeviceConfig& config, const std::array<AnalogScale, kRows>& scales);

// Decodes the workspace's image into a fresh configuration and replaces the
// workspace's configuration only when that succeeds. The validation-suppressed
// flag is set for the run and cleared at its end. Showing the new values is
// the caller's job.
bool DecodeImage(Workspace& ws, DecodeError* why = nullptr);

// The same for an image read from elsewhere (a file): when it decodes, it
// replaces the workspace's image and configuration together; when it does
// not, both stay as they were, so no byte of a rejected file reaches a later
// save or write.
bool DecodeImage(Workspace& ws, const EepromImage& image, DecodeError* why = nullptr);

// The workspace's configuration into the workspace's image.
bool EncodeImage(Workspace& ws, long* usedLength = nullptr, EncodeError* why = nullptr);

}  // namespace vexa
