// Arbitrary bytes as a ".eep" file: the load path (read into the image, header
// and end-marker test, decode) must refuse or decode, never read out of
// bounds. A second pass mends the header so that the decoder itself meets
// every kind of damaged text area, and what it decodes must survive the JSON
// interchange and a fresh encode.
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "workspace/workspace.h"

namespace {

const vexa::Workspace& Fresh() {
  static const vexa::Workspace* ws = new vexa::Workspace();
  return *ws;
}

// What a load decodes must come back through vexa-cli's JSON unchanged and
// encode into an image whose end marker the file test finds.
void CheckDecoded(vexa::Workspace& ws, bool throughJson) {
  if (throughJson) {
    std::string error;
    vexa::DeviceConfig back = Fresh().config;
    const std::string json = vexa::ConfigToJsonText(ws.config);
    if (!vexa::ConfigFromJsonText(json, back, error) || !(back == ws.config)) __builtin_trap();
  }
  long used = 0;
  if (vexa::EncodeImage(ws, &used)) {
    if (!vexa::IsImageValid(ws.image) || vexa::UsedLength(ws.image) != used) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    vexa::Workspace ws = Fresh();
    if (vexa::LoadConfigBytes(data, size, ws) == vexa::LoadResult::Loaded) CheckDecoded(ws, true);
  }
  if (size >= static_cast<std::size_t>(vexa::layout::kHeaderEnd) &&
      size <= static_cast<std::size_t>(vexa::kImageSize)) {
    vexa::Workspace ws = Fresh();
    vexa::CopyBytesToImage(data, size, ws.image);
    ws.image.WriteWord(vexa::layout::kImageMagic, vexa::layout::kMagicWord);
    ws.image.WriteByte(vexa::HeaderChecksum(ws.image), vexa::layout::kChecksumByte);
    (void)vexa::UsedLength(ws.image);
    (void)vexa::IsImageCompleteWithin(ws.image, static_cast<long>(size));
    // The JSON check is left to the first pass: it would take most of the time.
    if (vexa::DecodeImage(ws)) CheckDecoded(ws, false);
  }
  return 0;
}
