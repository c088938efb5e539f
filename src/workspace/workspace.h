// Everything the program keeps from start to exit. One object, passed by
// reference; there are no globals.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "codec/image.h"
#include "workspace/device_config.h"
#include "workspace/reference_tables.h"

namespace vexa {

// What the unit reported at activation; every field reads "?" until then.
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
  DeviceInfo device;
  LinkState link = LinkState::Neaktivni;

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

}  // namespace vexa
